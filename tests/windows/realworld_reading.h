// One reading of a styled text: its bytes in the session's ANSI code page and
// the attributes of each byte, as RichEdit or the plug-in sees them. Shared
// by the reader program that reads one document in a process of its own and
// by the test that compares the readings.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "style/CharStyle.h"
#include "windows/richedit.h"

namespace realworld {

// What the comparison looks at for one character.
struct Attributes {
    enum : std::uint8_t { kBold = 1, kItalic = 2, kUnderline = 4, kStrikeout = 8, kSuperscript = 16, kSubscript = 32 };
    std::uint8_t flags = 0;
    int size = 12;                // points
    std::uint32_t colour = 0;     // 0x00RRGGBB, the automatic colour as black
    bool operator==(const Attributes& o) const { return flags == o.flags && size == o.size && colour == o.colour; }
    bool operator!=(const Attributes& o) const { return !(*this == o); }
};

struct Reading {
    std::string status = "ok";             // or what went wrong, in a few words
    std::string text;                       // bytes in the ANSI code page
    std::vector<Attributes> attributes;     // one per byte of `text`
};

// A FileMaker face word as the attributes above; every kind of underline is underline.
inline std::uint8_t flagsOfFace(std::uint16_t face) {
    std::uint8_t f = 0;
    if (face & kFaceBold) f |= Attributes::kBold;
    if (face & kFaceItalic) f |= Attributes::kItalic;
    if (face & (kFaceUnderline | kFaceWordUnderline | kFaceDoubleUnderline)) f |= Attributes::kUnderline;
    if (face & kFaceStrikethrough) f |= Attributes::kStrikeout;
    if (face & kFaceSuperscript) f |= Attributes::kSuperscript;
    if (face & kFaceSubscript) f |= Attributes::kSubscript;
    return f;
}

inline Attributes attributesOf(const CHARFORMAT2W& f) {
    Attributes a;
    if (f.dwEffects & CFE_BOLD) a.flags |= Attributes::kBold;
    if (f.dwEffects & CFE_ITALIC) a.flags |= Attributes::kItalic;
    // RichEdit gives the kinds of underline other than plain and double
    // (dotted, dashed, wave, thick...) as an underline type alone, without
    // the underline effect.
    if ((f.dwEffects & CFE_UNDERLINE) || ((f.dwMask & CFM_UNDERLINETYPE) && f.bUnderlineType > CFU_UNDERLINE))
        a.flags |= Attributes::kUnderline;
    if (f.dwEffects & CFE_STRIKEOUT) a.flags |= Attributes::kStrikeout;
    if (f.dwEffects & CFE_SUPERSCRIPT) a.flags |= Attributes::kSuperscript;
    if (f.dwEffects & CFE_SUBSCRIPT) a.flags |= Attributes::kSubscript;
    a.size = static_cast<int>(f.yHeight / 20);
    // COLORREF is 0x00BBGGRR.
    a.colour = (f.dwEffects & CFE_AUTOCOLOR) ? 0u
                                             : (static_cast<std::uint32_t>(GetRValue(f.crTextColor)) << 16) |
                                                   (static_cast<std::uint32_t>(GetGValue(f.crTextColor)) << 8) |
                                                   GetBValue(f.crTextColor);
    return a;
}

// The control's Unicode text (paragraph marks as CR) and the attributes of
// each of its UTF-16 units.
inline std::wstring richEditText(HWND window) {
    GETTEXTLENGTHEX lengthOf = {GTL_DEFAULT | GTL_PRECISE | GTL_NUMCHARS, 1200};
    LRESULT length = SendMessageW(window, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthOf), 0);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GETTEXTEX get = {static_cast<DWORD>(text.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
    LRESULT n = SendMessageW(window, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

inline std::vector<Attributes> richEditAttributes(HWND window, size_t units) {
    std::vector<Attributes> out;
    out.reserve(units);
    for (size_t i = 0; i < units; ++i) {
        CHARRANGE range = {static_cast<LONG>(i), static_cast<LONG>(i + 1)};
        SendMessageW(window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMAT2W format = {};
        format.cbSize = sizeof format;
        SendMessageW(window, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        out.push_back(attributesOf(format));
    }
    return out;
}

// Unicode text with one attribute record per UTF-16 unit, made bytes of the
// ANSI code page: each character (a surrogate pair as one) converted on its
// own by WideCharToMultiByte(CP_ACP, 0, ...), every byte taking its attributes.
inline Reading toAnsi(const std::wstring& text, const std::vector<Attributes>& attributes) {
    Reading r;
    for (size_t i = 0; i < text.size();) {
        size_t units = (IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1])) ? 2 : 1;
        char bytes[16];
        int n = WideCharToMultiByte(CP_ACP, 0, &text[i], static_cast<int>(units), bytes, sizeof bytes, nullptr, nullptr);
        for (int k = 0; k < n; ++k) {
            r.text.push_back(bytes[k]);
            r.attributes.push_back(i < attributes.size() ? attributes[i] : Attributes());
        }
        i += units;
    }
    return r;
}

// Makes the control's default character format plain 12-point black Arial,
// what RTF means where a document sets nothing: the control's own default is
// a bold 9-point system font, which a document streamed in whole starts from.
inline void setPlainDefault(HWND window) {
    CHARFORMAT2W format = {};
    format.cbSize = sizeof format;
    format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SUPERSCRIPT | CFM_FACE | CFM_SIZE |
                    CFM_COLOR;
    format.dwEffects = CFE_AUTOCOLOR;
    format.yHeight = 12 * 20;
    lstrcpynW(format.szFaceName, L"Arial", LF_FACESIZE);
    SendMessageW(window, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageW(window, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

// RichEdit's reading of an RTF document: streamed into a fresh control whose
// format is plain 12-point Arial where the document sets nothing.
inline Reading readWithRichEdit(const std::string& rtf) {
    RichEdit edit;
    if (!edit.ok()) {
        Reading r;
        r.status = "no RichEdit control";
        return r;
    }
    setPlainDefault(edit.window());
    edit.streamIn(rtf);
    const std::wstring text = richEditText(edit.window());
    return toAnsi(text, richEditAttributes(edit.window(), text.size()));
}

// The reading as a file of lines: "status WORDS", "text HEX", and one
// "run START FLAGS SIZE RRGGBB" per change of attributes.
inline std::string serialise(const Reading& r) {
    std::string out = "status " + r.status + "\ntext ";
    char hex[40];
    for (unsigned char c : r.text) {
        std::snprintf(hex, sizeof hex, "%02x", c);
        out += hex;
    }
    out += "\n";
    for (size_t i = 0; i < r.attributes.size(); ++i) {
        const Attributes& a = r.attributes[i];
        if (i > 0 && a == r.attributes[i - 1]) continue;
        std::snprintf(hex, sizeof hex, "run %lu %u %d %06x\n", static_cast<unsigned long>(i), static_cast<unsigned>(a.flags), a.size,
                      static_cast<unsigned>(a.colour));
        out += hex;
    }
    return out;
}

// False when `s` is not such a file.
inline bool parse(const std::string& s, Reading& r) {
    r = Reading();
    size_t at = 0;
    bool sawStatus = false, sawText = false;
    std::vector<std::pair<unsigned long, Attributes>> runs;
    while (at < s.size()) {
        size_t end = s.find('\n', at);
        if (end == std::string::npos) end = s.size();
        const std::string line = s.substr(at, end - at);
        at = end + 1;
        if (line.compare(0, 7, "status ") == 0) {
            r.status = line.substr(7);
            sawStatus = true;
        } else if (line.compare(0, 5, "text ") == 0) {
            const std::string hex = line.substr(5);
            if (hex.size() % 2 != 0) return false;
            for (size_t i = 0; i < hex.size(); i += 2)
                r.text.push_back(static_cast<char>(std::stoul(hex.substr(i, 2), nullptr, 16)));
            sawText = true;
        } else if (line.compare(0, 4, "run ") == 0) {
            unsigned long start = 0;
            unsigned flags = 0, colour = 0;
            int size = 0;
            if (std::sscanf(line.c_str(), "run %lu %u %d %x", &start, &flags, &size, &colour) != 4) return false;
            Attributes a;
            a.flags = static_cast<std::uint8_t>(flags);
            a.size = size;
            a.colour = colour;
            runs.emplace_back(start, a);
        } else if (!line.empty()) {
            return false;
        }
    }
    r.attributes.assign(r.text.size(), Attributes());
    for (size_t k = 0; k < runs.size(); ++k) {
        size_t to = k + 1 < runs.size() ? runs[k + 1].first : r.text.size();
        for (size_t i = runs[k].first; i < to && i < r.text.size(); ++i) r.attributes[i] = runs[k].second;
    }
    return sawStatus && sawText;
}

}  // namespace realworld
