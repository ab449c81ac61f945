// The stand-in must behave as Windows does wherever the plug-in relies on it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

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

HWND someWindow() { return reinterpret_cast<HWND>(std::uintptr_t{0x7000}); }

std::string locked(HANDLE h) {
    const char* p = static_cast<const char*>(GlobalLock(h));
    std::string bytes(p, GlobalSize(h));
    GlobalUnlock(h);
    return bytes;
}

TEST_F(WinStandinTest, AnotherProgramHoldsTheClipboardForSimulatedTime) {
    const DWORD start = GetTickCount();
    standin::holdClipboard(50);
    EXPECT_FALSE(OpenClipboard(nullptr));
    Sleep(49);
    EXPECT_FALSE(OpenClipboard(nullptr));
    Sleep(1);
    ASSERT_TRUE(OpenClipboard(nullptr));
    CloseClipboard();
    EXPECT_EQ(GetTickCount() - start, 50u);
    EXPECT_EQ(standin::sleptMilliseconds(), 50u);

    standin::holdClipboard(1000);
    standin::holdClipboard(0);
    EXPECT_TRUE(OpenClipboard(nullptr)) << "a hold of 0 lets go at once";
    CloseClipboard();
}

TEST_F(WinStandinTest, SimulatedClockWrapsAsWindowsCountDoes) {
    const DWORD start = GetTickCount();
    Sleep(600);
    Sleep(600);
    EXPECT_LT(GetTickCount(), start) << "the count starts close to where it wraps";
    EXPECT_EQ(GetTickCount() - start, 1200u);
}

TEST_F(WinStandinTest, SequenceNumberMovesWithEveryChangeAndNothingElse) {
    const struct {
        const char* step;
        bool changes;
        void (*act)();
    } steps[] = {
        {"open", false, [] { OpenClipboard(someWindow()); }},
        {"empty", true, [] { EmptyClipboard(); }},
        {"set", true, [] { SetClipboardData(CF_TEXT, block("a")); }},
        {"set the same format again", true, [] { SetClipboardData(CF_TEXT, block("b")); }},
        {"read", false, [] { GetClipboardData(CF_TEXT); }},
        {"ask", false, [] { IsClipboardFormatAvailable(CF_TEXT); }},
        {"close", false, [] { CloseClipboard(); }},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        const DWORD before = GetClipboardSequenceNumber();
        step.act();
        EXPECT_EQ(GetClipboardSequenceNumber() != before, step.changes);
    }
}

TEST_F(WinStandinTest, EmptyingWithoutAnOwnerMakesEverySetFailUntilClosed) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    HGLOBAL h = block("abc");
    EXPECT_EQ(SetClipboardData(CF_TEXT, h), nullptr);
    CloseClipboard();
    EXPECT_EQ(standin::orphanBlocks(), 1) << "a refused block stays the caller's";

    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(SetClipboardData(CF_TEXT, h), h) << "setting without emptying needs no owner";
    CloseClipboard();

    ASSERT_TRUE(OpenClipboard(someWindow()));
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_EQ(standin::clipboardOwner(), someWindow());
    EXPECT_NE(SetClipboardData(CF_TEXT, block("def")), nullptr);
    CloseClipboard();
}

TEST_F(WinStandinTest, WindowsAreMadeAndDestroyedOnce) {
    HWND a = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    HWND b = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(a, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(standin::liveWindows(), 2);
    ASSERT_TRUE(OpenClipboard(a));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_TRUE(DestroyWindow(a));
    EXPECT_FALSE(DestroyWindow(a));
    EXPECT_EQ(standin::clipboardOwner(), nullptr) << "the owner went; the clipboard keeps its contents";
    EXPECT_TRUE(DestroyWindow(b));
    EXPECT_EQ(standin::liveWindows(), 0);
    standin::failNext(standin::Op::CreateWindow);
    EXPECT_EQ(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr), nullptr);

    EXPECT_EQ(GetActiveWindow(), nullptr);
    standin::setActiveWindow(true);
    EXPECT_NE(GetActiveWindow(), nullptr);
    standin::setActiveWindow(false);
}

TEST_F(WinStandinTest, DelayedFormatIsRenderedByItsOwnerWhenAskedFor) {
    const UINT rtf = RegisterClipboardFormatA("StandinTest-Delayed");
    ASSERT_TRUE(OpenClipboard(someWindow()));
    EmptyClipboard();
    EXPECT_EQ(SetClipboardData(rtf, nullptr), nullptr);
    CloseClipboard();
    EXPECT_TRUE(IsClipboardFormatAvailable(rtf));
    EXPECT_TRUE(standin::data(rtf).empty()) << "promised, not yet rendered";

    // The owner renders without opening the clipboard: the reader holds it.
    std::vector<UINT> asked;
    standin::setRenderer([&asked](UINT format) {
        asked.push_back(format);
        EXPECT_TRUE(standin::isOpen());
        EXPECT_NE(SetClipboardData(format, block("{\\rtf1 x}")), nullptr);
    });
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE h = GetClipboardData(rtf);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(locked(h), "{\\rtf1 x}");
    EXPECT_EQ(GetClipboardData(rtf), h) << "rendered once";
    CloseClipboard();
    EXPECT_EQ(asked, std::vector<UINT>{rtf});
    EXPECT_EQ(standin::renderRequests(), 1);
    EXPECT_EQ(standin::orphanBlocks(), 0);
    HGLOBAL late = block("x");
    EXPECT_EQ(SetClipboardData(rtf, late), nullptr) << "outside rendering, setting needs the clipboard open";
    GlobalFree(late);
}

std::vector<unsigned char> utf16(const std::u16string& text) {
    std::vector<unsigned char> bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<unsigned char>(c & 0xFF));
        bytes.push_back(static_cast<unsigned char>(c >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

HGLOBAL wideBlock(const std::vector<unsigned char>& bytes) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
    return h;
}

TEST_F(WinStandinTest, UnicodeTextAloneGivesTextInTheAnsiCodePage) {
    const struct {
        UINT codePage;
        std::u16string unicode;
        std::string text;  // with its NUL
        bool delayed;
    } cases[] = {
        {1252, u"caf\u00e9 \u20ac", std::string("caf\xe9 \x80", 6) + '\0', false},
        {1251, u"\u0416\u0443\u043a", std::string("\xc6\xf3\xea", 3) + '\0', false},
        {1252, u"ab\u0000cd", std::string("ab", 2) + '\0', false},
        {1252, u"rendered", std::string("rendered") + '\0', true},
        {1252, u"", std::string(1, '\0'), false},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.codePage);
        standin::reset();
        standin::setAnsiCodePage(tc.codePage);
        const std::vector<unsigned char> wide = utf16(tc.unicode);
        standin::setRenderer([&wide](UINT format) { SetClipboardData(format, wideBlock(wide)); });
        ASSERT_TRUE(OpenClipboard(someWindow()));
        EmptyClipboard();
        SetClipboardData(CF_UNICODETEXT, tc.delayed ? nullptr : wideBlock(wide));
        CloseClipboard();
        EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
        ASSERT_TRUE(OpenClipboard(nullptr));
        HANDLE h = GetClipboardData(CF_TEXT);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(locked(h), tc.text);
        EXPECT_EQ(GetClipboardData(CF_TEXT), h);
        CloseClipboard();
        EXPECT_EQ(standin::renderRequests(), tc.delayed ? 1 : 0);
        EXPECT_EQ(standin::orphanBlocks(), 0);
    }
    standin::setAnsiCodePage(1252);
    standin::reset();
    EXPECT_EQ(standin::liveBlocks(), 0) << "the text made from CF_UNICODETEXT goes with the clipboard's contents";
}

TEST_F(WinStandinTest, HookBeforeOpeningStandsForAnotherProgram) {
    std::vector<int> calls;
    standin::beforeOpenClipboard([&calls](int call) {
        calls.push_back(call);
        // Its own use of the clipboard does not call it again.
        if (OpenClipboard(nullptr)) CloseClipboard();
    });
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        CloseClipboard();
    }
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 3}));
}

}  // namespace
