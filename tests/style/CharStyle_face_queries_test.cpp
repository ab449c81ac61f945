// Every container answers the face and colour queries from its face word and
// colour, for runs converted from every other container, and for runs that
// went through its own clipboard format and back.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "style/CharStyle.h"
#include "style/CharStyle_FMcs.h"
#include "style/CharStyle_HTML.h"
#include "style/CharStyle_RTF.h"
#include "style/CharStyle_styl.h"
#include "support/clipboard_fixture.h"
#include "support/recording_style.h"

namespace {

const std::string kText = "abcdefghijklmnop";

// One run per face bit, a plain run and one with several bits, each with its
// own size and colour.
const std::vector<RecordingStyle::Run> kRuns = {
    {0, 12, 0, 0x000000},
    {1, 9, kFaceStrikethrough, 0x102030},
    {2, 10, kFaceSmallCaps, 0x405060},
    {3, 11, kFaceSuperscript, 0x708090},
    {4, 13, kFaceSubscript, 0xA0B0C0},
    {5, 14, kFaceWordUnderline, 0xD0E0F0},
    {6, 15, kFaceDoubleUnderline, 0x0F0E0D},
    {7, 16, kFaceBold, 0xFF0000},
    {8, 17, kFaceItalic, 0x00FF00},
    {9, 18, kFaceUnderline, 0x0000FF},
    {10, 19, kFaceOutline, 0x123456},
    {11, 20, kFaceShadow, 0x654321},
    {12, 21, kFaceCondensed, 0xABCDEF},
    {13, 22, kFaceExtended, 0xFEDCBA},
    {14, 23, kFaceBold | kFaceItalic | kFaceCondensed | kFaceStrikethrough, 0x010203},
};

// A container of each class, deleted through its own type.
struct Container {
    const char* name;
    std::function<std::shared_ptr<CharStyle>(CharStyle* from)> convert;
};

template <class T>
std::shared_ptr<CharStyle> owned(T* p) {
    return std::shared_ptr<CharStyle>(p, [](CharStyle* c) { delete static_cast<T*>(c); });
}

// The styl container has no converting constructor: it is made with room
// for as many runs as a scrap of that many empty elements holds, then filled.
std::shared_ptr<CharStyle> stylFrom(CharStyle* from) {
    const std::size_t n = static_cast<std::size_t>(from->count());
    std::vector<unsigned char> record(2 + 20 * n, 0);
    record[0] = static_cast<unsigned char>(n);
    record[1] = static_cast<unsigned char>(n >> 8);
    auto styl = owned(new CharStyle_styl("", record.data(), record.size()));
    CharStyle::copy(styl.get(), from);
    return styl;
}

const Container kContainers[] = {
    {"FMcs", [](CharStyle* from) { return owned(new CharStyle_FMcs(from)); }},
    {"styl", stylFrom},
    {"RTF", [](CharStyle* from) { return owned(new CharStyle_RTF(from)); }},
    {"HTML", [](CharStyle* from) { return owned(new CharStyle_HTML(from)); }},
};

// Checks each query of the selected run against its face word and colour.
void expectQueriesFollowFaceAndColour(CharStyle& c) {
    const std::uint16_t face = static_cast<std::uint16_t>(c.getFace());
    const std::uint32_t rgb = c.getRGB();
    EXPECT_EQ(c.isPlain(), face == 0);
    const struct {
        std::uint16_t bit;
        bool answer;
    } kQueries[] = {
        {kFaceBold, c.isBold()},           {kFaceItalic, c.isItalic()},
        {kFaceUnderline, c.isUnderline()}, {kFaceCondensed, c.isCondensed()},
        {kFaceExtended, c.isExtended()},   {kFaceStrikethrough, c.isStrikethrough()},
        {kFaceSmallCaps, c.isSmallCaps()}, {kFaceSuperscript, c.isSuperscript()},
        {kFaceSubscript, c.isSubscript()},
    };
    for (const auto& q : kQueries) EXPECT_EQ(q.answer, (face & q.bit) != 0) << "bit " << std::hex << q.bit;
    EXPECT_EQ(rgb & ~0xFFFFFFu, 0u);
    EXPECT_EQ(c.getRed(), (rgb >> 16) & 0xFF);
    EXPECT_EQ(c.getGreen(), (rgb >> 8) & 0xFF);
    EXPECT_EQ(c.getBlue(), rgb & 0xFF);
}

// Every pair of containers: converting keeps every face bit and colour in
// memory, and the queries on both sides agree with them.
TEST(CharStyleFaceQueries, EveryConversionKeepsFaceAndQueriesAgree) {
    RecordingStyle origin(kText, kRuns);
    for (const Container& from : kContainers) {
        const std::shared_ptr<CharStyle> source = from.convert(&origin);
        for (const Container& to : kContainers) {
            SCOPED_TRACE(std::string(from.name) + " to " + to.name);
            const std::shared_ptr<CharStyle> destination = to.convert(source.get());
            ASSERT_EQ(destination->count(), static_cast<std::int32_t>(kRuns.size()));
            for (std::int32_t k = 0; k < destination->count(); ++k) {
                SCOPED_TRACE("run " + std::to_string(k));
                ASSERT_TRUE(source->selectStyle(k));
                ASSERT_TRUE(destination->selectStyle(k));
                EXPECT_EQ(destination->getFace(), kRuns[static_cast<std::size_t>(k)].face);
                EXPECT_EQ(destination->getFace(), source->getFace());
                EXPECT_EQ(destination->getRGB(), kRuns[static_cast<std::size_t>(k)].colour);
                EXPECT_EQ(destination->getSize(), kRuns[static_cast<std::size_t>(k)].size);
                expectQueriesFollowFaceAndColour(*source);
                expectQueriesFollowFaceAndColour(*destination);
            }
        }
    }
}

// The condensed and extended bits reach the queries of every container.
TEST(CharStyleFaceQueries, CondensedAndExtendedAnswerTrueEverywhere) {
    RecordingStyle origin("ab", {{0, 12, kFaceCondensed, 0}, {1, 12, kFaceExtended, 0}});
    for (const Container& c : kContainers) {
        SCOPED_TRACE(c.name);
        const std::shared_ptr<CharStyle> converted = c.convert(&origin);
        ASSERT_TRUE(converted->selectStyle(0));
        EXPECT_TRUE(converted->isCondensed());
        EXPECT_FALSE(converted->isExtended());
        ASSERT_TRUE(converted->selectStyle(1));
        EXPECT_FALSE(converted->isCondensed());
        EXPECT_TRUE(converted->isExtended());
    }
}

class CharStyleFaceQueriesClipboard : public ClipboardTest {};

// Through each format's clipboard block: the bits the format carries come
// back, the others are lost, and the queries follow what came back.
TEST_F(CharStyleFaceQueriesClipboard, EachFormatKeepsTheBitsItCarries) {
    constexpr std::uint16_t kStylByte = 0xFF00;
    constexpr std::uint16_t kWrittenRtf = kFaceBold | kFaceItalic | kFaceUnderline | kFaceStrikethrough |
                                          kFaceSmallCaps | kFaceSuperscript | kFaceSubscript;
    constexpr std::uint16_t kWrittenHtml =
        kFaceBold | kFaceItalic | kFaceUnderline | kFaceStrikethrough | kFaceSuperscript | kFaceSubscript;
    const struct {
        const char* name;
        std::uint16_t carried;
        std::function<std::shared_ptr<CharStyle>(CharStyle*)> written;
        std::function<std::shared_ptr<CharStyle>()> read;
    } kFormats[] = {
        {"FMcs", 0xFFFF,
         [](CharStyle* from) {
             CharStyle_FMcs* fmcs = new CharStyle_FMcs(from);
             std::shared_ptr<CharStyle> held = owned(fmcs);
             fmcs->addTextToClipboard();
             return held;
         },
         [] { return owned(CharStyle_FMcs::InitFromClipboard()); }},
        {"styl", kStylByte, stylFrom,
         [] {
             CharStyle_FMcs text(kText.c_str(), 0);
             text.addTextToClipboard();
             return owned(CharStyle_styl::InitFromClipboard());
         }},
        {"RTF", kWrittenRtf, [](CharStyle* from) { return owned(new CharStyle_RTF(from)); },
         [] { return owned(CharStyle_RTF::InitFromClipboard()); }},
        {"HTML", kWrittenHtml, [](CharStyle* from) { return owned(new CharStyle_HTML(from)); },
         [] { return owned(CharStyle_HTML::InitFromClipboard()); }},
    };
    RecordingStyle origin(kText, kRuns);
    for (const auto& f : kFormats) {
        SCOPED_TRACE(f.name);
        ASSERT_TRUE(CharStyle::ClearClipboard());
        const std::shared_ptr<CharStyle> written = f.written(&origin);
        ASSERT_TRUE(written->addStyleToClipboard());
        const std::shared_ptr<CharStyle> read = f.read();
        ASSERT_NE(read.get(), nullptr);
        ASSERT_EQ(read->count(), static_cast<std::int32_t>(kRuns.size()));
        for (std::int32_t k = 0; k < read->count(); ++k) {
            SCOPED_TRACE("run " + std::to_string(k));
            const RecordingStyle::Run& run = kRuns[static_cast<std::size_t>(k)];
            ASSERT_TRUE(read->selectStyle(k));
            EXPECT_EQ(static_cast<std::uint16_t>(read->getFace()), run.face & f.carried);
            EXPECT_EQ(read->getRGB(), run.colour);
            expectQueriesFollowFaceAndColour(*read);
        }
    }
    ASSERT_TRUE(CharStyle::ClearClipboard());
}

}  // namespace
