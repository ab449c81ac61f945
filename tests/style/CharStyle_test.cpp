#include "style/CharStyle.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/clipboard_fixture.h"
#include "support/recording_style.h"

namespace {

using Bytes = std::vector<unsigned char>;

TEST(TextWithLine, ReplacesEveryLineEndWithTheEnding) {
    const struct {
        std::string in;
        const char* ending;
        std::string out;
    } cases[] = {
        {"a\r\nb", "\r", "a\rb"},
        {"a\nb", "\r", "a\rb"},
        {"a\n\rb", "\r", "a\r\rb"},  // LF then CR is two line ends
        {"a\r\r\nb", "\r", "a\r\rb"},
        {"", "\r", ""},
        {"abc", "\r", "abc"},
        {"\r\n\r\n", "\r", "\r\r"},
        {"a\r\nb\rc\nd", "\\par ", "a\\par b\\par c\\par d"},
        {"a\r\nb\rc\nd\r", "", "abcd"},
        {"\n\r\r\n", "\n", "\n\n\n"},
        // Each kind of line end is found again after the other kind.
        {"a\rb\rc\nd\ne\r\nf\r", "\r", "a\rb\rc\rd\re\rf\r"},
        {"\na\r\n", "", "a"},
        {"only\rcarriage\rreturns", "\n", "only\ncarriage\nreturns"},
        // Endings that hold a line end after their first byte are not found again.
        {"a\nb", "\r\n", "a\r\nb"},
        {"a\rb\r", "x\r", "ax\rbx\r"},
        {"a\n\nb", "<\n>", "a<\n><\n>b"},
        {"a\rb", "\r\n", "a\r\nb"},  // an inserted LF is not a line end either
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(testing::PrintToString(tc.in) + " with " + testing::PrintToString(std::string(tc.ending)));
        EXPECT_EQ(CharStyle::TextWithLine(tc.in, tc.ending), tc.out);
    }
}

TEST(Copy, SourceWithoutRunsGivesConvertedTextOnly) {
    RecordingStyle from("a\r\nb", {});
    RecordingStyle to("old", {{0, 1, 1, 1, 1}});
    CharStyle::copy(&to, &from);
    EXPECT_EQ(to.text, "a\rb");
    EXPECT_EQ(to.setTextCalls, 1);
    EXPECT_TRUE(to.runs.empty());
}

TEST(Copy, RunsPassInOrderWithPositionsAndFaceWordWholeAndFontZero) {
    RecordingStyle from("a\r\nbcdef",
                        {{0, 12, 0x0800, 0x123456, 3}, {5, -4, static_cast<std::int16_t>(0x8001), 0xFF, 9}});
    RecordingStyle to("", {});
    CharStyle::copy(&to, &from);
    EXPECT_EQ(to.text, "a\rbcdef");
    ASSERT_EQ(to.runs.size(), 2u);
    EXPECT_EQ(to.runs[0].pos, 0);
    EXPECT_EQ(to.runs[0].face, 0x0800);
    EXPECT_EQ(to.runs[0].colour, 0x123456u);
    EXPECT_EQ(to.runs[0].size, 12);
    EXPECT_EQ(to.runs[0].font, 0);
    EXPECT_EQ(to.runs[1].pos, 5);  // not shifted by the lost LF
    EXPECT_EQ(to.runs[1].size, -4);
    EXPECT_EQ(to.runs[1].face, static_cast<std::int16_t>(0x8001));
    EXPECT_EQ(to.runs[1].font, 0);
}

TEST(Copy, RefusedRunsAreLeftOutAndTheRestStillOffered) {
    RecordingStyle from("abc", {{0, 1, 0, 0, 0}, {1, 2, 0, 0, 0}, {2, 3, 0, 0, 0}});
    RecordingStyle to("", {}, 1);
    CharStyle::copy(&to, &from);
    EXPECT_EQ(to.addCalls, 3);
    ASSERT_EQ(to.runs.size(), 1u);
    EXPECT_EQ(to.runs[0].size, 1);
}

using ClipboardPrimitives = ClipboardTest;

TEST_F(ClipboardPrimitives, TextFormAddsTheTerminatingNul) {
    ASSERT_TRUE(CharStyle::addToClipboard("abc", CF_TEXT));
    EXPECT_EQ(standin::data(CF_TEXT), (Bytes{0x61, 0x62, 0x63, 0x00}));
    EXPECT_FALSE(standin::isOpen());
}

TEST_F(ClipboardPrimitives, NamedFormRegistersAndAddsBesideWhatIsThere) {
    putText("x");
    const unsigned char bytes[] = {1, 2, 3};
    ASSERT_TRUE(CharStyle::addToClipboard(bytes, 3, "Test-Kind"));
    EXPECT_EQ(standin::formats(), (std::vector<UINT>{CF_TEXT, format("Test-Kind")}));
    EXPECT_EQ(standin::data(format("Test-Kind")), (Bytes{1, 2, 3}));
    // A second write of the same format replaces the first without a leak.
    ASSERT_TRUE(CharStyle::addToClipboard(bytes, 2, "Test-Kind"));
    EXPECT_EQ(standin::data(format("Test-Kind")), (Bytes{1, 2}));
}

TEST_F(ClipboardPrimitives, FailedWritesAddNothingAndLeakNothing) {
    expectWriteFailuresLeaveTheClipboardAsItWas([] { return CharStyle::addToClipboard("new", format("Test-Kind")); });
}

TEST_F(ClipboardPrimitives, WriteFailsWhileAnotherOwnerHasTheClipboardOpen) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(CharStyle::addToClipboard("abc", CF_TEXT));
    EXPECT_EQ(standin::orphanBlocks(), 0);
    CloseClipboard();
    EXPECT_TRUE(standin::formats().empty());
}

TEST_F(ClipboardPrimitives, ClearEmptiesUnlessTheClipboardCannotBeOpened) {
    putText("x");
    holdClipboardPastTheWait();
    EXPECT_FALSE(CharStyle::ClearClipboard());
    EXPECT_EQ(standin::formats(), std::vector<UINT>{CF_TEXT});
    releaseClipboard();
    EXPECT_TRUE(CharStyle::ClearClipboard());
    EXPECT_TRUE(standin::formats().empty());
    EXPECT_FALSE(standin::isOpen());
}

TEST_F(ClipboardPrimitives, HasStyleAnswersForNamedAndNumberedFormats) {
    EXPECT_FALSE(CharStyle::clipboardHasStyle("Not-There"));
    EXPECT_FALSE(standin::isOpen());
    putText("x");
    EXPECT_TRUE(CharStyle::clipboardHasStyle(static_cast<std::int32_t>(CF_TEXT)));
    put(format("Test-Kind"), std::string("y"));
    EXPECT_TRUE(CharStyle::clipboardHasStyle("Test-Kind"));
    holdClipboardPastTheWait();
    EXPECT_FALSE(CharStyle::clipboardHasStyle("Test-Kind"));  // unopenable counts as absent
    releaseClipboard();
}

}  // namespace
