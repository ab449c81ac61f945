#include "style/CharStyle_styl.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/clipboard_fixture.h"
#include "support/test_data.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Element {
    std::int32_t start = 0;
    std::int16_t height = 0;
    std::int16_t ascent = 0;
    std::int16_t font = 0;
    std::uint8_t face = 0;
    std::int16_t size = 0;
    std::uint16_t red = 0, green = 0, blue = 0;
};

void le(Bytes& b, std::uint32_t v, int width) {
    for (int i = 0; i < width; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

// A "Mac-styl" block; `count` defaults to the number of elements.
Bytes block(const std::vector<Element>& elements, int count = -1) {
    Bytes b;
    le(b, static_cast<std::uint32_t>(2 + 20 * elements.size()), 4);
    le(b, static_cast<std::uint32_t>(count == -1 ? static_cast<int>(elements.size()) : count), 2);
    for (const Element& e : elements) {
        le(b, static_cast<std::uint32_t>(e.start), 4);
        le(b, static_cast<std::uint16_t>(e.height), 2);
        le(b, static_cast<std::uint16_t>(e.ascent), 2);
        le(b, static_cast<std::uint16_t>(e.font), 2);
        b.push_back(0xEE);  // the reserved byte is not read
        b.push_back(e.face);
        le(b, static_cast<std::uint16_t>(e.size), 2);
        le(b, e.red, 2);
        le(b, e.green, 2);
        le(b, e.blue, 2);
    }
    return b;
}

class StylTest : public ContainerTest<CharStyle_styl> {
  protected:
    static UINT styl() { return ownFormat(); }
    // A container with room for `capacity` runs and none in use.
    static std::unique_ptr<CharStyle_styl> empty(int capacity) {
        Bytes b = block(std::vector<Element>(static_cast<size_t>(capacity)));
        auto c = std::make_unique<CharStyle_styl>("", b.data() + 4, b.size() - 4);
        c->setText("");
        return c;
    }
};

TEST_F(StylTest, ElementsAnswerTheirQueries) {
    struct Expected {
        std::uint16_t face;
        bool plain, bold, italic, underline, condensed, extended;
        std::uint8_t red, green, blue;
    };
    const struct {
        const char* name;
        Element e;
        Expected x;
    } cases[] = {
        {"plain", {0, 0, 0, 0, 0x00, 12, 0, 0, 0}, {0x0000, true, false, false, false, false, false, 0, 0, 0}},
        {"bold and underline", {0, 0, 0, 0, 0x05, 12, 0, 0, 0}, {0x0500, false, true, false, true, false, false, 0, 0, 0}},
        {"every style bit", {0, 0, 0, 0, 0x7F, 12, 0, 0, 0}, {0x7F00, false, true, true, true, true, true, 0, 0, 0}},
        {"bold", {0, 0, 0, 0, 0x01, 12, 0, 0, 0}, {0x0100, false, true, false, false, false, false, 0, 0, 0}},
        {"italic", {0, 0, 0, 0, 0x02, 12, 0, 0, 0}, {0x0200, false, false, true, false, false, false, 0, 0, 0}},
        {"underline", {0, 0, 0, 0, 0x04, 12, 0, 0, 0}, {0x0400, false, false, false, true, false, false, 0, 0, 0}},
        {"outline", {0, 0, 0, 0, 0x08, 12, 0, 0, 0}, {0x0800, false, false, false, false, false, false, 0, 0, 0}},
        {"shadow", {0, 0, 0, 0, 0x10, 12, 0, 0, 0}, {0x1000, false, false, false, false, false, false, 0, 0, 0}},
        {"condensed", {0, 0, 0, 0, 0x20, 12, 0, 0, 0}, {0x2000, false, false, false, false, true, false, 0, 0, 0}},
        {"extended", {0, 0, 0, 0, 0x40, 12, 0, 0, 0}, {0x4000, false, false, false, false, false, true, 0, 0, 0}},
        {"top bit", {0, 0, 0, 0, 0x80, 12, 0, 0, 0}, {0x8000, false, false, false, false, false, false, 0, 0, 0}},
        {"high colour bytes", {0, 0, 0, 0, 0, 12, 0xFFFF, 0x0000, 0x8000}, {0, true, false, false, false, false, false, 255, 0, 128}},
        {"low colour bytes are ignored", {0, 0, 0, 0, 0, 12, 0x00FF, 0x00FF, 0x00FF}, {0, true, false, false, false, false, false, 0, 0, 0}},
        {"mixed colour words", {0, 0, 0, 0, 0, 12, 0x12AB, 0x3400, 0x56FF}, {0, true, false, false, false, false, false, 0x12, 0x34, 0x56}},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        const Bytes b = block({tc.e});
        CharStyle_styl c("x", b.data() + 4, b.size() - 4);
        ASSERT_TRUE(c.selectStyle(0));
        EXPECT_EQ(static_cast<std::uint16_t>(c.getFace()), tc.x.face);
        EXPECT_EQ(c.isPlain(), tc.x.plain);
        EXPECT_EQ(c.isBold(), tc.x.bold);
        EXPECT_EQ(c.isItalic(), tc.x.italic);
        EXPECT_EQ(c.isUnderline(), tc.x.underline);
        EXPECT_EQ(c.isCondensed(), tc.x.condensed);
        EXPECT_EQ(c.isExtended(), tc.x.extended);
        EXPECT_FALSE(c.isStrikethrough() || c.isSmallCaps() || c.isSuperscript() || c.isSubscript());
        EXPECT_EQ(c.getRed(), tc.x.red);
        EXPECT_EQ(c.getGreen(), tc.x.green);
        EXPECT_EQ(c.getBlue(), tc.x.blue);
        EXPECT_EQ(c.getRGB(), (std::uint32_t{tc.x.red} << 16) | (std::uint32_t{tc.x.green} << 8) | tc.x.blue);
    }
}

TEST_F(StylTest, ReadsRunsWithTheirPositionsAndSizes) {
    Element a;
    a.size = 12;
    Element b;
    b.start = 5;
    b.size = -7;
    auto c = readBack("hello world", block({a, b}));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->getText(), "hello world");
    ASSERT_EQ(c->count(), 2);
    EXPECT_EQ(c->charPos(0), 0);
    EXPECT_EQ(c->charPos(1), 5);
    EXPECT_EQ(c->charPos(2), -1);
    EXPECT_EQ(c->charPos(-1), -1);
    ASSERT_TRUE(c->selectStyle(1));
    EXPECT_EQ(c->getSize(), -7);
    EXPECT_FALSE(c->selectStyle(2));
    EXPECT_FALSE(c->selectStyle(-1));
    EXPECT_EQ(c->getSize(), -7);  // the earlier selection stays
    EXPECT_FALSE(c->add(0, 1, 0, 0, 0));
}

TEST_F(StylTest, TextAloneGivesAContainerThatTakesNoRuns) {
    putText(std::string("ab\0cd", 5));
    std::unique_ptr<CharStyle_styl> c(CharStyle_styl::InitFromClipboard());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->getText(), "ab");
    EXPECT_EQ(c->count(), 0);
    EXPECT_FALSE(c->add(0, 12, 0, 0, 0));

    standin::reset();
    put(CF_TEXT, std::string("abc"));  // no NUL: read to the end of the block only
    c.reset(CharStyle_styl::InitFromClipboard());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->getText(), "abc");
}

TEST_F(StylTest, ReadingWithoutUsableTextAnswersNull) {
    const Bytes b = block({Element{}});
    put(styl(), b);
    EXPECT_EQ(CharStyle_styl::InitFromClipboard(), nullptr);  // no CF_TEXT
    putText("abc");
    holdClipboardPastTheWait();
    EXPECT_EQ(CharStyle_styl::InitFromClipboard(), nullptr);
    releaseClipboard();
    standin::failNext(standin::Op::GlobalLock);
    EXPECT_EQ(CharStyle_styl::InitFromClipboard(), nullptr);
    EXPECT_FALSE(standin::isOpen());
}

TEST_F(StylTest, StyleBlockThatCannotBeLockedCountsAsAbsent) {
    putText("abc");
    put(styl(), block({Element{}}));
    standin::failNext(standin::Op::GlobalLock, 1);
    std::unique_ptr<CharStyle_styl> c(CharStyle_styl::InitFromClipboard());
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->getText(), "abc");
    EXPECT_EQ(c->count(), 0);
}

TEST_F(StylTest, HostileCountsAreLimitedToTheBlock) {
    Element e;
    e.start = 3;
    Bytes twoElements = block({e, e});
    const struct {
        const char* name;
        Bytes b;
        std::int32_t runs;
    } cases[] = {
        {"count above the elements held", block({e, e}, 5), 2},
        {"count at the int16 maximum", block({e}, 0x7FFF), 1},
        {"negative count", block({e, e}, 0xFFFF), 0},
        {"most negative count", block({e}, 0x8000), 0},
        {"count below the elements held", block({e, e}, 1), 1},
        {"no count field", Bytes{0, 0, 0, 0}, 0},
        {"half a count field", Bytes{2, 0, 0, 0, 1}, 0},
        {"shorter than the length field", Bytes{2, 0}, 0},
        {"count but a partial element", Bytes(twoElements.begin(), twoElements.begin() + 25), 0},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        standin::reset();
        auto c = readBack("text", tc.b);
        ASSERT_NE(c, nullptr);
        ASSERT_EQ(c->count(), tc.runs);
        for (std::int32_t k = 0; k < tc.runs; ++k) EXPECT_EQ(c->charPos(k), 3);
    }
}

TEST_F(StylTest, EveryTruncationReadsOnlyWholeElements) {
    Element e;
    e.start = 9;
    e.face = 0x01;
    const Bytes full = block({e, e, e});
    for (size_t length = 0; length <= full.size(); ++length) {
        SCOPED_TRACE(length);
        standin::reset();
        auto c = readBack("t", Bytes(full.begin(), full.begin() + static_cast<long>(length)));
        ASSERT_NE(c, nullptr);
        const std::int32_t whole = length < 6 ? 0 : static_cast<std::int32_t>((length - 6) / 20);
        ASSERT_EQ(c->count(), whole);
        for (std::int32_t k = 0; k < whole; ++k) {
            ASSERT_TRUE(c->selectStyle(k));
            EXPECT_EQ(c->charPos(k), 9);
            EXPECT_TRUE(c->isBold());
        }
    }
}

TEST_F(StylTest, WritesEachFieldAtItsOffset) {
    auto c = empty(2);
    ASSERT_TRUE(c->add(0, 12, 0x0100, 0x123456, 5));
    ASSERT_TRUE(c->add(5, 10, 0x0600, 0xFF0080, 5));
    EXPECT_FALSE(c->add(9, 10, 0, 0, 0));
    EXPECT_EQ(written(*c), readData("styl_two_runs.bin"));
}

TEST_F(StylTest, ContainerWithoutRunsWritesSixBytes) {
    CharStyle_styl c("abc", nullptr, 0);
    EXPECT_EQ(written(c), (Bytes{0x02, 0x00, 0x00, 0x00, 0x00, 0x00}));
}

TEST_F(StylTest, LowFaceByteIsLostOnTheWayOut) {
    auto c = empty(1);
    ASSERT_TRUE(c->add(0, 12, 0x0101, 0, 0));
    const Bytes b = written(*c);
    auto back = readBack("x", b);
    ASSERT_NE(back, nullptr);
    ASSERT_TRUE(back->selectStyle(0));
    EXPECT_EQ(back->getFace(), 0x0100);
    EXPECT_TRUE(back->isBold());
}

TEST_F(StylTest, AddDerivesLineHeightAndAscentFromTheSize) {
    const struct {
        std::int16_t size;
        std::int16_t height;
        std::int16_t ascent;
    } cases[] = {
        {10, 13, 10}, {12, 16, 12}, {0, 0, 0}, {-10, -13, -10}, {-12, -16, -12},
        {32767, static_cast<std::int16_t>(43689 - 65536), 32767},  // the sum wraps to 16 bits
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.size);
        auto c = empty(1);
        ASSERT_TRUE(c->add(0, tc.size, 0, 0, 0));
        const Bytes b = written(*c);
        ASSERT_EQ(b.size(), 26u);
        EXPECT_EQ(static_cast<std::int16_t>(b[10] | (b[11] << 8)), tc.height);
        EXPECT_EQ(static_cast<std::int16_t>(b[12] | (b[13] << 8)), tc.ascent);
        EXPECT_EQ(static_cast<std::int16_t>(b[14] | (b[15] << 8)), 0);  // font
        EXPECT_EQ(static_cast<std::int16_t>(b[18] | (b[19] << 8)), tc.size);
    }
}

TEST_F(StylTest, WriteFailuresLeaveTheClipboardAsItWas) {
    auto c = empty(1);
    ASSERT_TRUE(c->add(0, 12, 0, 0, 0));
    expectWriteFailuresLeaveTheClipboardAsItWas(*c);
}

TEST_F(StylTest, ClipboardHasStyleLooksForItsOwnFormat) {
    EXPECT_FALSE(CharStyle_styl::clipboardHasStyle());
    put(styl(), block({}));
    EXPECT_TRUE(CharStyle_styl::clipboardHasStyle());
}

}  // namespace
