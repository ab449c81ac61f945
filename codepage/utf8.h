// UTF-8 written a code point at a time: the one encoder of the tree. Header
// only, so that the Windows stand-ins, the host emulator and the tools use it
// without linking the code-page library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace codepage {

constexpr std::uint32_t kReplacementCharacter = 0xFFFD;

// Appends `cp` to `out` in UTF-8; a surrogate or a value beyond U+10FFFF,
// which UTF-8 cannot hold, becomes U+FFFD.
inline void appendUtf8(std::string& out, std::uint32_t cp) {
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = kReplacementCharacter;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Appends the ASCII bytes of p[i, n) up to the first byte beyond ASCII, which
// every UTF-8 reader takes as they are; answers that byte's index, or n.
inline std::size_t appendAsciiRun(std::string& out, const char* p, std::size_t i, std::size_t n) {
    std::size_t end = i;
    while (end < n && static_cast<unsigned char>(p[end]) < 0x80) ++end;
    out.append(p + i, end - i);
    return end;
}

}  // namespace codepage
