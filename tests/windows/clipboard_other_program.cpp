// Another program using the clipboard, for the Wine tests of StyledClipboard
// against a clipboard that other programs use too. It tells the test it is
// ready through the named event "StyledTextTest.Ready", and reports through
// "StyledTextTest.Rendered" and "StyledTextTest.Copied".
//
//   clipboard_other_program hold MS
//       opens the clipboard, keeps it MS milliseconds, closes it and ends;
//   clipboard_other_program delayed
//       puts "Rich Text Format" and CF_UNICODETEXT with no data and renders
//       them when asked, until "StyledTextTest.Quit" is set;
//   clipboard_other_program delayed-then-copy
//       the same, and once the RTF has been rendered copies the text "newer"
//       as soon as the clipboard can be opened: between the reader's read
//       and its write;
//   clipboard_other_program copy-browser | copy-word | copy-filemaker (each of the last two also -large)
//       copies text in five scripts (copy_kinds.h) as that kind of program
//       does, beside formats StyledClipboard must keep, and stays the owner,
//       rendering what it promised, until "StyledTextTest.Quit" is set.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "windows/copy_kinds.h"

namespace {

const char kStyledRtf[] = "{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;}\\fs20 a{\\b\\cf1 b}c\\par d}";
const wchar_t kUnicodeText[] = L"abc\r\nd";

bool gCopyAfterRendering = false;

void signal(const char* name) {
    HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, name);
    if (event == nullptr) return;
    SetEvent(event);
    CloseHandle(event);
}

HGLOBAL blockOf(const void* bytes, SIZE_T size) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
    if (h == nullptr) return nullptr;
    std::memcpy(GlobalLock(h), bytes, size);
    GlobalUnlock(h);
    return h;
}

// A styled document big enough that converting it takes the reader a while.
std::string bigRtf() {
    std::string doc = "{\\rtf1\\ansi{\\colortbl;\\red200\\green10\\blue10;}";
    while (doc.size() < 1000 * 1000) doc += "{\\b bold }{\\i\\cf1 italic }plain ";
    return doc + "}";
}

DWORD WINAPI copyWhenFree(LPVOID) {
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    // The reader holds the clipboard while it reads: the copy lands the
    // moment it lets go, before it has converted and come back to write.
    while (!OpenClipboard(window)) Sleep(0);
    EmptyClipboard();
    SetClipboardData(CF_TEXT, blockOf("newer", 6));
    CloseClipboard();
    DestroyWindow(window);
    signal("StyledTextTest.Copied");
    return 0;
}

void render(UINT format) {
    if (format == RegisterClipboardFormatA(copykinds::kPrivateFormat)) {
        const std::string bytes = copykinds::privateBytes();
        SetClipboardData(format, blockOf(bytes.data(), bytes.size()));
        return;
    }
    const UINT rtf = RegisterClipboardFormatA("Rich Text Format");
    if (format == rtf) {
        if (gCopyAfterRendering) {
            const std::string doc = bigRtf();
            SetClipboardData(rtf, blockOf(doc.c_str(), doc.size() + 1));
            HANDLE thread = CreateThread(nullptr, 0, copyWhenFree, nullptr, 0, nullptr);
            if (thread != nullptr) CloseHandle(thread);
        } else {
            SetClipboardData(rtf, blockOf(kStyledRtf, sizeof kStyledRtf));
        }
        signal("StyledTextTest.Rendered");
    } else if (format == CF_UNICODETEXT) {
        SetClipboardData(CF_UNICODETEXT, blockOf(kUnicodeText, sizeof kUnicodeText));
    }
}

LRESULT CALLBACK ownerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_RENDERFORMAT:
            // Asked by a reader that holds the clipboard open: set the data
            // without opening it.
            render(static_cast<UINT>(wParam));
            return 0;
        case WM_RENDERALLFORMATS:
            return 0;  // promised formats go with this program
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Puts one kind of copy on the clipboard, opened by `window`.
bool putCopy(HWND window, const std::string& kind) {
    if (!OpenClipboard(window)) return false;
    EmptyClipboard();
    const bool large = copykinds::isLarge(kind);
    const std::wstring whole = copykinds::textOf(kind);
    const std::size_t unicodeBytes = (whole.size() + 1) * sizeof(wchar_t);
    SetClipboardData(CF_UNICODETEXT, blockOf(whole.c_str(), unicodeBytes));
    if (kind == "copy-browser") {
        const std::string block = copykinds::browserHtmlBlock();
        SetClipboardData(RegisterClipboardFormatA("HTML Format"), blockOf(block.c_str(), block.size() + 1));
        const std::string dib = copykinds::dibBytes();
        SetClipboardData(CF_DIB, blockOf(dib.data(), dib.size()));
        const std::string bytes = copykinds::privateBytes();
        SetClipboardData(RegisterClipboardFormatA(copykinds::kPrivateFormat), blockOf(bytes.data(), bytes.size()));
        const DWORD zero = 0;
        SetClipboardData(RegisterClipboardFormatA("ExcludeClipboardContentFromMonitorProcessing"), blockOf(&zero, 1));
        SetClipboardData(RegisterClipboardFormatA("CanIncludeInClipboardHistory"), blockOf(&zero, sizeof zero));
        SetClipboardData(RegisterClipboardFormatA("CanUploadToCloudClipboard"), blockOf(&zero, sizeof zero));
    } else if (kind == "copy-word" || kind == "copy-word-large") {
        const std::string rtf = copykinds::wordRtf(large);
        SetClipboardData(RegisterClipboardFormatA("Rich Text Format"), blockOf(rtf.c_str(), rtf.size() + 1));
        SetClipboardData(CF_ENHMETAFILE, copykinds::makeMetafile());
        SetClipboardData(RegisterClipboardFormatA(copykinds::kPrivateFormat), nullptr);  // rendered when asked
    } else {
        const std::string ansi = copykinds::ansiOf(whole);
        SetClipboardData(CF_TEXT, blockOf(ansi.c_str(), ansi.size() + 1));
        const std::string fmcs = copykinds::fileMakerBlock(large);
        SetClipboardData(RegisterClipboardFormatA("Mac-FMcs"), blockOf(fmcs.data(), fmcs.size()));
    }
    CloseClipboard();
    return true;
}

int delayed(const std::string& kind = std::string()) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ownerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "StyledTextTestOwner";
    if (!RegisterClassA(&wc)) return 2;
    HWND window = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (window == nullptr) return 3;
    HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, "StyledTextTest.Quit");
    if (quit == nullptr) return 4;
    if (!kind.empty()) {
        if (!putCopy(window, kind)) return 5;
    } else {
        if (!OpenClipboard(window)) return 5;
        EmptyClipboard();
        SetClipboardData(RegisterClipboardFormatA("Rich Text Format"), nullptr);
        SetClipboardData(CF_UNICODETEXT, nullptr);
        CloseClipboard();
    }
    signal("StyledTextTest.Ready");
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 60000) {
        const DWORD woke = MsgWaitForMultipleObjects(1, &quit, FALSE, 1000, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    DestroyWindow(window);
    CloseHandle(quit);
    return 0;
}

int hold(DWORD milliseconds) {
    // With a window: Wine lets a second caller in when both open the
    // clipboard with none.
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (window == nullptr || !OpenClipboard(window)) return 2;
    signal("StyledTextTest.Ready");
    Sleep(milliseconds);
    CloseClipboard();
    DestroyWindow(window);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "hold") == 0) return hold(static_cast<DWORD>(std::atol(argv[2])));
    if (argc == 2 && std::strcmp(argv[1], "delayed") == 0) return delayed();
    if (argc == 2 && std::strncmp(argv[1], "copy-", 5) == 0) return delayed(argv[1]);
    if (argc == 2 && std::strcmp(argv[1], "delayed-then-copy") == 0) {
        gCopyAfterRendering = true;
        return delayed();
    }
    return 1;
}
