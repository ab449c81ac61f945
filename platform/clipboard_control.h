// Test-only control of the stand-in clipboard and memory: reset, inspect,
// count operations and make chosen calls fail.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/win_standin.h"

namespace standin {

// The operations that can be made to fail; each call of one counts as one
// fallible operation.
enum class Op { OpenClipboard, GlobalAlloc, GlobalLock, EmptyClipboard, SetClipboardData, CreateWindow };

// Empties the clipboard (freeing what it holds), closes it, and clears every
// counter, pending failure, hold, hook and renderer. Blocks held elsewhere and
// windows stay live; the simulated clock keeps running.
WINSTANDIN_API void reset();

// The formats the clipboard holds, in the order they were set.
WINSTANDIN_API std::vector<UINT> formats();

// The registered name of a format, or "" for a standard or unknown one.
WINSTANDIN_API std::string formatName(UINT format);

// A copy of the bytes held for `format`; empty when it is absent.
WINSTANDIN_API std::vector<unsigned char> data(UINT format);

// Whether some caller has the clipboard open.
WINSTANDIN_API bool isOpen();

// Memory blocks allocated and not yet freed, including those the clipboard owns.
WINSTANDIN_API long liveBlocks();

// Live blocks the clipboard does not own: after a call, anything here leaked.
WINSTANDIN_API long orphanBlocks();

// Makes the next `count` calls of `op` fail, starting after `skip` successes.
WINSTANDIN_API void failNext(Op op, int skip = 0, int count = 1);

// Counts every fallible operation from now on, of any kind.
WINSTANDIN_API long operationCount();

// Makes the k-th fallible operation from now on (1-based, any kind) fail.
WINSTANDIN_API void failOperation(long k);

// Whether an injected failure hit since the last failOperation or reset.
WINSTANDIN_API bool injectedFailureHappened();

// Successful EmptyClipboard calls since the last failOperation or reset.
WINSTANDIN_API long timesEmptied();

// Sets the code page GetACP answers (1252 until set); reset() keeps it.
WINSTANDIN_API void setAnsiCodePage(UINT codePage);

// Another program opens the clipboard now and keeps it for `milliseconds` of
// simulated time: OpenClipboard fails until Sleep has let that much pass.
// holdClipboard(0) lets go at once.
WINSTANDIN_API void holdClipboard(DWORD milliseconds);

// The kind of the last failure injected (meaningful once one happened).
WINSTANDIN_API Op lastInjectedOp();

// Milliseconds passed to Sleep since the last reset.
WINSTANDIN_API DWORD sleptMilliseconds();

// Calls `hook` just before every later OpenClipboard, with the number of that
// call (1-based, counted from here). The hook stands for another program: it
// may use the clipboard itself, and its own calls do not call it again.
WINSTANDIN_API void beforeOpenClipboard(std::function<void(int call)> hook);

// The owner of formats put with no data: called with the format when a
// GetClipboardData needs it; it renders by calling SetClipboardData.
WINSTANDIN_API void setRenderer(std::function<void(UINT format)> renderer);

// Times the renderer was called since the last reset.
WINSTANDIN_API long renderRequests();

// Whether GetActiveWindow answers a window of the host (none until set);
// reset() keeps it.
WINSTANDIN_API void setActiveWindow(bool present);

// Windows made and not yet destroyed.
WINSTANDIN_API long liveWindows();

// The window that made the clipboard's owner by emptying it (null for none).
WINSTANDIN_API HWND clipboardOwner();

}  // namespace standin
