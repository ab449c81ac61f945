// Three kinds of copy, as a browser, Word and FileMaker make them, of one
// text in Latin, Cyrillic, Greek, Chinese and an emoji: shared by the program
// that copies (clipboard_other_program) and the tests that check what
// StyledClipboard leaves of them. In every kind "Привет" is bold and the
// rest is not.
#pragma once

#include <windows.h>

#include <string>

namespace copykinds {

// "Café Привет", a paragraph break, "Ελλάδα 中文 😀".
inline std::wstring firstLine() { return L"Caf\u00e9 \u041f\u0440\u0438\u0432\u0435\u0442"; }
inline std::wstring secondLine() { return L"\u0395\u03bb\u03bb\u03ac\u03b4\u03b1 \u4e2d\u6587 \xD83D\xDE00"; }
inline std::wstring wholeText() { return firstLine() + L"\r\n" + secondLine(); }
// Where the bold word starts, in UTF-16 units, and how long it is.
constexpr long kBoldStart = 5;
constexpr long kBoldLength = 6;

constexpr const char* kPrivateFormat = "StyledTextTest Private";

inline std::string utf8Of(const std::wstring& wide) {
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n, nullptr, nullptr);
    return out;
}

inline std::string ansiOf(const std::wstring& wide) {
    const int n =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n, nullptr, nullptr);
    return out;
}

inline std::string number10(std::size_t n) {
    char digits[16];
    wsprintfA(digits, "%010u", static_cast<unsigned>(n));
    return digits;
}

inline std::string browserHtmlBlock() {
    const std::string head = "<html><body><!--StartFragment-->";
    const std::string fragment = "<p>" + utf8Of(firstLine().substr(0, kBoldStart)) + "<b>" +
                                 utf8Of(firstLine().substr(kBoldStart)) + "</b><br>" + utf8Of(secondLine()) + "</p>";
    const std::string tail = "<!--EndFragment--></body></html>";
    const std::string header0 =
        "Version:0.9\r\nStartHTML:0000000000\r\nEndHTML:0000000000\r\n"
        "StartFragment:0000000000\r\nEndFragment:0000000000\r\n";
    const std::size_t startHtml = header0.size();
    const std::size_t startFragment = startHtml + head.size();
    const std::size_t endFragment = startFragment + fragment.size();
    const std::size_t endHtml = endFragment + tail.size();
    return "Version:0.9\r\nStartHTML:" + number10(startHtml) + "\r\nEndHTML:" + number10(endHtml) +
           "\r\nStartFragment:" + number10(startFragment) + "\r\nEndFragment:" + number10(endFragment) + "\r\n" + head +
           fragment + tail;
}

// Every character beyond ASCII as "\uN?", as Word writes those outside its fonts' code pages.
inline std::string rtfEscaped(const std::wstring& wide) {
    std::string out;
    for (wchar_t c : wide) {
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        const int n = c >= 0x8000 ? static_cast<int>(c) - 0x10000 : static_cast<int>(c);
        out += "\\u" + std::to_string(n) + "?";
    }
    return out;
}

// The large kinds of copy hold the text this many times, each time with its
// bold word and a line of plain ASCII after it, one after another with a
// line end between: over 300 KB of text, which the plug-in converts on two
// threads and whose blocks it writes in two parts.
constexpr int kLargeRepeats = 3000;
inline std::wstring largeTail() {
    return L" and a line of plain text after it, as long as a sentence or two in a letter.";
}
inline std::wstring repeated(const std::wstring& once, const std::wstring& between) {
    std::wstring out;
    for (int i = 0; i < kLargeRepeats; ++i) out += (i > 0 ? between : L"") + once;
    return out;
}

// Line ends made one CR, as FileMaker has them in its text and RichEdit
// gives paragraphs.
inline std::wstring crOnly(const std::wstring& text) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n'))
            out += text[i] == L'\n' ? L'\r' : text[i];
    return out;
}

// Whether a kind of copy ("copy-word-large", say) is a large one.
inline bool isLarge(const std::string& kind) {
    return kind.size() > 6 && kind.compare(kind.size() - 6, 6, "-large") == 0;
}

// The text of a kind of copy: once, or, for a large one, kLargeRepeats
// times; FileMaker's with CR line ends.
inline std::wstring textOf(const std::string& kind) {
    if (!isLarge(kind)) return wholeText();
    const std::wstring text = repeated(wholeText() + largeTail(), L"\r\n");
    return kind.rfind("copy-filemaker", 0) == 0 ? crOnly(text) : text;
}

inline std::string wordRtf(bool large = false) {
    const std::string once = rtfEscaped(firstLine().substr(0, kBoldStart)) + "{\\b " +
                             rtfEscaped(firstLine().substr(kBoldStart)) + "}\\par " + rtfEscaped(secondLine()) +
                             (large ? rtfEscaped(largeTail()) : std::string());
    std::string body = once;
    for (int i = 1; large && i < kLargeRepeats; ++i) body += "\\par " + once;
    return "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0{\\fonttbl{\\f0\\fswiss Calibri;}}\\f0\\fs22 " + body + "}";
}

inline std::string privateBytes() {
    return std::string(
        "\x01private\0"
        "data\xFF",
        14);
}

// A 2x1 bitmap of 24 bits, as an image's copy holds it.
inline std::string dibBytes() {
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = 2;
    header.biHeight = 1;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = 8;
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
    bytes += std::string("\x00\x00\xFF\xFF\x00\x00\x00\x00", 8);
    return bytes;
}

inline HENHMETAFILE makeMetafile() {
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    if (dc == nullptr) return nullptr;
    Rectangle(dc, 1, 2, 30, 40);
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 17, 23);
    return CloseEnhMetaFile(dc);
}

inline void putBigEndian(std::string& out, unsigned long value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

// FileMaker's block for the text's CF_TEXT in the ANSI code page: plain
// black from the start, bold red from the bold word on, plain again after
// it; in a large copy, so every time the text comes again.
inline std::string fileMakerBlock(bool large = false) {
    const std::wstring first = firstLine();
    const unsigned long boldAt = static_cast<unsigned long>(ansiOf(first.substr(0, kBoldStart)).size());
    const unsigned long plainAt = static_cast<unsigned long>(ansiOf(first).size());
    const unsigned long step = static_cast<unsigned long>(ansiOf(crOnly(wholeText() + largeTail())).size() + 1);
    const int repeats = large ? kLargeRepeats : 1;
    std::string body;
    putBigEndian(body, static_cast<unsigned long>(3 * repeats), 4);
    for (int i = 0; i < repeats; ++i)
        for (unsigned long at : {0ul, boldAt, plainAt}) {
            putBigEndian(body, static_cast<unsigned long>(i) * step + at, 4);
            putBigEndian(body, at == boldAt ? 1 : 0, 4);
        }
    putBigEndian(body, 2, 4);
    const struct {
        unsigned face;
        unsigned long colour;
    } styles[] = {{0, 0x000000FFul}, {0x0100, 0xFF0000FFul}};
    for (const auto& s : styles) {
        putBigEndian(body, static_cast<unsigned long>((s.face == 0 ? 2 : 1) * repeats), 4);  // runs using it
        putBigEndian(body, 12, 4);
        putBigEndian(body, 0x16, 2);
        putBigEndian(body, 0, 2);
        putBigEndian(body, s.face, 2);
        putBigEndian(body, 12, 2);
        putBigEndian(body, s.colour, 4);
    }
    std::string block;
    const unsigned long size = static_cast<unsigned long>(body.size());
    for (int shift = 0; shift < 32; shift += 8) block += static_cast<char>((size >> shift) & 0xFF);
    return block + body;
}

}  // namespace copykinds
