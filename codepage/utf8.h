// UTF-8 written a code point at a time, or a UTF-16 text at once: the one
// encoder of the tree. Header
// only, so that the Windows stand-ins, the host emulator and the tools use it
// without linking the code-page library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace codepage {

constexpr std::uint32_t kReplacementCharacter = 0xFFFD;

// `cp`, or U+FFFD for a surrogate or a value beyond U+10FFFF, which UTF-8
// cannot hold.
inline std::uint32_t utf8Encodable(std::uint32_t cp) {
    return (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF ? kReplacementCharacter : cp;
}

// How many bytes UTF-8 takes for `cp` (1 to 4).
inline std::size_t utf8Length(std::uint32_t cp) { return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4; }

// Writes the `len` = utf8Length(cp) bytes of `cp`, one UTF-8 can hold, at `q`.
inline void putUtf8(char* q, std::uint32_t cp, std::size_t len) {
    if (len == 1) {
        q[0] = static_cast<char>(cp);
        return;
    }
    if (len == 2) {
        q[0] = static_cast<char>(0xC0 | (cp >> 6));
    } else if (len == 3) {
        q[0] = static_cast<char>(0xE0 | (cp >> 12));
        q[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    } else {
        q[0] = static_cast<char>(0xF0 | (cp >> 18));
        q[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        q[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    q[len - 1] = static_cast<char>(0x80 | (cp & 0x3F));
}

// Appends `cp` to `out` in UTF-8; a surrogate or a value beyond U+10FFFF,
// which UTF-8 cannot hold, becomes U+FFFD.
inline void appendUtf8(std::string& out, std::uint32_t cp) {
    cp = utf8Encodable(cp);
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
        return;
    }
    const std::size_t len = utf8Length(cp);
    char bytes[4];
    putUtf8(bytes, cp, len);
    out.append(bytes, len);
}

// Appends the ASCII bytes of p[i, n) up to the first byte beyond ASCII, which
// every UTF-8 reader takes as they are; answers that byte's index, or n.
inline std::size_t appendAsciiRun(std::string& out, const char* p, std::size_t i, std::size_t n) {
    std::size_t end = i;
    while (end < n && static_cast<unsigned char>(p[end]) < 0x80) ++end;
    out.append(p + i, end - i);
    return end;
}

namespace detail {

// Whether the four UTF-16 units at `w` are all ASCII.
inline bool fourAscii(const std::uint16_t* w) {
    std::uint64_t four;
    std::memcpy(&four, w, sizeof four);
    return (four & 0xFF80FF80FF80FF80u) == 0;
}

template <bool kWrite>
std::size_t utf8FromUtf16(const std::uint16_t* w, std::size_t n, char* out) {
    std::size_t cb = 0;
    std::size_t i = 0;
    while (i < n) {
        if (w[i] < 0x80) {
            for (; n - i >= 4 && fourAscii(w + i); i += 4, cb += 4) {
                if (kWrite) {
                    out[cb] = static_cast<char>(w[i]);
                    out[cb + 1] = static_cast<char>(w[i + 1]);
                    out[cb + 2] = static_cast<char>(w[i + 2]);
                    out[cb + 3] = static_cast<char>(w[i + 3]);
                }
            }
            for (; i < n && w[i] < 0x80; ++i, ++cb)
                if (kWrite) out[cb] = static_cast<char>(w[i]);
            continue;
        }
        std::uint32_t cp = w[i++];
        if (cp >= 0xD800 && cp <= 0xDBFF && i < n && w[i] >= 0xDC00 && w[i] <= 0xDFFF)
            cp = 0x10000 + ((cp - 0xD800) << 10) + (w[i++] - 0xDC00u);
        else if (cp >= 0xD800 && cp <= 0xDFFF)
            cp = kReplacementCharacter;
        const std::size_t len = utf8Length(cp);
        if (kWrite) putUtf8(out + cb, cp, len);
        cb += len;
    }
    return cb;
}

}  // namespace detail

// Writes the UTF-16 units w[0, n) to `out` as UTF-8, pairing surrogates; a
// lone surrogate becomes U+FFFD. Answers the bytes written, or with a null
// `out` the bytes it would write. ASCII, most of any text, is copied with no
// decoding.
inline std::size_t utf8FromUtf16(const std::uint16_t* w, std::size_t n, char* out) {
    return out != nullptr ? detail::utf8FromUtf16<true>(w, n, out) : detail::utf8FromUtf16<false>(w, n, nullptr);
}

}  // namespace codepage
