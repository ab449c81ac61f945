// Makes RTF documents with the RichEdit control (riched20.dll), for the
// corpus of RTF written by real programs.
//
//   richedit_rtf rtf IN.rtf OUT.rtf      streams IN in and the control's RTF out
//   richedit_rtf markup IN.txt OUT.rtf   sets the Unicode text of IN with its
//                                        formats, and streams the RTF out
//
// A markup file is UTF-8 text. Each line end is a paragraph mark; tags in
// angle brackets change the format of the text after them:
//   <b> </b> <i> </i> <u> </u> <s> </s>    bold, italic, underline, strikeout
//   <sup> </sup> <sub> </sub>              superscript, subscript
//   <size N> </size>                       size in points (12 otherwise)
//   <color RRGGBB> </color>                text colour (automatic otherwise)
//   <font NAME CHARSET> </font>            font and its character set (Arial 0 otherwise)
//   <hidden> </hidden>                     hidden text
//   <br>                                   a line break inside the paragraph
//   <lt>                                   a "<"
// Every start tag must be closed before the end of the file.
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string readFile(const char* path) {
    std::string bytes;
    FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    std::fclose(f);
    return bytes;
}

std::wstring widen(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &w[0], n);
    return w;
}

struct Format {
    bool bold = false, italic = false, underline = false, strike = false, sup = false, sub = false, hidden = false;
    int size = 12;
    COLORREF colour = 0;
    bool autoColour = true;
    std::wstring face = L"Arial";
    BYTE charset = ANSI_CHARSET;
};

struct Span {
    LONG from, to;
    Format format;
};

// `breaks` gets the positions of the <br> tags, where a "\\line" goes once
// the text and its formats are set (the control takes no line break as text).
bool parseMarkup(const std::wstring& in, std::wstring& text, std::vector<Span>& spans, std::vector<LONG>& breaks) {
    Format current;
    LONG start = 0;
    auto flush = [&]() {
        LONG here = static_cast<LONG>(text.size());
        if (here > start) spans.push_back({start, here, current});
        start = here;
    };
    for (size_t i = 0; i < in.size(); ++i) {
        wchar_t c = in[i];
        if (c == L'\r') continue;
        if (c == L'\n') {
            text += L'\r';
            continue;
        }
        if (c != L'<') {
            text += c;
            continue;
        }
        size_t end = in.find(L'>', i);
        if (end == std::wstring::npos) return false;
        std::wstring tag = in.substr(i + 1, end - i - 1);
        i = end;
        if (tag == L"br") {
            breaks.push_back(static_cast<LONG>(text.size()));
            continue;
        }
        if (tag == L"lt") {
            text += L'<';
            continue;
        }
        flush();
        bool on = tag[0] != L'/';
        std::wstring name = on ? tag : tag.substr(1);
        std::wstring argument;
        size_t space = name.find(L' ');
        if (space != std::wstring::npos) {
            argument = name.substr(space + 1);
            name = name.substr(0, space);
        }
        if (name == L"b") current.bold = on;
        else if (name == L"i") current.italic = on;
        else if (name == L"u") current.underline = on;
        else if (name == L"s") current.strike = on;
        else if (name == L"sup") current.sup = on;
        else if (name == L"sub") current.sub = on;
        else if (name == L"hidden") current.hidden = on;
        else if (name == L"size") current.size = on ? std::wcstol(argument.c_str(), nullptr, 10) : 12;
        else if (name == L"color") {
            unsigned long rgb = std::wcstoul(argument.c_str(), nullptr, 16);
            current.autoColour = !on;
            current.colour = on ? RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF) : 0;
        } else if (name == L"font") {
            if (on) {
                size_t last = argument.rfind(L' ');
                if (last == std::wstring::npos) return false;
                current.face = argument.substr(0, last);
                current.charset = static_cast<BYTE>(std::wcstol(argument.c_str() + last + 1, nullptr, 10));
            } else {
                current.face = L"Arial";
                current.charset = ANSI_CHARSET;
            }
        } else {
            std::fprintf(stderr, "unknown tag <%ls>\n", tag.c_str());
            return false;
        }
    }
    flush();
    return true;
}

CHARFORMAT2W toCharFormat(const Format& f) {
    CHARFORMAT2W cf = {};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_SUPERSCRIPT | CFM_SUBSCRIPT | CFM_HIDDEN |
                CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_CHARSET;
    if (f.bold) cf.dwEffects |= CFE_BOLD;
    if (f.italic) cf.dwEffects |= CFE_ITALIC;
    if (f.underline) cf.dwEffects |= CFE_UNDERLINE;
    if (f.strike) cf.dwEffects |= CFE_STRIKEOUT;
    if (f.sup) cf.dwEffects |= CFE_SUPERSCRIPT;
    if (f.sub) cf.dwEffects |= CFE_SUBSCRIPT;
    if (f.hidden) cf.dwEffects |= CFE_HIDDEN;
    if (f.autoColour) cf.dwEffects |= CFE_AUTOCOLOR;
    cf.crTextColor = f.colour;
    cf.yHeight = f.size * 20;
    cf.bCharSet = f.charset;
    lstrcpynW(cf.szFaceName, f.face.c_str(), LF_FACESIZE);
    return cf;
}

struct Source {
    const std::string* bytes;
    size_t offset;
};

DWORD CALLBACK readSource(DWORD_PTR cookie, LPBYTE buffer, LONG want, LONG* got) {
    Source* s = reinterpret_cast<Source*>(cookie);
    size_t n = s->bytes->size() - s->offset;
    if (n > static_cast<size_t>(want)) n = static_cast<size_t>(want);
    std::copy(s->bytes->begin() + static_cast<long>(s->offset), s->bytes->begin() + static_cast<long>(s->offset + n),
              buffer);
    s->offset += n;
    *got = static_cast<LONG>(n);
    return 0;
}

DWORD CALLBACK writeOut(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* wrote) {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(size));
    *wrote = size;
    return 0;
}

void streamIn(HWND edit, const std::string& rtf, WPARAM how) {
    Source source{&rtf, 0};
    EDITSTREAM in = {reinterpret_cast<DWORD_PTR>(&source), 0, &readSource};
    SendMessageW(edit, EM_STREAMIN, how, reinterpret_cast<LPARAM>(&in));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: richedit_rtf rtf|markup IN OUT\n");
        return 2;
    }
    const std::string mode = argv[1];
    const std::string input = readFile(argv[2]);
    if (input.empty()) {
        std::fprintf(stderr, "cannot read %s\n", argv[2]);
        return 1;
    }
    if (LoadLibraryA("riched20.dll") == nullptr) return 1;
    HWND edit = CreateWindowExW(0, RICHEDIT_CLASSW, L"", ES_MULTILINE, 0, 0, 400, 400, HWND_MESSAGE, nullptr, nullptr,
                                nullptr);
    if (edit == nullptr) return 1;

    // Plain 12-point Arial where a document says nothing else (the control's
    // own default is a bold system font).
    CHARFORMAT2W plain = toCharFormat(Format());
    SendMessageW(edit, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&plain));
    if (mode == "rtf") {
        streamIn(edit, input, SF_RTF);
    } else if (mode == "markup") {
        std::wstring text;
        std::vector<Span> spans;
        std::vector<LONG> breaks;
        if (!parseMarkup(widen(input), text, spans, breaks)) {
            std::fprintf(stderr, "bad markup in %s\n", argv[2]);
            return 1;
        }
        SETTEXTEX set = {ST_DEFAULT, 1200};
        SendMessageW(edit, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(text.c_str()));
        for (const Span& s : spans) {
            CHARRANGE range = {s.from, s.to};
            SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
            CHARFORMAT2W cf = toCharFormat(s.format);
            SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
        }
        for (auto at = breaks.rbegin(); at != breaks.rend(); ++at) {
            CHARRANGE range = {*at, *at};
            SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
            streamIn(edit, "{\\rtf1\\ansi \\line}", SF_RTF | SFF_SELECTION);
        }
    } else {
        std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
        return 2;
    }

    std::string out;
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&out), 0, &writeOut};
    SendMessageW(edit, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    DestroyWindow(edit);
    FILE* f = std::fopen(argv[3], "wb");
    if (f == nullptr || std::fwrite(out.data(), 1, out.size(), f) != out.size()) return 1;
    std::fclose(f);
    return out.empty() ? 1 : 0;
}
