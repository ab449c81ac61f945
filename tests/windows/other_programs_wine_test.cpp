// StyledClipboard against Wine's clipboard while another program uses it:
// holds it, renders on request, or copies between the call's read and its
// write. The other program is clipboard_other_program.exe, built beside the
// tests; a copy of only CF_UNICODETEXT shows Wine making CF_TEXT.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "host/plugin_driver.h"
#include "support/sample_blocks.h"
#include "windows/other_program.h"

namespace {

using namespace otherprogram;

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
    EXPECT_EQ(upToNul(held(rtf)), samples::kStyledRtf) << "the rendered RTF stays as it was rendered";
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

TEST_F(OtherProgramsTest, WithNoWindowActiveTheFormatsAreWrittenAndTheOwnerStays) {
    ASSERT_EQ(GetActiveWindow(), nullptr) << "the tests have no window of their own";
    ASSERT_TRUE(samples::putAbcFileMaker());
    const HWND ownerBefore = GetClipboardOwner();
    EXPECT_EQ(styledClipboard(), 0);
    EXPECT_TRUE(has("Rich Text Format"));
    EXPECT_EQ(GetClipboardOwner(), ownerBefore) << "the clipboard was not emptied, so its owner is the copy's";
    plugin.shutdown();
    EXPECT_EQ(upToNul(held(rtf)), samples::kAbcRtf) << "the clipboard keeps what it holds";
    ASSERT_EQ(plugin.initialise(50), 50);
}

}  // namespace
