#include "codepage/transcoder.h"

#include <cstring>

#include "platform/winapi.h"

namespace codepage {

Transcoder::Transcoder(CodePage target) : target_(target), source_(target) {}

const Transcoder::Table& Transcoder::tableFor(CodePage source) {
    for (const Table& table : tables_)
        if (table.source == source) return table;
    tables_.emplace_back();
    Table& table = tables_.back();
    table.source = source;
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        std::uint32_t codePoint;
        if (source == kSymbolFont)
            codePoint = symbolFontCharacter(static_cast<unsigned char>(b));
        else
            codePoint = b < 0x80 ? static_cast<std::uint32_t>(b) : decode(source, &byte, 1);
        table.byByte[b] = encoded(codePoint == 0 && b != 0 ? '?' : codePoint);
    }
    return table;
}

void Transcoder::setSource(CodePage source) {
    if (source == source_) return;
    source_ = source;
    sourceDoubleByte_ = source != kSymbolFont && isDoubleByte(source);
    if (source == target_ || sourceDoubleByte_) {
        table_ = nullptr;
    } else {
        table_ = &tableFor(source);
    }
}

Transcoder::Encoded Transcoder::encoded(std::uint32_t codePoint) const {
    Encoded e{};
    e.length = static_cast<std::uint8_t>(encode(target_, codePoint, e.bytes));
    if (!encodesExactly(target_, codePoint, e.bytes, e.length)) e.lossy = codePoint;
    return e;
}

Transcoder::Encoded Transcoder::pair(unsigned char lead, unsigned char trail) const {
    const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    const std::uint32_t codePoint = decode(source_, bytes, 2);
    return encoded(codePoint == 0 ? '?' : codePoint);
}

std::size_t Transcoder::convert(const char*& p, const char* end, char* out, std::size_t room) {
    std::size_t written = 0;
    lossy_ = 0;
    if (table_ != nullptr && pendingLead_ < 0) {
        while (p < end && room - written >= kMaxCharBytes) {
            const Encoded& e = table_->byByte[static_cast<unsigned char>(*p++)];
            std::memcpy(out + written, e.bytes, kMaxCharBytes);
            written += e.length;
            if (e.lossy != 0) {
                lossy_ = e.lossy;
                lossyLength_ = e.length;
                return written;
            }
        }
        return written;
    }
    while (p < end && room - written >= kMaxCharBytes) {
        const unsigned char byte = static_cast<unsigned char>(*p++);
        Encoded e{};
        if (pendingLead_ >= 0) {
            e = pair(static_cast<unsigned char>(pendingLead_), byte);
            pendingLead_ = -1;
        } else if (sourceDoubleByte_ && isLeadByte(source_, byte)) {
            pendingLead_ = byte;
            continue;
        } else if (source_ == target_) {
            e.length = 1;
            e.bytes[0] = static_cast<char>(byte);
        } else if (table_ != nullptr) {
            e = table_->byByte[byte];
        } else {
            const char one = static_cast<char>(byte);
            const std::uint32_t codePoint = byte < 0x80 ? byte : decode(source_, &one, 1);
            e = encoded(codePoint == 0 ? '?' : codePoint);
        }
        std::memcpy(out + written, e.bytes, e.length);
        written += e.length;
        if (e.lossy != 0) {
            lossy_ = e.lossy;
            lossyLength_ = e.length;
            return written;
        }
    }
    return written;
}

std::size_t Transcoder::flush(char* out) {
    if (pendingLead_ < 0) return 0;
    pendingLead_ = -1;
    out[0] = '?';
    return 1;
}

}  // namespace codepage
