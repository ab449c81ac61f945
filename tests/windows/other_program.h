// Another program using the clipboard beside the tests: the fixture that
// starts clipboard_other_program.exe, waits for it while handling messages
// as a host does, and ends it; and small reads of the clipboard.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "host/plugin_driver.h"

namespace otherprogram {

inline std::string held(UINT format) {
    std::string bytes;
    if (!OpenClipboard(nullptr)) return bytes;
    HANDLE h = GetClipboardData(format);
    const char* p = h != nullptr ? static_cast<const char*>(GlobalLock(h)) : nullptr;
    if (p != nullptr) {
        bytes.assign(p, GlobalSize(h));
        GlobalUnlock(h);
    }
    CloseClipboard();
    return bytes;
}

inline std::string upToNul(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')); }

inline bool has(const char* name) { return IsClipboardFormatAvailable(RegisterClipboardFormatA(name)) != FALSE; }

// Waits for `object` while handling this thread's messages, as a host does:
// the clipboard sends messages to the window the plug-in owns it with.
inline bool waitHandlingMessages(HANDLE object, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD passed = GetTickCount() - start;
        if (passed >= milliseconds) return false;
        const DWORD woke = MsgWaitForMultipleObjects(1, &object, FALSE, milliseconds - passed, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) return true;
        if (woke == WAIT_TIMEOUT || woke == WAIT_FAILED) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
}

class OtherProgramsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ready_ = CreateEventA(nullptr, TRUE, FALSE, "StyledTextTest.Ready");
        rendered_ = CreateEventA(nullptr, TRUE, FALSE, "StyledTextTest.Rendered");
        copied_ = CreateEventA(nullptr, TRUE, FALSE, "StyledTextTest.Copied");
        quit_ = CreateEventA(nullptr, TRUE, FALSE, "StyledTextTest.Quit");
        for (HANDLE e : {ready_, rendered_, copied_, quit_}) {
            ASSERT_NE(e, nullptr);
            ResetEvent(e);
        }
        ASSERT_TRUE(plugin.load(STYLEDTEXT_PLUGIN)) << plugin.error();
        ASSERT_EQ(plugin.initialise(50), 50);
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        CloseClipboard();
    }
    void TearDown() override {
        finish();
        plugin.shutdown();
        for (HANDLE e : {ready_, rendered_, copied_, quit_}) CloseHandle(e);
    }

    // Tells the other program to end and waits until it has.
    void finish() {
        SetEvent(quit_);
        if (process_.hProcess == nullptr) return;
        EXPECT_TRUE(waitHandlingMessages(process_.hProcess, 20000)) << "the other program did not end";
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        process_ = {};
    }

    // Starts the other program and waits until it has done its first step.
    void start(const std::string& arguments) {
        for (HANDLE e : {ready_, rendered_, copied_, quit_}) ResetEvent(e);
        char path[MAX_PATH];
        const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
        ASSERT_GT(n, 0u);
        std::string program(path, n);
        program = program.substr(0, program.find_last_of("\\/") + 1) + "clipboard_other_program.exe";
        std::string commandLine = "\"" + program + "\" " + arguments;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process_))
            << program;
        ASSERT_TRUE(waitHandlingMessages(ready_, 30000)) << "the other program did not get ready";
    }

    fmx::errcode styledClipboard() {
        fmhost::CallResult r = plugin.call(u"StyledClipboard");
        EXPECT_TRUE(r.found);
        return r.error;
    }

    fmhost::PluginDriver plugin;
    PROCESS_INFORMATION process_ = {};
    HANDLE ready_ = nullptr;
    HANDLE rendered_ = nullptr;
    HANDLE copied_ = nullptr;
    HANDLE quit_ = nullptr;
    const UINT fmcs = RegisterClipboardFormatA("Mac-FMcs");
    const UINT rtf = RegisterClipboardFormatA("Rich Text Format");
};

}  // namespace otherprogram
