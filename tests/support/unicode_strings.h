// UTF-8 and UTF-16 in tests, written apart from the code under test so that
// the two cannot share a mistake.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace unicode_strings {

inline std::u16string utf16(const std::string& utf8) {
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        std::uint32_t cp = c;
        std::size_t len = 1;
        if (c >= 0xF0) {
            cp = c & 0x07;
            len = 4;
        } else if (c >= 0xE0) {
            cp = c & 0x0F;
            len = 3;
        } else if (c >= 0xC0) {
            cp = c & 0x1F;
            len = 2;
        }
        for (std::size_t k = 1; k < len && i + k < utf8.size(); ++k)
            cp = cp << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += len;
        if (cp >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

inline std::string utf8(const std::u16string& wide) {
    std::string out;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        std::uint32_t cp = wide[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size()) cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[++i] - 0xDC00);
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | cp >> 6);
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | cp >> 12);
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | cp >> 18);
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

// The bytes of a UTF-16 text as a clipboard block holds it, NUL included.
inline std::vector<unsigned char> clipboardBytes(const std::u16string& wide) {
    std::vector<unsigned char> bytes;
    for (char16_t c : wide) {
        bytes.push_back(static_cast<unsigned char>(c & 0xFF));
        bytes.push_back(static_cast<unsigned char>(c >> 8));
    }
    bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

// RTF text for UTF-8: every character beyond ASCII as "\uN?", a pair of
// them beyond U+FFFF.
inline std::string rtfEscaped(const std::string& utf8Text) {
    std::string out;
    for (char16_t unit : utf16(utf8Text)) {
        if (unit < 0x80) {
            out += static_cast<char>(unit);
            continue;
        }
        out += "\\u" + std::to_string(unit >= 0x8000 ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit)) + "?";
    }
    return out;
}

// Line ends (CR LF, CR, LF) made LF, to compare texts whose formats end lines differently.
inline std::string lf(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace unicode_strings
