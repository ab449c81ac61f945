// StyledClipboard against Wine's clipboard while another program uses it:
// holds it, renders on request, or copies between the call's read and its
// write. The other program is clipboard_other_program.exe, built beside the
// tests; a copy of only CF_UNICODETEXT shows Wine making CF_TEXT.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "host/plugin_driver.h"
#include "support/sample_blocks.h"

namespace {

std::string held(UINT format) {
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

std::string upToNul(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')); }

bool has(const char* name) { return IsClipboardFormatAvailable(RegisterClipboardFormatA(name)) != FALSE; }

// Waits for `object` while handling this thread's messages, as a host does:
// the clipboard sends messages to the window the plug-in owns it with.
bool waitHandlingMessages(HANDLE object, DWORD milliseconds) {
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

TEST_F(OtherProgramsTest, ClipboardHeldForAWhileIsWaitedFor) {
    for (const DWORD milliseconds : {50u, 500u}) {
        SCOPED_TRACE(milliseconds);
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        CloseClipboard();
        ASSERT_TRUE(samples::putAbcFileMaker());
        start("hold " + std::to_string(milliseconds));
        const DWORD before = GetTickCount();
        EXPECT_EQ(styledClipboard(), 0);
        EXPECT_GE(GetTickCount() - before, milliseconds / 2) << "it could not have opened the clipboard sooner";
        EXPECT_EQ(upToNul(held(rtf)), samples::kAbcRtf) << "converted once the other program let go";
        EXPECT_EQ(upToNul(held(CF_TEXT)), "abc");
        finish();
    }
}

TEST_F(OtherProgramsTest, ClipboardHeldPastTheWaitIsLeftAsItWas) {
    ASSERT_TRUE(samples::putAbcFileMaker());
    const std::string fmcsBefore = held(fmcs);
    start("hold 3000");
    const DWORD before = GetTickCount();
    EXPECT_EQ(styledClipboard(), 0);
    const DWORD took = GetTickCount() - before;
    EXPECT_GE(took, 800u) << "it waited";
    EXPECT_LT(took, 2500u) << "it gave up after about a second";
    ASSERT_TRUE(waitHandlingMessages(process_.hProcess, 20000));
    EXPECT_FALSE(has("Rich Text Format"));
    EXPECT_EQ(held(fmcs), fmcsBefore);
    EXPECT_EQ(upToNul(held(CF_TEXT)), "abc");
}

TEST_F(OtherProgramsTest, FormatsRenderedOnRequestAreConverted) {
    start("delayed");
    EXPECT_TRUE(has("Rich Text Format"));
    EXPECT_EQ(styledClipboard(), 0);
    EXPECT_EQ(WaitForSingleObject(rendered_, 0), WAIT_OBJECT_0) << "the call asked the owner for the RTF";
    EXPECT_TRUE(has("Mac-FMcs"));
    EXPECT_EQ(upToNul(held(CF_TEXT)), "abc\rd") << "the text of the rendered RTF";
    EXPECT_NE(held(rtf).find("{\\cf1\\fs20\\b b}"), std::string::npos);
}

TEST_F(OtherProgramsTest, CopyBetweenTheReadAndTheWriteSurvivesWhole) {
    start("delayed-then-copy");
    EXPECT_EQ(styledClipboard(), 0);
    ASSERT_TRUE(waitHandlingMessages(copied_, 20000)) << "the other program did not copy";
    EXPECT_EQ(upToNul(held(CF_TEXT)), "newer");
    EXPECT_FALSE(has("Mac-FMcs")) << "the call wrote over the newer copy";
    EXPECT_FALSE(has("Rich Text Format"));
}

TEST_F(OtherProgramsTest, UnicodeTextBesideTheFileMakerBlockIsReadAsWindowsConvertsIt) {
    const wchar_t unicode[] = L"ab\u00e9";
    ASSERT_TRUE(samples::put(CF_UNICODETEXT, unicode, sizeof unicode));
    const auto& block = samples::abcFileMakerBlock();
    ASSERT_TRUE(samples::put(fmcs, block.data(), block.size()));
    ASSERT_FALSE(IsClipboardFormatAvailable(CF_TEXT) && held(CF_TEXT).empty());
    char ansi[16] = {};
    ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, unicode, -1, ansi, sizeof ansi, nullptr, nullptr), 0);

    EXPECT_EQ(styledClipboard(), 0);
    EXPECT_EQ(upToNul(held(CF_TEXT)), std::string(ansi));
    const std::string written = held(rtf);
    EXPECT_NE(written.find("{\\cf0\\fs24\\b ab}"), std::string::npos) << written;
    EXPECT_EQ(held(fmcs).substr(0, block.size()), std::string(block.begin(), block.end()));
}

TEST_F(OtherProgramsTest, WithNoWindowActiveTheClipboardIsWrittenWithAWindowOfThePlugins) {
    ASSERT_EQ(GetActiveWindow(), nullptr) << "the tests have no window of their own";
    ASSERT_TRUE(samples::putAbcFileMaker());
    EXPECT_EQ(styledClipboard(), 0);
    EXPECT_TRUE(has("Rich Text Format"));
    HWND owner = GetClipboardOwner();
    ASSERT_NE(owner, nullptr) << "emptied without an owner, Windows takes no format";
    EXPECT_TRUE(IsWindow(owner));
    EXPECT_EQ(GetParent(owner), nullptr);
    plugin.shutdown();
    EXPECT_FALSE(IsWindow(owner)) << "the window goes when the plug-in shuts down";
    EXPECT_EQ(upToNul(held(rtf)), samples::kAbcRtf) << "the clipboard keeps what it holds";
    ASSERT_EQ(plugin.initialise(50), 50);
}

}  // namespace
