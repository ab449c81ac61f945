#include "style/clipboard_session.h"

#include <algorithm>
#include <new>

namespace clipboard {

namespace {

thread_local Session* gActive = nullptr;
HWND gOwnWindow = nullptr;

}  // namespace

HWND ownerWindow() {
    HWND active = GetActiveWindow();
    if (active != nullptr) return active;
    // A predefined class needs no registration, and so nothing to undo when
    // the module unloads; a message-only window is never shown.
    if (gOwnWindow == nullptr)
        gOwnWindow = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    return gOwnWindow;
}

void destroyOwnerWindow() {
    if (gOwnWindow == nullptr) return;
    DestroyWindow(gOwnWindow);
    gOwnWindow = nullptr;
}

Session::Session() {
    if (gActive == nullptr) gActive = this;
}

Session::~Session() {
    freeStaged();
    close();
    if (gActive == this) gActive = nullptr;
}

Session* Session::active() { return gActive; }

bool Session::open(Purpose purpose) {
    if (open_) return true;
    HWND owner = purpose == Purpose::writing ? ownerWindow() : GetActiveWindow();
    if (purpose == Purpose::writing && owner == nullptr) return false;
    for (DWORD pause = kFirstPauseMs;; pause = std::min<DWORD>(pause * 2, kLongestPauseMs)) {
        if (OpenClipboard(owner)) {
            open_ = true;
            return true;
        }
        if (waited_ >= kWaitBudgetMs) return false;
        const DWORD asked = std::min<DWORD>(pause, kWaitBudgetMs - waited_);
        const DWORD before = GetTickCount();
        Sleep(asked);
        // Windows sleeps in whole ticks of its timer, often longer than
        // asked: the time that really passed counts.
        const DWORD passed = GetTickCount() - before;
        waited_ += std::max(asked, std::min<DWORD>(passed, kWaitBudgetMs));
    }
}

void Session::close() {
    if (!open_) return;
    CloseClipboard();
    open_ = false;
}

bool Session::stage(UINT format, HGLOBAL block) {
    try {
        staged_.emplace_back(format, block);
    } catch (const std::bad_alloc&) {
        GlobalFree(block);
        return false;
    }
    return true;
}

bool Session::commit(DWORD readSequence) {
    staging_ = false;
    bool all = false;
    // Nothing staged is nothing to write: the clipboard is not emptied for it.
    if (!staged_.empty() && open(Purpose::writing)) {
        // Not emptied: every format of the copy that is not staged here
        // stays as the copying program put it (images, its own Unicode
        // text, private formats, the marks that keep a copy out of
        // clipboard history), and that program stays the owner that renders
        // what it promised. A staged format replaces the one held.
        if (GetClipboardSequenceNumber() == readSequence) {
            all = true;
            for (auto& entry : staged_) {
                if (SetClipboardData(entry.first, entry.second) == nullptr) {
                    GlobalFree(entry.second);
                    all = false;
                }
                entry.second = nullptr;
            }
        }
        close();
    }
    freeStaged();
    return all;
}

void Session::freeStaged() {
    for (auto& entry : staged_)
        if (entry.second != nullptr) GlobalFree(entry.second);
    staged_.clear();
}

OpenedClipboard::OpenedClipboard(Purpose purpose) : session_(Session::active()) {
    if (session_ == nullptr) {
        own_.emplace();
        session_ = &*own_;
    }
    if (session_->isOpen()) {
        open_ = true;
        return;
    }
    open_ = session_->open(purpose);
    openedHere_ = open_;
}

OpenedClipboard::~OpenedClipboard() {
    if (openedHere_) session_->close();
}

}  // namespace clipboard
