#include "html/utf8.h"

#include <cstdint>
#include <cstring>

namespace html {

namespace {

// Reads the sequence that the byte s[i], 0x80 or above, starts, as the
// Encoding Standard's decoder does: answers the index after its maximal
// well-formed part (at least i + 1), and whether that part is a whole
// character. A lead byte that starts nothing is a part of one byte.
std::size_t sequenceEnd(const unsigned char* s, std::size_t i, std::size_t n, bool& whole) {
    const unsigned char b = s[i];
    std::size_t need;
    unsigned char lower = 0x80, upper = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        need = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
        need = 2;
        if (b == 0xE0) lower = 0xA0;
        if (b == 0xED) upper = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        need = 3;
        if (b == 0xF0) lower = 0x90;
        if (b == 0xF4) upper = 0x8F;
    } else {
        whole = false;
        return i + 1;
    }
    std::size_t j = i + 1;
    std::size_t seen = 0;
    while (seen < need && j < n) {
        const unsigned char c = s[j];
        if (c < (seen == 0 ? lower : 0x80) || c > (seen == 0 ? upper : 0xBF)) break;
        ++j;
        ++seen;
    }
    whole = seen == need;
    return j;
}

// Answers the index of the first byte from `i` that is not ASCII, or `n`.
// Markup is mostly ASCII: eight bytes are looked at at once.
std::size_t asciiEnd(const unsigned char* s, std::size_t i, std::size_t n) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    while (n - i >= 8) {
        std::uint64_t word;
        std::memcpy(&word, s + i, 8);
        if ((word & kHighBits) != 0) break;
        i += 8;
    }
    while (i < n && s[i] < 0x80) ++i;
    return i;
}

}  // namespace

std::size_t validUtf8Prefix(const char* p, std::size_t n) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(p);
    std::size_t i = 0;
    while (i < n) {
        i = asciiEnd(s, i, n);
        if (i == n) break;
        bool whole = false;
        const std::size_t j = sequenceEnd(s, i, n, whole);
        if (!whole) return i;
        i = j;
    }
    return n;
}

void appendValidUtf8(std::string& out, const char* p, std::size_t n) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(p);
    std::size_t i = 0;
    while (i < n) {
        const std::size_t plain = asciiEnd(s, i, n);
        out.append(p + i, plain - i);
        i = plain;
        if (i == n) break;
        bool whole = false;
        const std::size_t j = sequenceEnd(s, i, n, whole);
        if (whole)
            out.append(p + i, j - i);
        else
            appendUtf8(out, 0xFFFD);
        i = j;
    }
}

}  // namespace html
