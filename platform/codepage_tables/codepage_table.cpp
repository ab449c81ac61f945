#include "platform/codepage_tables/codepage_table.h"

namespace cptables {

CodePageTable::CodePageTable(const Source& source) : doubleByte_(source.leads != nullptr) {
    for (int b = 0; b < 256; ++b) bytes_[b] = source.bytes[b];
    if (doubleByte_)
        for (int w = 0; w < 8; ++w) leads_[w] = source.leads[w];
    std::size_t cLeads = 0;
    for (int b = 0; b < 256; ++b)
        if (isLead(static_cast<unsigned char>(b))) leadIndex_[b] = static_cast<std::uint8_t>(cLeads++);
    // A byte that leads nothing reads the first row, so that pair() stays in
    // bounds whatever it is asked.
    pairs_.assign((cLeads == 0 ? 1 : cLeads) << 8, source.pairDefault);
    forEachRun(source.pairs, source.pairsSize, [this](std::uint32_t code, std::uint16_t unit) {
        const unsigned char lead = static_cast<unsigned char>(code >> 8 & 0xFF);
        if (isLead(lead)) pairs_[static_cast<std::size_t>(leadIndex_[lead]) << 8 | (code & 0xFF)] = unit;
    });

    // Each unit encodes as the first bytes that decode to it; the source
    // lists where Windows answers otherwise (best fit among them).
    encodingPages_.assign(0x100, kNoBytes);
    for (int b = 0; b < 256; ++b) {
        const unsigned char byte = static_cast<unsigned char>(b);
        if (!isLead(byte) && encode(bytes_[b]) == kNoBytes) setEncoding(bytes_[b], byte);
    }
    for (int lead = 0x80; lead < 256; ++lead) {
        if (!isLead(static_cast<unsigned char>(lead))) continue;
        for (int trail = 1; trail < 256; ++trail) {
            const std::uint16_t unit = pair(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
            if (encode(unit) == kNoBytes) setEncoding(unit, static_cast<std::uint16_t>(lead << 8 | trail));
        }
    }
    forEachRun(source.encodings, source.encodingsSize, [this](std::uint32_t unit, std::uint16_t bytes) {
        if (unit < 0x10000) setEncoding(static_cast<std::uint16_t>(unit), bytes);
    });
}

void CodePageTable::setEncoding(std::uint16_t unit, std::uint16_t bytes) {
    std::uint16_t& page = encodingPageOf_[unit >> 8];
    if (page == 0) {
        if (bytes == kNoBytes) return;  // page 0 says so already
        page = static_cast<std::uint16_t>(encodingPages_.size() >> 8);
        encodingPages_.resize(encodingPages_.size() + 0x100, kNoBytes);
    }
    encodingPages_[static_cast<std::size_t>(page) << 8 | (unit & 0xFF)] = bytes;
}

}  // namespace cptables
