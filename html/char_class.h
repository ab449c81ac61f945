// The classes of bytes the HTML and CSS readers tell apart, and ASCII lower
// case: one table of all 256 byte values with a bit per class, so that every
// reader asks the same question the same way.
#pragma once

#include <cstdint>
#include <string>

namespace html {

// One bit per class in kCharClasses.
enum CharClass : std::uint8_t {
    kClassSpace = 0x01,     // white space of HTML and CSS: space, tab, LF, FF, CR
    kClassBlank = 0x02,     // space and tab: what pads a value in the clipboard header
    kClassAlpha = 0x04,     // ASCII letters
    kClassDigit = 0x08,     // ASCII digits
    kClassNameChar = 0x10,  // what a CSS name may hold: letters, digits, "-", "_", every byte from 0x80 up
};

struct CharClassTable {
    std::uint8_t bits[256] = {};
    constexpr CharClassTable() {
        for (int c = 0; c < 256; ++c) {
            std::uint8_t b = 0;
            if (c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r') b |= kClassSpace;
            if (c == ' ' || c == '\t') b |= kClassBlank;
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) b |= kClassAlpha | kClassNameChar;
            if (c >= '0' && c <= '9') b |= kClassDigit | kClassNameChar;
            if (c == '-' || c == '_' || c >= 0x80) b |= kClassNameChar;
            bits[c] = b;
        }
    }
};
inline constexpr CharClassTable kCharClasses;

// Answers whether `c` belongs to any of the classes in `classes`.
constexpr bool isInClass(char c, std::uint8_t classes) {
    return (kCharClasses.bits[static_cast<unsigned char>(c)] & classes) != 0;
}

constexpr bool isSpace(char c) { return isInClass(c, kClassSpace); }
constexpr bool isBlank(char c) { return isInClass(c, kClassBlank); }
constexpr bool isAsciiAlpha(char c) { return isInClass(c, kClassAlpha); }
constexpr bool isAsciiAlnum(char c) { return isInClass(c, kClassAlpha | kClassDigit); }
constexpr bool isCssNameChar(char c) { return isInClass(c, kClassNameChar); }

// Answers `c` in ASCII lower case; every other byte as it is.
constexpr char toLowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// Answers whether `a` and `b` are the same but for ASCII case.
inline bool equalIgnoringAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (toLowerAscii(a[i]) != toLowerAscii(b[i])) return false;
    return true;
}

// Answers `s` in ASCII lower case.
inline std::string lowerAscii(std::string s) {
    for (char& c : s) c = toLowerAscii(c);
    return s;
}

}  // namespace html
