// Small, known clipboard contents shared by the end-to-end tests.
#pragma once

#include <string>
#include <vector>

#include "platform/winapi.h"

namespace samples {

// "abc": run 0 at 0 bold 12pt black, run 1 at 2 plain 12pt red, as FileMaker writes it.
inline const std::vector<unsigned char>& abcFileMakerBlock() {
    static const std::vector<unsigned char> block = {
        0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00,
        0x00, 0x0C, 0x00, 0x16, 0x00, 0x00, 0x01, 0x00, 0x00, 0x0C, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00,
        0x01, 0x00, 0x00, 0x00, 0x0C, 0x00, 0x16, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0xFF, 0x00, 0x00, 0xFF};
    return block;
}

// The document the writer makes of abcFileMakerBlock(), without its NUL.
constexpr const char* kAbcRtf =
    "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0\\fswiss\\fcharset0 Arial;}{\\colortbl;\\red255\\green0\\blue0;}"
    "\\f0\\fs24 {\\cf0\\fs24\\b ab}{\\cf1\\fs24 c}}";

constexpr const char* kStyledRtf = "{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;}\\fs20 a{\\b\\cf1 b}c\\par d}";

// A style scrap of two runs over "ab\r\ncd": bold 12pt red at 0, italic 18pt blue at 4.
inline std::vector<unsigned char> styleScrapBlock() {
    std::vector<unsigned char> b;
    b.reserve(6 + 2 * 20);
    b.assign({42, 0, 0, 0, 2, 0});
    auto element = [&](int start, int size, unsigned char face, unsigned r, unsigned g, unsigned bl) {
        const unsigned char e[20] = {static_cast<unsigned char>(start), 0, 0, 0, 16, 0, 12, 0, 3, 0, 0, face,
                                     static_cast<unsigned char>(size), 0, static_cast<unsigned char>(r),
                                     static_cast<unsigned char>(r >> 8), static_cast<unsigned char>(g),
                                     static_cast<unsigned char>(g >> 8), static_cast<unsigned char>(bl),
                                     static_cast<unsigned char>(bl >> 8)};
        b.insert(b.end(), e, e + 20);
    };
    element(0, 12, 0x01, 0xFFFF, 0, 0);
    element(4, 18, 0x02, 0, 0, 0xFFFF);
    return b;
}

// Adds `bytes` to the clipboard under `format`; false when it could not.
inline bool put(UINT format, const void* bytes, size_t size) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
    if (h == nullptr) return false;
    unsigned char* p = static_cast<unsigned char*>(GlobalLock(h));
    for (size_t i = 0; i < size; ++i) p[i] = static_cast<const unsigned char*>(bytes)[i];
    GlobalUnlock(h);
    if (!OpenClipboard(nullptr)) {
        GlobalFree(h);
        return false;
    }
    bool set = SetClipboardData(format, h) != nullptr;
    CloseClipboard();
    return set;
}

inline bool putText(const std::string& text) { return put(CF_TEXT, text.c_str(), text.size() + 1); }

inline bool putRtf(const std::string& rtf) {
    return put(RegisterClipboardFormatA("Rich Text Format"), rtf.c_str(), rtf.size() + 1);
}

inline bool putAbcFileMaker() {
    const auto& block = abcFileMakerBlock();
    return putText("abc") && put(RegisterClipboardFormatA("Mac-FMcs"), block.data(), block.size());
}

inline bool putStyleScrap() {
    const auto block = styleScrapBlock();
    return putText("ab\r\ncd") && put(RegisterClipboardFormatA("Mac-styl"), block.data(), block.size());
}

// Styled RTF whose text (about 100 KB, with characters beyond the code page)
// is large enough for the call to write a block on a second thread.
inline std::string largeStyledRtf() {
    std::string rtf = "{\\rtf1\\ansi{\\colortbl;\\red200\\green0\\blue0;}";
    for (int i = 0; i < 4000; ++i)
        rtf += "{\\b bold} {\\i\\cf1 italic} caf\\u233? {\\fs32 big\\u20013?}\\par ";
    return rtf + "}";
}

// A styled HTML fragment of the same size, for "HTML Format".
inline std::string largeStyledHtmlFragment() {
    std::string html;
    for (int i = 0; i < 4000; ++i)
        html += "<p><b>bold</b> <i style=\"color:#c80000\">italic</i> caf&eacute; "
                "<span style=\"font-size:16pt\">big&#20013;</span></p>";
    return html;
}

// Formats a copy holds beside its text that the call never writes: an image
// (CF_DIB, 8), a program's private format, and the marks a password manager
// puts to keep its copy out of clipboard history and the cloud clipboard.
inline bool putKeptFormats() {
    const unsigned char dib[] = {40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,
                                 4,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0,
                                 0,  0, 0, 0, 0xFF, 0, 0, 0};
    const char privateData[] = "\x01private\x02";
    const unsigned char zero[4] = {0, 0, 0, 0};
    return put(8, dib, sizeof dib) &&
           put(RegisterClipboardFormatA("Embed Source"), privateData, sizeof privateData) &&
           put(RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing"), zero, 1) &&
           put(RegisterClipboardFormatA("CanIncludeInClipboardHistory"), zero, 4) &&
           put(RegisterClipboardFormatA("CanUploadToCloudClipboard"), zero, 4);
}

}  // namespace samples
