// Using the clipboard while other programs use it too.
//
// Right after a copy, clipboard history, clipboard managers and remote-desktop
// clients open the clipboard to read it, and the program that copied may still
// be rendering. A Session is one caller's use of the clipboard: it opens it
// with a short, doubling wait while another program holds it (about a second
// in all per session), and while a session is active on a thread every
// clipboard primitive of style/ works through it: one that finds the session
// open uses it as it is instead of opening again, and one that finds it closed
// opens it through the session, so that its wait counts against the same
// second. Without an active session a primitive makes a session of its own.
//
// A session can also keep the blocks written to the clipboard (stageWrites)
// and hand them over in one commit: opened once, checked against the sequence
// number of what was read, every block set in place of the format's block,
// closed. Between the check and the last block no other program can open the
// clipboard, so a commit never overwrites a copy made after the read and never
// mixes two copies; and since the clipboard is never emptied, everything else
// the copy holds stays as it is.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "platform/winapi.h"

namespace clipboard {

// How long opening the clipboard waits for other programs, in all, per
// session; and the first and the longest single pause between two tries.
constexpr DWORD kWaitBudgetMs = 1000;
constexpr DWORD kFirstPauseMs = 2;
constexpr DWORD kLongestPauseMs = 128;

// Why the clipboard is opened. Writing needs an owner window: after
// EmptyClipboard on a clipboard opened without one, Windows refuses every
// SetClipboardData.
enum class Purpose { reading, writing };

// The window to open the clipboard with for writing: the host's active window
// or, when none is active (a script run from a schedule), a message-only
// window of our own, made on the first need. Null when neither can be had.
HWND ownerWindow();

// Destroys the window ownerWindow made, if any; the next need makes another.
// Called when the plug-in shuts down and when the tool ends.
void destroyOwnerWindow();

class Session {
  public:
    // Becomes the thread's active session until it goes; a session made while
    // another is active leaves that one active.
    Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    // Frees every block still staged and closes the clipboard if it is open.
    ~Session();

    // The thread's active session, or null.
    static Session* active();

    // Opens the clipboard, waiting for other programs within what is left of
    // the session's budget; true when it is open, also when it already was.
    bool open(Purpose purpose);
    // Closes the clipboard if this session has it open.
    void close();
    bool isOpen() const { return open_; }
    // Milliseconds waited for other programs so far.
    DWORD waited() const { return waited_; }

    // From now on, blocks written to the clipboard are kept here until commit.
    void stageWrites() { staging_ = true; }
    bool isStaging() const { return staging_; }
    // Keeps `block`, filled and unlocked, for `format`; false, with the block
    // freed, when it cannot be kept.
    bool stage(UINT format, HGLOBAL block);

    // Opens the clipboard for writing and, unless its sequence number is no
    // longer `readSequence` (another program copied since it was read),
    // hands it every staged block, in the order staged, each replacing what
    // the clipboard held of its format and leaving every other format as it
    // was; then closes it. Blocks not handed over are freed. True when every
    // block was handed over; false when the clipboard was left as it was
    // (also when nothing was staged), or, should Windows refuse a block
    // after the first, holds only those set before it.
    bool commit(DWORD readSequence);

  private:
    void freeStaged();

    bool open_ = false;
    bool staging_ = false;
    DWORD waited_ = 0;
    std::vector<std::pair<UINT, HGLOBAL>> staged_;
};

// The clipboard open for one primitive's scope, through the active session
// (or a session of its own when there is none). Closes on every way out only
// what it opened itself; `isOpen` says whether the clipboard is open.
class OpenedClipboard {
  public:
    explicit OpenedClipboard(Purpose purpose = Purpose::reading);
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    ~OpenedClipboard();
    bool isOpen() const { return open_; }

  private:
    std::optional<Session> own_;
    Session* session_;
    bool open_ = false;
    bool openedHere_ = false;
};

}  // namespace clipboard
