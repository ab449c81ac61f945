// Stand-ins for the Win32 clipboard, global-memory, window, time and
// string-resource calls, with the same names, types and observable
// behaviour, for builds that are not Windows. One shared library holds them,
// so that a process has one clipboard, seen alike by the plug-in, the host
// emulator and the tools.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(WINSTANDIN_BUILD)
#define WINSTANDIN_API __attribute__((visibility("default")))
#else
#define WINSTANDIN_API
#endif

typedef int BOOL;
typedef BOOL* LPBOOL;
typedef unsigned int UINT;
typedef std::uint32_t DWORD;
typedef unsigned char BYTE;
typedef std::uint16_t WCHAR;
typedef WCHAR* LPWSTR;
typedef const char* LPCSTR;
typedef const char* LPCCH;
typedef char* LPSTR;
typedef const WCHAR* LPCWCH;
typedef void* LPVOID;
typedef void* HANDLE;
typedef HANDLE HGLOBAL;
typedef std::size_t SIZE_T;
typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef struct HMENU__* HMENU;

#define TRUE 1
#define FALSE 0
#define CF_TEXT 1u
#define CF_UNICODETEXT 13u
#define HWND_MESSAGE (reinterpret_cast<HWND>(static_cast<std::intptr_t>(-3)))
#define GMEM_MOVEABLE 0x0002u
#define GMEM_ZEROINIT 0x0040u
#define CP_ACP 0u
#define CP_UTF8 65001u

extern "C" {
// The clipboard, as Windows has it for one window station:
// - one owner at a time has it open; while another program holds it
//   (standin::holdClipboard) OpenClipboard fails;
// - EmptyClipboard makes the window given to OpenClipboard the owner; after
//   EmptyClipboard on a clipboard opened with no window, SetClipboardData
//   fails until the clipboard is closed;
// - SetClipboardData(format, NULL) promises the format (delayed rendering):
//   GetClipboardData of it asks the owner (standin::setRenderer) to render,
//   and the owner's SetClipboardData then works without opening the clipboard;
// - CF_TEXT is made from CF_UNICODETEXT in the ANSI code page when only the
//   latter was put, and CF_UNICODETEXT from CF_TEXT when only that was;
// - GetClipboardSequenceNumber grows with every EmptyClipboard and every
//   SetClipboardData, rendering included.
WINSTANDIN_API HWND GetActiveWindow(void);
WINSTANDIN_API BOOL OpenClipboard(HWND owner);
WINSTANDIN_API BOOL CloseClipboard(void);
WINSTANDIN_API BOOL EmptyClipboard(void);
WINSTANDIN_API BOOL IsClipboardFormatAvailable(UINT format);
WINSTANDIN_API HANDLE GetClipboardData(UINT format);
WINSTANDIN_API HANDLE SetClipboardData(UINT format, HANDLE data);
WINSTANDIN_API UINT RegisterClipboardFormatA(LPCSTR name);
WINSTANDIN_API DWORD GetClipboardSequenceNumber(void);

// Windows of the stand-in are handles and nothing more: no messages, no
// classes. Any class name is accepted.
WINSTANDIN_API HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                                    int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
WINSTANDIN_API BOOL DestroyWindow(HWND window);

// Time is simulated: it starts near the point where the millisecond count
// wraps and moves only when Sleep is called, so tests never wait.
WINSTANDIN_API void Sleep(DWORD milliseconds);
WINSTANDIN_API DWORD GetTickCount(void);

WINSTANDIN_API HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
WINSTANDIN_API LPVOID GlobalLock(HGLOBAL block);
WINSTANDIN_API BOOL GlobalUnlock(HGLOBAL block);
WINSTANDIN_API HGLOBAL GlobalFree(HGLOBAL block);
WINSTANDIN_API SIZE_T GlobalSize(HGLOBAL block);

// Code pages: the ANSI code page (1252 unless a test sets another through
// standin::setAnsiCodePage), and conversions between code pages and UTF-16
// with Windows' default behaviour: bytes a single-byte code page leaves
// undefined become the code points of the same value, and characters a code
// page lacks become a close character where one is obvious (best fit) or "?".
// Flags are accepted and ignored.
WINSTANDIN_API UINT GetACP(void);
WINSTANDIN_API int MultiByteToWideChar(UINT codePage, DWORD flags, LPCCH bytes, int cbBytes, LPWSTR wide,
                                       int cchWide);
WINSTANDIN_API int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH wide, int cchWide, LPSTR bytes,
                                       int cbBytes, LPCCH defaultChar, LPBOOL usedDefaultChar);
WINSTANDIN_API BOOL IsDBCSLeadByteEx(UINT codePage, BYTE testChar);

// Serves the string table that the calling module compiled in (see
// platform/string_resources.h); `instance` must be that module's handle as
// the host gave it, which any non-null value stands for here.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int capacity);
}
