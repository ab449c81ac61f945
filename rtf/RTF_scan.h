// The control-word scanner: reads a control word or symbol after its
// backslash and hands it to the keyword actions. The short form is inline,
// because the main loop calls it for nearly every keyword of a document; the
// byte-level helpers are pure functions of their arguments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "rtf/RTF.h"
#include "rtf/RTF_reader.h"

namespace rtfscan {

// The value of every byte as a hexadecimal digit, or -1: a table, because the
// digits of escapes mix decimal digits and letters unpredictably.
struct HexDigits {
    std::int8_t value[256] = {};
    constexpr HexDigits() {
        for (int c = 0; c < 256; ++c) value[c] = -1;
        for (int d = 0; d < 10; ++d) value['0' + d] = static_cast<std::int8_t>(d);
        for (int d = 0; d < 6; ++d) {
            value['a' + d] = static_cast<std::int8_t>(10 + d);
            value['A' + d] = static_cast<std::int8_t>(10 + d);
        }
    }
};
constexpr HexDigits kHexDigits;

// Answers the value of a hexadecimal digit, or -1.
inline int hexDigitValue(unsigned char c) { return kHexDigits.value[c]; }

// Eight bytes from `p` as one number, the first byte lowest, on any host.
inline std::uint64_t loadLittleEndian64(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    w = __builtin_bswap64(w);
#endif
    return w;
}

constexpr std::uint64_t kEachByte = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = 0x80 * kEachByte;

// Marks with its high bit each byte of `w` that lies in [lo, hi] (both below 0x80).
constexpr std::uint64_t bytesInRange(std::uint64_t w, unsigned char lo, unsigned char hi) {
    // Seven-bit lanes plus at most 0x7F cannot carry into the next lane.
    const std::uint64_t low7 = w & (0x7F * kEachByte);
    const std::uint64_t atLeastLo = low7 + (0x80 - lo) * kEachByte;
    const std::uint64_t aboveHi = low7 + (0x80 - hi - 1) * kEachByte;
    return atLeastLo & ~aboveHi & ~w & kHighBits;
}

// Answers the position of the lowest set bit of `v`, which is not zero.
inline unsigned lowestSetBit(std::uint64_t v) {
#if defined(__GNUC__)
    return static_cast<unsigned>(__builtin_ctzll(v));
#else
    unsigned n = 0;
    while ((v >> n & 1) == 0) ++n;
    return n;
#endif
}

// Counts the bytes of a word, first byte first, before the first one whose
// high bit `marks` leaves clear; 8 when every byte is marked.
inline unsigned leadingMarkedBytes(std::uint64_t marks) {
    const std::uint64_t unmarked = ~marks & kHighBits;
    return unmarked == 0 ? 8 : lowestSetBit(unmarked) / 8;
}

// Answers the value of the `count` (0 to 7) decimal digits at the start of `w`.
inline std::uint32_t decimalValue(std::uint64_t w, unsigned count) {
    // The digits move to the top behind zeros, which read as leading zeros;
    // pairs, then quadruples, then all eight fold with the first digit highest.
    // Two shifts, so that no digits at all shift by 64 bits.
    std::uint64_t v = ((w - 0x30 * kEachByte) << (8 * (7 - count))) << 8;
    v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFu;
    v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFu;
    v = (v * 10000 + (v >> 32)) & 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(v);
}

// Bytes the word-at-a-time control word reader may look at after a backslash:
// up to 7 letters, a minus, up to 7 digits and the delimiter.
constexpr std::ptrdiff_t cchKeywordWindow = 16;

}  // namespace rtfscan

namespace rtf {

// Reads two machine words and finds every length with masks: branches on each
// byte mispredict when keywords of different lengths alternate, as they do in
// styled text.
inline Scanned Reader::scanShortKeyword(const char* p) {
    using namespace rtfscan;
    const std::uint64_t lo = loadLittleEndian64(p);
    const std::uint64_t hi = loadLittleEndian64(p + 8);
    const std::uint64_t notLetter = ~bytesInRange(lo | 0x20 * kEachByte, 'a', 'z') & kHighBits;
    if ((notLetter & 0x80) != 0) {
        // A control symbol: nothing after it is consumed, not even a space.
        const char symbol = static_cast<char>(lo & 0xFF);
        if (symbol == '\0') return Scanned{nullptr, ecNoError};
        return Scanned{p + 1, ecControlSymbol(symbol, p - 1)};
    }
    // One to seven letters: some byte of the word after the first is no letter.
    if (notLetter == 0) return Scanned{nullptr, ecNoError};
    const std::uint64_t firstNotLetter = notLetter & (0 - notLetter);
    const std::uint64_t key = lo & ((firstNotLetter >> 7) - 1);
    const unsigned letterBits = lowestSetBit(notLetter) & ~7u;  // eight times the letters
    // The eight bytes after the letters, all within the window.
    const std::uint64_t after = (lo >> letterBits) | ((hi << 1) << (63 - letterBits));
    const unsigned fNeg = (after & 0xFF) == '-';
    if (fNeg != 0 && (after & 0xFF00) == 0) return Scanned{nullptr, ecNoError};
    const std::uint64_t wDigits = after >> (8 * fNeg);
    const unsigned cDigits = leadingMarkedBytes(bytesInRange(wDigits, '0', '9'));
    // Shifted past a minus the word holds seven bytes, so seven digits there may go on.
    if (cDigits + fNeg >= 8) return Scanned{nullptr, ecNoError};
    // Sizes, colours and font numbers have one or two digits: their value is
    // ready sooner than a full conversion's, which keyword actions wait for.
    // At most 7 digits leave nothing to saturate.
    std::uint32_t magnitude;
    if (cDigits <= 2) {
        const std::uint32_t d0 = static_cast<std::uint32_t>(wDigits & 0xFF) - '0';
        const std::uint32_t d1 = static_cast<std::uint32_t>(wDigits >> 8 & 0xFF) - '0';
        const std::uint32_t one = 0u - static_cast<std::uint32_t>(cDigits == 1);
        const std::uint32_t two = 0u - static_cast<std::uint32_t>(cDigits == 2);
        magnitude = (d0 & one) | ((d0 * 10 + d1) & two);
    } else {
        magnitude = decimalValue(wDigits, cDigits);
    }
    const std::int32_t signedMagnitude = static_cast<std::int32_t>(magnitude);
    const std::int32_t param = fNeg != 0 ? -signedMagnitude : signedMagnitude;
    const bool fParam = cDigits != 0;
    // Written either way, so that whether a parameter came costs no branch.
    const std::int32_t lParamBefore = lParam;
    lParam = fParam ? param : lParamBefore;
    const unsigned cAfter = fNeg + cDigits;
    const unsigned fSpace = (after >> (8 * cAfter) & 0xFF) == ' ';
    const char* const q = p + letterBits / 8 + cAfter + fSpace;
    return Scanned{q, ecTranslateWord(key, param, fParam)};
}

}  // namespace rtf
