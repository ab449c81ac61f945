// Wine's clipboard behaves as the plug-in expects of Windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

TEST(WineClipboardTest, RegisteredFormatRoundTripsWithoutAnOwnerWindow) {
    const UINT format = RegisterClipboardFormatA("Mac-FMcs");
    ASSERT_GE(format, 0xC000u);
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 5);
    std::memcpy(GlobalLock(h), "wxyz", 5);
    GlobalUnlock(h);
    ASSERT_NE(SetClipboardData(format, h), nullptr);
    CloseClipboard();

    EXPECT_TRUE(IsClipboardFormatAvailable(format));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE held = GetClipboardData(format);
    ASSERT_NE(held, nullptr);
    EXPECT_GE(GlobalSize(held), 5u);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(held)), "wxyz");
    GlobalUnlock(held);
    EmptyClipboard();
    CloseClipboard();
}
