// A hidden RichEdit control (Wine's), used to check that the RTF we write is
// read as written by an implementation we did not write, and to obtain RTF
// that it writes itself.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <string>

class RichEdit {
  public:
    RichEdit() {
        library_ = LoadLibraryA("riched20.dll");
        if (library_ != nullptr)
            window_ = CreateWindowExA(0, RICHEDIT_CLASSA, "", ES_MULTILINE, 0, 0, 400, 400, HWND_MESSAGE, nullptr,
                                      nullptr, nullptr);
    }
    ~RichEdit() {
        if (window_ != nullptr) DestroyWindow(window_);
        if (library_ != nullptr) FreeLibrary(library_);
    }
    RichEdit(const RichEdit&) = delete;
    RichEdit& operator=(const RichEdit&) = delete;

    bool ok() const { return window_ != nullptr; }
    HWND window() const { return window_; }

    // Replaces the content with an RTF document; answers the bytes consumed.
    long streamIn(const std::string& rtf) {
        Reader reader{&rtf, 0};
        EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&reader), 0, &Reader::callback};
        SendMessageA(window_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
        return static_cast<long>(reader.offset);
    }

    std::string streamOut() {
        std::string out;
        EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&out), 0, &writer};
        SendMessageA(window_, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
        return out;
    }

    // The plain text, paragraph marks as CR.
    std::string text() {
        GETTEXTLENGTHEX lengthOf = {GTL_DEFAULT, CP_ACP};
        LRESULT length = SendMessageA(window_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthOf), 0);
        std::string buffer(static_cast<size_t>(length) + 1, '\0');
        GETTEXTEX get = {static_cast<DWORD>(buffer.size()), GT_DEFAULT, CP_ACP, nullptr, nullptr};
        LRESULT n = SendMessageA(window_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                 reinterpret_cast<LPARAM>(&buffer[0]));
        buffer.resize(static_cast<size_t>(n));
        return buffer;
    }

    // The plain text as UTF-16, paragraph marks as CR.
    std::wstring unicodeText() {
        GETTEXTLENGTHEX lengthOf = {GTL_DEFAULT | GTL_NUMCHARS, 1200};
        LRESULT length = SendMessageW(window_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthOf), 0);
        std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
        GETTEXTEX get = {static_cast<DWORD>(buffer.size() * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
        LRESULT n = SendMessageW(window_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                 reinterpret_cast<LPARAM>(&buffer[0]));
        buffer.resize(static_cast<size_t>(n));
        return buffer;
    }

    void setText(const std::string& text) { SendMessageA(window_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())); }

    // The character format of the one character at `position`.
    CHARFORMAT2A formatAt(long position) {
        select(position, position + 1);
        CHARFORMAT2A format = {};
        format.cbSize = sizeof format;
        SendMessageA(window_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format;
    }

    // Plain Arial for the whole text (the control's default font is bold).
    void resetFormat() {
        CHARFORMAT2A format = {};
        format.cbSize = sizeof format;
        format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_FACE | CFM_SIZE | CFM_COLOR;
        format.dwEffects = CFE_AUTOCOLOR;
        format.yHeight = 12 * 20;
        lstrcpynA(format.szFaceName, "Arial", LF_FACESIZE);
        SendMessageA(window_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    }

    void applyFormat(long from, long to, CHARFORMAT2A format) {
        select(from, to);
        format.cbSize = sizeof format;
        SendMessageA(window_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    }

  private:
    struct Reader {
        const std::string* rtf;
        size_t offset;
        static DWORD CALLBACK callback(DWORD_PTR cookie, LPBYTE buffer, LONG want, LONG* got) {
            Reader* r = reinterpret_cast<Reader*>(cookie);
            size_t n = std::min(static_cast<size_t>(want), r->rtf->size() - r->offset);
            std::copy(r->rtf->begin() + static_cast<long>(r->offset),
                      r->rtf->begin() + static_cast<long>(r->offset + n), buffer);
            r->offset += n;
            *got = static_cast<LONG>(n);
            return 0;
        }
    };
    static DWORD CALLBACK writer(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* wrote) {
        reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(size));
        *wrote = size;
        return 0;
    }
    void select(long from, long to) {
        CHARRANGE range = {from, to};
        SendMessageA(window_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    }

    HMODULE library_ = nullptr;
    HWND window_ = nullptr;
};
