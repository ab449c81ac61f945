#include "codepage/transcoder.h"

#include <cstring>

#include "platform/winapi.h"

namespace codepage {

namespace {

// The bytes of `cp` as UTF-16, or 0 when they are not one character.
std::uint32_t decode(CodePage cp, const char* bytes, int cb) {
    WCHAR units[2] = {};
    const int n = MultiByteToWideChar(static_cast<UINT>(cp), 0, bytes, cb, units, 2);
    if (n == 1) return units[0];
    if (n == 2 && units[0] >= 0xD800 && units[0] <= 0xDBFF && units[1] >= 0xDC00 && units[1] <= 0xDFFF)
        return 0x10000 + ((units[0] - 0xD800u) << 10) + (units[1] - 0xDC00u);
    return 0;
}

}  // namespace

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
        Encoded& e = table.byByte[b];
        if (codePoint == 0 && b != 0) {
            e.length = 1;
            e.bytes[0] = '?';
        } else {
            e.length = static_cast<std::uint8_t>(encode(target_, codePoint, e.bytes));
        }
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

Transcoder::Encoded Transcoder::pair(unsigned char lead, unsigned char trail) const {
    const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    Encoded e{};
    const std::uint32_t codePoint = decode(source_, bytes, 2);
    if (codePoint == 0) {
        e.length = 1;
        e.bytes[0] = '?';
    } else {
        e.length = static_cast<std::uint8_t>(encode(target_, codePoint, e.bytes));
    }
    return e;
}

std::size_t Transcoder::convert(const char*& p, const char* end, char* out, std::size_t room) {
    std::size_t written = 0;
    if (table_ != nullptr && pendingLead_ < 0) {
        while (p < end && room - written >= kMaxCharBytes) {
            const Encoded& e = table_->byByte[static_cast<unsigned char>(*p++)];
            std::memcpy(out + written, e.bytes, kMaxCharBytes);
            written += e.length;
        }
        return written;
    }
    while (p < end && room - written >= kMaxCharBytes) {
        const unsigned char byte = static_cast<unsigned char>(*p++);
        Encoded e;
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
            e.length = static_cast<std::uint8_t>(encode(target_, codePoint == 0 ? '?' : codePoint, e.bytes));
        }
        std::memcpy(out + written, e.bytes, e.length);
        written += e.length;
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
