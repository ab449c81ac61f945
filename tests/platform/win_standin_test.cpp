// The stand-in must behave as Windows does wherever the plug-in relies on it.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/clipboard_control.h"

namespace {

class WinStandinTest : public ::testing::Test {
  protected:
    void SetUp() override { standin::reset(); }
    void TearDown() override { standin::reset(); }

    static HGLOBAL block(const char* bytes) {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, std::strlen(bytes));
        std::memcpy(GlobalLock(h), bytes, std::strlen(bytes));
        GlobalUnlock(h);
        return h;
    }
};

TEST_F(WinStandinTest, RegisteredFormatsAreStableAndStartAtC000) {
    UINT a = RegisterClipboardFormatA("StandinTest-A");
    UINT b = RegisterClipboardFormatA("StandinTest-B");
    EXPECT_GE(a, 0xC000u);
    EXPECT_NE(a, b);
    EXPECT_EQ(RegisterClipboardFormatA("StandinTest-A"), a);
    EXPECT_EQ(standin::formatName(a), "StandinTest-A");
    EXPECT_EQ(RegisterClipboardFormatA(""), 0u);
}

TEST_F(WinStandinTest, OneOwnerAtATime) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr));
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(CloseClipboard());
}

TEST_F(WinStandinTest, DataCallsNeedTheClipboardOpen) {
    HGLOBAL h = block("abc");
    EXPECT_EQ(SetClipboardData(CF_TEXT, h), nullptr);
    EXPECT_FALSE(EmptyClipboard());
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(SetClipboardData(CF_TEXT, h), h);
    CloseClipboard();
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(GetClipboardData(CF_TEXT), h);
    CloseClipboard();
}

TEST_F(WinStandinTest, SettingAFormatAgainFreesTheOldBlock) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    SetClipboardData(CF_TEXT, block("one"));
    SetClipboardData(CF_TEXT, block("two"));
    CloseClipboard();
    EXPECT_EQ(standin::liveBlocks(), 1);
    auto held = standin::data(CF_TEXT);
    EXPECT_EQ(std::string(held.begin(), held.end()), "two");
}

TEST_F(WinStandinTest, EmptyFreesEveryHeldBlock) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    SetClipboardData(CF_TEXT, block("one"));
    SetClipboardData(RegisterClipboardFormatA("StandinTest-A"), block("two"));
    EXPECT_EQ(standin::formats().size(), 2u);
    EmptyClipboard();
    CloseClipboard();
    EXPECT_TRUE(standin::formats().empty());
    EXPECT_EQ(standin::liveBlocks(), 0);
}

TEST_F(WinStandinTest, BlocksCarrySizeAndLockCountAndFreeOnce) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 7);
    EXPECT_EQ(GlobalSize(h), 7u);
    EXPECT_NE(GlobalLock(h), nullptr);
    EXPECT_NE(GlobalLock(h), nullptr);
    EXPECT_TRUE(GlobalUnlock(h));   // still locked once
    EXPECT_FALSE(GlobalUnlock(h));  // now unlocked
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(standin::orphanBlocks(), 1);
    EXPECT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(GlobalFree(h), h) << "a second free fails";
    EXPECT_EQ(GlobalSize(h), 0u);
    EXPECT_EQ(GlobalLock(h), nullptr);
}

TEST_F(WinStandinTest, ClipboardOwnedBlocksAreNotOrphans) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL h = block("abc");
    SetClipboardData(CF_TEXT, h);
    CloseClipboard();
    EXPECT_EQ(standin::orphanBlocks(), 0);
    EXPECT_EQ(GlobalFree(h), h) << "the clipboard owns it now";
}

TEST_F(WinStandinTest, InjectedFailuresHitTheChosenCall) {
    standin::failNext(standin::Op::GlobalAlloc, 1);
    HGLOBAL first = GlobalAlloc(GMEM_MOVEABLE, 1);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(GlobalAlloc(GMEM_MOVEABLE, 1), nullptr);
    HGLOBAL third = GlobalAlloc(GMEM_MOVEABLE, 1);
    EXPECT_NE(third, nullptr);
    GlobalFree(first);
    GlobalFree(third);

    standin::failNext(standin::Op::OpenClipboard);
    EXPECT_FALSE(OpenClipboard(nullptr));
    EXPECT_TRUE(OpenClipboard(nullptr));
    CloseClipboard();
}

TEST_F(WinStandinTest, KthOperationFailsWhateverItsKind) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 1);
    standin::failOperation(2);
    EXPECT_NE(GlobalLock(h), nullptr);  // operation 1
    EXPECT_FALSE(standin::injectedFailureHappened());
    EXPECT_FALSE(OpenClipboard(nullptr));  // operation 2
    EXPECT_TRUE(standin::injectedFailureHappened());
    EXPECT_EQ(standin::operationCount(), 2);
    GlobalUnlock(h);
    GlobalFree(h);
}

}  // namespace
