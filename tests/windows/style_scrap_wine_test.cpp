// The style scrap read from and written to Wine's clipboard.
#include <gtest/gtest.h>

#include <memory>

#include "style/CharStyle_styl.h"
#include "support/sample_blocks.h"

TEST(StyleScrapWineTest, ReadsAndWritesThroughTheRealClipboard) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    ASSERT_TRUE(samples::putStyleScrap());

    std::unique_ptr<CharStyle_styl> read(CharStyle_styl::InitFromClipboard());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->getText(), "ab\r\ncd");
    ASSERT_EQ(read->count(), 2);
    ASSERT_TRUE(read->selectStyle(1));
    EXPECT_EQ(read->charPos(1), 4);
    EXPECT_EQ(read->getSize(), 18);
    EXPECT_TRUE(read->isItalic());
    EXPECT_EQ(read->getRGB(), 0x0000FFu);

    // Written back, the block is the one we put there (both components of
    // each colour word equal, reserved byte 0).
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    ASSERT_TRUE(read->addStyleToClipboard());
    const UINT format = RegisterClipboardFormatA("Mac-styl");
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE h = GetClipboardData(format);
    ASSERT_NE(h, nullptr);
    const auto expected = samples::styleScrapBlock();
    ASSERT_GE(GlobalSize(h), expected.size());
    const unsigned char* p = static_cast<const unsigned char*>(GlobalLock(h));
    EXPECT_EQ(std::vector<unsigned char>(p, p + expected.size()), expected);
    GlobalUnlock(h);
    EmptyClipboard();
    CloseClipboard();
}
