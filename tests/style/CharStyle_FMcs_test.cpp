#include "style/CharStyle_FMcs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/clipboard_fixture.h"
#include "support/recording_style.h"
#include "support/test_data.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Builds style blocks field by field.
struct Block {
    Bytes bytes{0, 0, 0, 0};  // length prefix, fixed up by done()
    Block& be32(std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<unsigned char>(v >> shift));
        return *this;
    }
    Block& be16(std::uint16_t v) {
        bytes.push_back(static_cast<unsigned char>(v >> 8));
        bytes.push_back(static_cast<unsigned char>(v));
        return *this;
    }
    Block& segment(std::int32_t pos, std::int32_t unique) {
        return be32(static_cast<std::uint32_t>(pos)).be32(static_cast<std::uint32_t>(unique));
    }
    Block& style(std::int32_t usage, std::int16_t face, std::int16_t size, std::uint32_t rgba) {
        return be32(static_cast<std::uint32_t>(usage))
            .be32(12)
            .be16(0x0002)
            .be16(0)
            .be16(static_cast<std::uint16_t>(face))
            .be16(static_cast<std::uint16_t>(size))
            .be32(rgba);
    }
    Bytes done() {
        const std::uint32_t n = static_cast<std::uint32_t>(bytes.size() - 4);
        for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<unsigned char>(n >> (8 * i));
        return bytes;
    }
};

class FMcsTest : public ContainerTest<CharStyle_FMcs> {
  protected:
    static UINT fmcs() { return ownFormat(); }
};

// Two runs of "abc": bold black at 0, plain red at 2.
std::unique_ptr<CharStyle_FMcs> workedExample() {
    RecordingStyle source("abc", {{0, 12, 0x0100, 0x000000}, {2, 12, 0, 0xFF0000}});
    return std::make_unique<CharStyle_FMcs>(&source);
}

TEST_F(FMcsTest, WorkedExampleWritesTextAndBlockByteForByte) {
    auto c = workedExample();
    ASSERT_TRUE(c->addTextToClipboard());
    ASSERT_TRUE(c->addStyleToClipboard());
    EXPECT_EQ(standin::data(CF_TEXT), (Bytes{0x61, 0x62, 0x63, 0x00}));
    EXPECT_EQ(standin::data(fmcs()), readData("fmcs_two_runs.bin"));
    EXPECT_EQ(standin::formats(), (std::vector<UINT>{CF_TEXT, fmcs()}));
}

// Moving the text to the clipboard writes what adding it does; the runs
// stay for the style block, and the container's text is gone.
TEST_F(FMcsTest, TextMovedToTheClipboardLeavesTheStyleBlockWhole) {
    auto c = workedExample();
    ASSERT_TRUE(c->moveTextToClipboard());
    EXPECT_EQ(c->getText(), "");
    ASSERT_TRUE(c->addStyleToClipboard());
    EXPECT_EQ(standin::data(CF_TEXT), (Bytes{0x61, 0x62, 0x63, 0x00}));
    EXPECT_EQ(standin::data(fmcs()), readData("fmcs_two_runs.bin"));
    EXPECT_EQ(c->count(), 2);
}

// A converted container's text, line ends made CR, is the same whether it
// is read, added (and kept) or moved, and its block ends right after the NUL;
// so it is when no block can be had or kept for it at first, and then no
// block is left behind.
TEST_F(FMcsTest, ConvertedTextIsTheSameHoweverItLeaves) {
    const struct {
        const char* in;
        std::string out;
    } cases[] = {
        {"", ""},        {"abc", "abc"}, {"a\r\nb", "a\rb"}, {"a\nb\r", "a\rb\r"}, {"\r\r\n\n\r\n", "\r\r\r\r"},
        {"\n\r", "\r\r"}};
    const struct {
        const char* name;
        void (*refuse)();
        long blocksHeld;
    } refusals[] = {{"", [] {}, 1},
                    {", no block at first", [] { standin::failNext(standin::Op::GlobalAlloc); }, 0},
                    {", the block cannot be kept locked", [] { standin::failNext(standin::Op::GlobalLock, 1); }, 0}};
    for (const auto& refusal : refusals) {
        for (const auto& tc : cases) {
            SCOPED_TRACE(std::string(tc.in) + refusal.name);
            standin::reset();
            RecordingStyle source(tc.in, {{0, 12, 0, 0}});
            const long before = standin::orphanBlocks();
            refusal.refuse();
            CharStyle_FMcs c(&source);
            EXPECT_EQ(standin::orphanBlocks() - before, refusal.blocksHeld);
            Bytes withNul(tc.out.begin(), tc.out.end());
            withNul.push_back(0);
            EXPECT_EQ(c.getText(), tc.out);
            ASSERT_TRUE(c.addTextToClipboard());
            EXPECT_EQ(standin::data(CF_TEXT), withNul);
            EXPECT_EQ(c.getText(), tc.out) << "adding keeps the text";
            standin::reset();
            ASSERT_TRUE(c.moveTextToClipboard());
            EXPECT_EQ(standin::data(CF_TEXT), withNul);
            EXPECT_EQ(c.getText(), "");
            EXPECT_EQ(c.count(), 1);
        }
    }
}

TEST_F(FMcsTest, WorkedExampleReadsBackWithItsQueries) {
    auto c = readBack("abc", readData("fmcs_two_runs.bin"));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->getText(), "abc");
    ASSERT_EQ(c->count(), 2);
    ASSERT_EQ(c->uniqueStyleCount(), 2);
    EXPECT_EQ(c->charPos(0), 0);
    EXPECT_EQ(c->charPos(1), 2);
    EXPECT_EQ(c->segments()[1].uniqueStyle, 1);
    for (int j = 0; j < 2; ++j) {
        EXPECT_EQ(c->styles()[j].enabledFace, 0x0016);
        EXPECT_EQ(c->styles()[j].usageCount, 1);
        EXPECT_EQ(c->styles()[j].unknown, 12);
    }
    ASSERT_TRUE(c->selectStyle(1));
    EXPECT_EQ(c->getRGB(), 0xFF0000u);
    EXPECT_EQ(c->getRed(), 0xFF);
    EXPECT_EQ(c->getGreen(), 0);
    EXPECT_EQ(c->getBlue(), 0);
    EXPECT_FALSE(c->isBold());
    EXPECT_TRUE(c->isPlain());
    ASSERT_TRUE(c->selectStyle(0));
    EXPECT_TRUE(c->isBold());
    EXPECT_EQ(c->getSize(), 12);
    EXPECT_EQ(c->getRGB(), 0u);
}

TEST_F(FMcsTest, ContainerWithoutRunsWritesTwelveBytesAndReadsBack) {
    CharStyle_FMcs c("", 0);
    EXPECT_EQ(written(c), readData("fmcs_no_runs.bin"));
    auto back = readBack("", readData("fmcs_no_runs.bin"));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->count(), 0);
    EXPECT_FALSE(back->add(0, 12, 0, 0, 0));
}

TEST_F(FMcsTest, EqualRunsShareOneStyle) {
    CharStyle_FMcs c("abcdef", 2);
    ASSERT_TRUE(c.add(0, 12, 0, 0x123456, 1));
    ASSERT_TRUE(c.add(4, 12, 0, 0x123456, 7));  // another font, same style
    EXPECT_EQ(written(c), readData("fmcs_shared_style.bin"));
    auto back = readBack("abcdef", readData("fmcs_shared_style.bin"));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->uniqueStyleCount(), 1);
    EXPECT_EQ(back->styles()[0].usageCount, 2);
}

struct AddRun {
    std::int16_t size;
    std::int16_t face;
    std::uint32_t colour;
};

struct DedupCase {
    const char* name;
    std::vector<AddRun> runs;
    std::vector<std::int32_t> uniqueStyles;  // per run
    std::vector<std::int32_t> usage;         // per style
    std::vector<std::uint16_t> enabled;      // per style
    std::vector<std::uint32_t> stored;       // per style, 0xRRGGBBAA
};

TEST_F(FMcsTest, AddDeduplicatesAndSetsEnabledBits) {
    const DedupCase cases[] = {
        {"colour and size", {{12, 0, 0xFF0000}}, {0}, {1}, {0x0006}, {0xFF0000FF}},
        {"black sets no colour bit", {{12, 0, 0}}, {0}, {1}, {0x0002}, {0x000000FF}},
        {"top colour byte is dropped", {{12, 0, 0xAB123456}, {12, 0, 0x00123456}}, {0, 0}, {2}, {0x0006}, {0x123456FF}},
        {"size 0 sets no size bit", {{0, 0, 0}}, {0}, {1}, {0x0000}, {0x000000FF}},
        {"negative size sets no size bit", {{-5, 0, 0}}, {0}, {1}, {0x0000}, {0x000000FF}},
        {"every face group",
         {{10, 0x7FFF, 1}},
         {0},
         {1},
         {0x0010 | 0x0020 | 0x0100 | 0x0200 | 0x0400 | 0x0800 | 0x1000 | 0x2000 | 0x0002 | 0x0004},
         {0x000001FF}},
        {"faces differing in the top bit are two styles",
         {{12, 0x0100, 0}, {12, static_cast<std::int16_t>(0x8100), 0}},
         {0, 1},
         {1, 1},
         {0x0012, 0x0012},
         {0x000000FF, 0x000000FF}},
        {"first appearance order",
         {{12, 0, 0}, {14, 0, 0}, {12, 0, 0}, {12, 0x0200, 0}, {14, 0, 0}},
         {0, 1, 0, 2, 1},
         {2, 2, 1},
         {0x0002, 0x0002, 0x0022},
         {0x000000FF, 0x000000FF, 0x000000FF}},
    };
    for (const DedupCase& tc : cases) {
        SCOPED_TRACE(tc.name);
        CharStyle_FMcs c("text", static_cast<std::int32_t>(tc.runs.size()));
        for (const AddRun& r : tc.runs) ASSERT_TRUE(c.add(0, r.size, r.face, r.colour, 0));
        ASSERT_EQ(c.uniqueStyleCount(), static_cast<std::int32_t>(tc.usage.size()));
        for (size_t k = 0; k < tc.runs.size(); ++k) EXPECT_EQ(c.segments()[k].uniqueStyle, tc.uniqueStyles[k]);
        for (size_t j = 0; j < tc.usage.size(); ++j) {
            const CharStyle_FMcs::Style_t& s = c.styles()[j];
            EXPECT_EQ(s.usageCount, tc.usage[j]);
            EXPECT_EQ(static_cast<std::uint16_t>(s.enabledFace), tc.enabled[j]);
            EXPECT_EQ(s.colour, tc.stored[j]);
            EXPECT_EQ(s.unknown, 12);
            EXPECT_EQ(s.fontOrdinal, 0);
        }
    }
}

TEST_F(FMcsTest, EachFaceBitSetsItsGroupAndAnswersItsQuery) {
    struct FaceCase {
        std::uint16_t face;
        std::uint16_t enabled;
        bool (CharStyle_FMcs::*query)();
    };
    const FaceCase cases[] = {
        {0x0001, 0x0400, &CharStyle_FMcs::isStrikethrough},
        {0x0002, 0x0800, &CharStyle_FMcs::isSmallCaps},
        {0x0004, 0x2000, &CharStyle_FMcs::isSuperscript},
        {0x0008, 0x2000, &CharStyle_FMcs::isSubscript},
        {0x0010, 0x1000, nullptr},
        {0x0020, 0x1000, nullptr},
        {0x0040, 0x0100, nullptr},
        {0x0080, 0x0100, nullptr},
        {0x0100, 0x0010, &CharStyle_FMcs::isBold},
        {0x0200, 0x0020, &CharStyle_FMcs::isItalic},
        {0x0400, 0x0100, &CharStyle_FMcs::isUnderline},
        {0x0800, 0x0000, nullptr},
        {0x1000, 0x0000, nullptr},
        {0x2000, 0x0200, &CharStyle_FMcs::isCondensed},
        {0x4000, 0x0200, &CharStyle_FMcs::isExtended},
    };
    bool (CharStyle_FMcs::*const allQueries[])() = {
        &CharStyle_FMcs::isStrikethrough, &CharStyle_FMcs::isSmallCaps, &CharStyle_FMcs::isSuperscript,
        &CharStyle_FMcs::isSubscript,     &CharStyle_FMcs::isBold,      &CharStyle_FMcs::isItalic,
        &CharStyle_FMcs::isUnderline,     &CharStyle_FMcs::isCondensed, &CharStyle_FMcs::isExtended,
    };
    for (const FaceCase& tc : cases) {
        SCOPED_TRACE(testing::Message() << "face 0x" << std::hex << tc.face);
        CharStyle_FMcs c("x", 1);
        ASSERT_TRUE(c.add(0, 0, static_cast<std::int16_t>(tc.face), 0, 0));
        EXPECT_EQ(static_cast<std::uint16_t>(c.styles()[0].enabledFace), tc.enabled);
        ASSERT_TRUE(c.selectStyle(0));
        EXPECT_FALSE(c.isPlain());
        EXPECT_EQ(static_cast<std::uint16_t>(c.getFace()), tc.face);
        for (auto query : allQueries) EXPECT_EQ((c.*query)(), query == tc.query);
    }
}

TEST_F(FMcsTest, ManyDistinctStylesKeepFirstAppearanceIndices) {
    // Keys that differ in one field only, so a weak index would mix them up.
    constexpr int kDistinct = 3000;
    auto key = [](int i) {
        switch (i % 3) {
            case 0:
                return AddRun{static_cast<std::int16_t>(i), 0, 0};
            case 1:
                return AddRun{12, static_cast<std::int16_t>(i), 0};
            default:
                return AddRun{12, 0, static_cast<std::uint32_t>(i)};
        }
    };
    CharStyle_FMcs c("", 3 * kDistinct);
    for (int round = 0; round < 3; ++round)
        for (int i = 0; i < kDistinct; ++i) {
            const AddRun r = key(i);
            ASSERT_TRUE(c.add(i, r.size, r.face, r.colour, 0));
        }
    EXPECT_FALSE(c.add(0, 1, 1, 1, 0));
    ASSERT_EQ(c.uniqueStyleCount(), kDistinct);
    for (int k = 0; k < 3 * kDistinct; ++k) ASSERT_EQ(c.segments()[k].uniqueStyle, k % kDistinct) << k;
    for (int j = 0; j < kDistinct; ++j) ASSERT_EQ(c.styles()[j].usageCount, 3);
}

TEST_F(FMcsTest, NegativeSizeStaysInItsOwnTwoBytes) {
    CharStyle_FMcs c("x", 1);
    ASSERT_TRUE(c.add(0, -2, 0x0100, 0x010203, 0));
    const Bytes b = written(c);
    ASSERT_EQ(b.size(), 40u);
    // font ordinal, face, size, colour
    EXPECT_EQ(Bytes(b.begin() + 30, b.end()), (Bytes{0x00, 0x00, 0x01, 0x00, 0xFF, 0xFE, 0x01, 0x02, 0x03, 0xFF}));
}

TEST_F(FMcsTest, ReadBlockWrittenBackKeepsItsValuesWithTheUnionMask) {
    auto c = readBack("some text", readData("fmcs_read_values.bin"));
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->count(), 4);
    EXPECT_EQ(c->charPos(0), 10);
    ASSERT_TRUE(c->selectStyle(0));
    EXPECT_EQ(c->getFace(), static_cast<std::int16_t>(0x0030));
    EXPECT_EQ(c->getSize(), -3);
    EXPECT_EQ(c->getRGB(), 0x010203u);
    ASSERT_TRUE(c->selectStyle(2));
    EXPECT_EQ(static_cast<std::uint16_t>(c->getFace()), 0x8000);
    EXPECT_EQ(c->getRGB(), 0xABCDEFu);
    EXPECT_EQ(c->styles()[0].fontOrdinal, -2);
    EXPECT_EQ(c->styles()[2].unknown, -1);
    EXPECT_FALSE(c->add(0, 12, 0, 0, 0));  // a read object is full

    EXPECT_EQ(written(*c), readData("fmcs_read_values_written.bin"));
}

TEST_F(FMcsTest, LengthPrefixAndTrailingBytesDoNotChangeWhatIsRead) {
    Bytes block = readData("fmcs_two_runs.bin");
    const Bytes expected = block;
    block[0] = 0xEF;
    block[1] = 0xBE;
    block[2] = 0xAD;
    block[3] = 0xDE;
    block.insert(block.end(), {1, 2, 3, 4, 5});  // a block rounded up by the allocator
    auto c = readBack("abc", block);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(written(*c), expected);
}

TEST_F(FMcsTest, TextIsReadUpToItsFirstNulAndNoFurther) {
    auto withNul = readBack(std::string("ab\0cd", 5), readData("fmcs_no_runs.bin"));
    ASSERT_NE(withNul, nullptr);
    EXPECT_EQ(withNul->getText(), "ab");

    standin::reset();
    put(CF_TEXT, std::string("abc"));  // no NUL at all
    put(fmcs(), readData("fmcs_no_runs.bin"));
    std::unique_ptr<CharStyle_FMcs> noNul(CharStyle_FMcs::InitFromClipboard());
    ASSERT_NE(noNul, nullptr);
    EXPECT_EQ(noNul->getText(), "abc");
}

TEST_F(FMcsTest, MalformedBlocksAreRefused) {
    const struct {
        const char* name;
        Bytes block;
    } cases[] = {
        {"shorter than its prefix", {0x04, 0x00, 0x00}},
        {"no segment count", Block().be16(0).done()},
        {"negative segment count", Block().be32(0xFFFFFFFF).be32(0).done()},
        {"most negative segment count", Block().be32(0x80000000).be32(0).done()},
        {"huge segment count", Block().be32(0x7FFFFFFF).segment(0, 0).be32(1).style(1, 0, 12, 0xFF).done()},
        {"segment count beyond the block", Block().be32(2).segment(0, 0).be32(1).style(1, 0, 12, 0xFF).done()},
        {"no style count", Block().be32(1).segment(0, 0).done()},
        {"negative style count", Block().be32(1).segment(0, 0).be32(0xFFFFFFFF).done()},
        {"more styles than segments",
         Block().be32(1).segment(0, 0).be32(2).style(1, 0, 12, 0xFF).style(0, 1, 12, 0xFF).done()},
        {"style count beyond the block",
         Block().be32(2).segment(0, 0).segment(1, 1).be32(2).style(1, 0, 12, 0xFF).done()},
        {"segment names a style past the last", Block().be32(1).segment(0, 1).be32(1).style(1, 0, 12, 0xFF).done()},
        {"segment names a negative style", Block().be32(1).segment(0, -1).be32(1).style(1, 0, 12, 0xFF).done()},
        {"segments but no styles", Block().be32(1).segment(0, 0).be32(0).done()},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        standin::reset();
        EXPECT_EQ(readBack("abc", tc.block), nullptr);
        EXPECT_FALSE(standin::isOpen());
        EXPECT_EQ(standin::orphanBlocks(), 0);
    }
}

TEST_F(FMcsTest, EveryTruncationOfAValidBlockIsRefused) {
    const Bytes full = readData("fmcs_two_runs.bin");
    for (size_t length = 0; length < full.size(); ++length) {
        SCOPED_TRACE(length);
        standin::reset();
        EXPECT_EQ(readBack("abc", Bytes(full.begin(), full.begin() + static_cast<long>(length))), nullptr);
        EXPECT_EQ(standin::orphanBlocks(), 0);
    }
}

TEST_F(FMcsTest, ReadingAnswersNoneWhenAPartIsMissingOrUnusable) {
    const Bytes block = readData("fmcs_two_runs.bin");
    const struct {
        const char* name;
        bool text;
        bool style;
        standin::Op failing;
        int skip;  // failures injected after this many successes; -1 for none
    } cases[] = {
        {"no style block", true, false, standin::Op::GlobalAlloc, -1},
        {"no text", false, true, standin::Op::GlobalAlloc, -1},
        {"clipboard cannot be opened once", true, true, standin::Op::OpenClipboard, 0},
        {"text cannot be locked", true, true, standin::Op::GlobalLock, 0},
        {"style block cannot be locked", true, true, standin::Op::GlobalLock, 1},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        standin::reset();
        if (tc.text) putText("abc");
        if (tc.style) put(fmcs(), block);
        if (tc.skip >= 0) standin::failNext(tc.failing, tc.skip);
        std::unique_ptr<CharStyle_FMcs> read(CharStyle_FMcs::InitFromClipboard());
        if (tc.failing == standin::Op::OpenClipboard)
            EXPECT_NE(read, nullptr) << "a clipboard that could not be opened once is tried again";
        else
            EXPECT_EQ(read, nullptr);
        EXPECT_FALSE(standin::isOpen());
    }
    SCOPED_TRACE("clipboard held by another program past the wait");
    standin::reset();
    putText("abc");
    put(fmcs(), block);
    holdClipboardPastTheWait();
    EXPECT_EQ(CharStyle_FMcs::InitFromClipboard(), nullptr);
    EXPECT_FALSE(standin::isOpen());
    releaseClipboard();
}

TEST_F(FMcsTest, ClipboardHasStyleLooksForItsOwnFormat) {
    EXPECT_FALSE(CharStyle_FMcs::clipboardHasStyle());
    put(fmcs(), readData("fmcs_no_runs.bin"));
    EXPECT_TRUE(CharStyle_FMcs::clipboardHasStyle());
}

TEST_F(FMcsTest, SelectionAndPositionsOutsideTheRunsAreRefused) {
    auto c = workedExample();
    ASSERT_TRUE(c->selectStyle(0));
    for (std::int32_t bad : {-1, 2, INT32_MIN}) {
        EXPECT_FALSE(c->selectStyle(bad));
        EXPECT_EQ(c->charPos(bad), -1);
    }
    EXPECT_TRUE(c->isBold());  // the earlier selection stays
}

TEST_F(FMcsTest, SetTextEmptiesAReadObjectForItsCapacity) {
    auto c = readBack("abc", readData("fmcs_two_runs.bin"));
    ASSERT_NE(c, nullptr);
    ASSERT_TRUE(c->selectStyle(1));
    c->setText("new");
    // The selected run went with the others.
    EXPECT_EQ(c->getSize(), 0);
    EXPECT_EQ(c->getFace(), 0);
    EXPECT_EQ(c->count(), 0);
    EXPECT_EQ(c->uniqueStyleCount(), 0);
    EXPECT_EQ(c->getText(), "new");
    // The read styles are gone: an equal run makes a fresh style.
    EXPECT_TRUE(c->add(0, 12, 0x0100, 0, 0));
    EXPECT_TRUE(c->add(1, 12, 0x0100, 0, 0));
    EXPECT_FALSE(c->add(2, 12, 0x0100, 0, 0));
    EXPECT_EQ(c->uniqueStyleCount(), 1);
    EXPECT_EQ(c->styles()[0].usageCount, 2);
}

TEST_F(FMcsTest, ConvertingConstructorTakesEveryRunWithFaceWhole) {
    RecordingStyle source("a\r\nbcdef", {{0, 9, 0x0800, 0x00FF00}, {5, 10, 0x0030, 0xFF000000}});
    CharStyle_FMcs c(&source);
    EXPECT_EQ(c.getText(), "a\rbcdef");
    ASSERT_EQ(c.count(), 2);
    EXPECT_EQ(c.charPos(1), 5);  // positions pass unchanged
    ASSERT_TRUE(c.selectStyle(0));
    EXPECT_EQ(c.getFace(), 0x0800);
    EXPECT_EQ(c.getRGB(), 0x00FF00u);
    ASSERT_TRUE(c.selectStyle(1));
    EXPECT_EQ(c.getFace(), 0x0030);
    EXPECT_EQ(c.getRGB(), 0u);
    EXPECT_FALSE(c.add(6, 1, 1, 1, 1));  // sized to the source
}

TEST_F(FMcsTest, WriteFailuresLeaveTheClipboardAsItWas) {
    auto c = workedExample();
    expectWriteFailuresLeaveTheClipboardAsItWas(*c);
}

TEST(FMcsByteOrder, ReverseBytes) {
    unsigned char three[] = {1, 2, 3};
    XPReverseBytes(three, 3);
    EXPECT_EQ(Bytes(three, three + 3), (Bytes{3, 2, 1}));
    unsigned char four[] = {1, 2, 3, 4};
    XPReverseBytes(four, 4);
    EXPECT_EQ(Bytes(four, four + 4), (Bytes{4, 3, 2, 1}));
    for (std::int16_t size : {1, 0, -1, -4}) {
        unsigned char one[] = {7, 8};
        XPReverseBytes(one, size);
        EXPECT_EQ(Bytes(one, one + 2), (Bytes{7, 8})) << size;
    }
    EXPECT_EQ(WinReverseBytes(std::int32_t{2}), 0x02000000);
    EXPECT_EQ(WinReverseBytes(std::uint32_t{0x11223344}), 0x44332211u);
    EXPECT_EQ(WinReverseBytes(std::int16_t{0x0102}), 0x0201);
    EXPECT_EQ(WinReverseBytes(static_cast<std::int16_t>(0x00FF)), static_cast<std::int16_t>(0xFF00));
}

}  // namespace
