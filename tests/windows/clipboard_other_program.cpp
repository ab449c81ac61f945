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
//       and its write.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

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

int delayed() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ownerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "StyledTextTestOwner";
    if (!RegisterClassA(&wc)) return 2;
    HWND window = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (window == nullptr) return 3;
    HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, "StyledTextTest.Quit");
    if (quit == nullptr) return 4;
    if (!OpenClipboard(window)) return 5;
    EmptyClipboard();
    SetClipboardData(RegisterClipboardFormatA("Rich Text Format"), nullptr);
    SetClipboardData(CF_UNICODETEXT, nullptr);
    CloseClipboard();
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
    if (argc == 2 && std::strcmp(argv[1], "delayed-then-copy") == 0) {
        gCopyAfterRendering = true;
        return delayed();
    }
    return 1;
}
