#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "rtf/RTF.h"
#include "rtf/RTF_reader.h"
#include "rtf/parse_capture.h"

using rtftest::Capture;
using rtftest::describe;
using rtftest::parseBounded;
using rtftest::Parsed;
using rtftest::parseTerminated;

namespace {

struct Expect {
    std::int32_t ch;
    const char* props;
};

struct Snippet {
    const char* name;
    std::string rtf;
    std::int32_t ec;
    std::vector<Expect> chars;
};

void PrintTo(const Snippet& s, std::ostream* os) { *os << s.name; }

const std::string kLetters40(40, 'k');

const Snippet kSnippets[] = {
    // Text, groups and their restore.
    {"Empty", "", ecNoError, {}},
    {"PlainTextDropsLineBreaks", "a b\r\nc\n", ecNoError, {{'a', ""}, {' ', ""}, {'b', ""}, {'c', ""}}},
    {"GroupRestoresProperties", "{{\\b x}y}", ecNoError, {{'x', "b"}, {'y', ""}}},
    {"NestedGroups",
     "{\\i a{\\b b{\\ul c}d}e}",
     ecNoError,
     {{'a', "i"}, {'b', "b i"}, {'c', "b i ul"}, {'d', "b i"}, {'e', "i"}}},
    {"HighBytesArriveSignExtended", "\xE9\x80\x7F", ecNoError, {{-23, ""}, {-128, ""}, {127, ""}}},

    // Result codes.
    {"SurplusCloseBrace", "a}b", ecGroupUnderflow, {{'a', ""}}},
    {"MissingCloseBrace", "{ab", ecOpenGroupAtEnd, {{'a', ""}, {'b', ""}}},
    {"EndsAfterBackslash", "a\\", ecInputEndsInKeyword, {{'a', ""}}},
    {"EndsAfterMinus", "\\li-", ecInputEndsInKeyword, {}},
    {"BadHexDigit", "\\'4g", ecBadHexDigit, {}},
    {"SpaceIsNoHexDigit", "\\'4 1", ecBadHexDigit, {}},
    {"HighByteIsNoHexDigit", "\\'\xE9\xE9", ecBadHexDigit, {}},
    {"TextInColourTable", "{\\colortbl;x}", ecBadInputState, {}},
    {"SpaceBetweenColourEntries", "{\\colortbl;\\red255\\green0\\blue0; \\red0;}", ecBadInputState, {}},
    {"ColourComponentAbove255", "{\\colortbl;\\red256;}", ecBadColourComponent, {}},
    {"ColourComponentNegative", "{\\colortbl;\\green-1;}", ecBadColourComponent, {}},

    // Hexadecimal escapes.
    {"HexEscape", "\\'e9\\'41\\'0a", ecNoError, {{233, ""}, {'A', ""}, {10, ""}}},
    {"HexUpperCase", "\\'C0", ecNoError, {{0xC0, ""}}},
    {"HexAcrossLineBreak", "\\'4\r\n1", ecNoError, {{0x41, ""}}},
    {"HexAcrossGroup", "{\\'4{x}1}", ecNoError, {{'x', ""}, {0x41, ""}}},
    {"HexAcrossControlWord", "\\'4\\b 1x", ecNoError, {{0x41, "b"}, {'x', "b"}}},
    {"HexEscapeAtEnd", "{a}\\'", ecNoError, {{'a', ""}}},
    {"HexEscapeWithOneDigitAtEnd", "\\'4", ecNoError, {}},
    {"HexAfterStar", "{\\*\\'41x}", ecNoError, {{'A', ""}, {'x', ""}}},
    // An escape inside the colour table ends the table: what follows is text.
    {"HexInColourTable", "{{\\colortbl;\\'41\\red1;}\\cf1 x}", ecNoError, {{'A', ""}, {';', ""}, {'x', ""}}},
    // The pending digit of an unfinished escape pairs with the next escape's first.
    {"HexAfterUnfinishedEscape", "\\'4\\'41", ecNoError, {{'D', ""}, {'1', ""}}},
    {"HexDroppedInSkippedGroup", "{{\\*\\foo \\'e9}{\\pict\\'zz}x}", ecNoError, {{'x', ""}}},

    // Binary data.
    {"BinaryInNormalDestination", "\\bin3 {}\\x", ecNoError, {{'{', ""}, {'}', ""}, {'\\', ""}, {'x', ""}}},
    {"BinaryInSkippedDestination", "{{\\comment\\bin3 }}}x}y}", ecNoError, {{'y', ""}}},
    {"BinaryInPictureSkipped", "{{\\pict\\bin4 \\'zz}x}", ecNoError, {{'x', ""}}},
    {"BinaryKeepsLineBreaks", "\\bin2 \r\n", ecNoError, {{13, ""}, {10, ""}}},
    {"BinaryRunningToEnd", "{\\bin100 ab", ecOpenGroupAtEnd, {{'a', ""}, {'b', ""}}},
    {"BinaryCountFromLastParameter",
     "\\fs3\\bin {}\\w",
     ecNoError,
     {{'{', "fs=3"}, {'}', "fs=3"}, {'\\', "fs=3"}, {'w', "fs=3"}}},
    // A count of zero or below still takes the one byte that ends it.
    {"BinaryCountZero", "\\bin0 }x", ecNoError, {{'}', ""}, {'x', ""}}},
    {"BinaryCountNegative", "\\bin-5 }x", ecNoError, {{'}', ""}, {'x', ""}}},
    {"BinaryCountMostNegative", "\\bin-2147483648 }x", ecNoError, {{'}', ""}, {'x', ""}}},

    // Control symbols and delimiters.
    {"EscapedSpecialCharacters", "\\{\\}\\\\", ecNoError, {{'{', ""}, {'}', ""}, {'\\', ""}}},
    {"SpaceAfterSymbolIsText", "\\{ x", ecNoError, {{'{', ""}, {' ', ""}, {'x', ""}}},
    {"LineBreakSymbols", "a\\\nb\\\rc", ecNoError, {{'a', ""}, {10, ""}, {'b', ""}, {10, ""}, {'c', ""}}},
    {"OtherSymbols", "\\~\\_\\-\\|x", ecNoError, {{0xA0, ""}, {'-', ""}, {'x', ""}}},
    {"CharacterKeywords",
     "\\par\\tab\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\emspace\\enspace\\qmspace",
     ecNoError,
     {{10, ""},
      {9, ""},
      {0x97, ""},
      {0x96, ""},
      {0x95, ""},
      {0x91, ""},
      {0x92, ""},
      {0x93, ""},
      {0x94, ""},
      {' ', ""},
      {' ', ""},
      {' ', ""}}},
    {"SpaceDelimiterConsumed", "\\b x", ecNoError, {{'x', "b"}}},
    {"OnlyOneSpaceConsumed", "\\b  x", ecNoError, {{' ', "b"}, {'x', "b"}}},
    {"OtherDelimiterIsText", "\\b0;x", ecNoError, {{';', ""}, {'x', ""}}},
    {"MinusWithoutDigitsConsumed", "\\b-x", ecNoError, {{'x', "b"}}},
    {"KeywordEndsText", "\\b", ecNoError, {}},
    {"KeywordsAreCaseSensitive", "\\B x", ecNoError, {{'x', ""}}},
    {"DigitsEndTheWord", "\\striked1 x", ecNoError, {{'x', ""}}},
    {"UnicodeEscapeReplacesItsFallback", "\\u233?", ecNoError, {{0xE9, ""}}},
    {"DocumentWordsIgnored", "{\\rtf1\\ansi\\ansicpg1252\\deff0 x}", ecNoError, {{'x', ""}}},

    // Parameters.
    {"NegativeParameter", "\\li-360 x", ecNoError, {{'x', "li=-360"}}},
    {"ParameterAboveInt32", "\\li2147483648 x", ecNoError, {{'x', "li=2147483647"}}},
    {"ParameterMostNegative", "\\li-2147483648 x", ecNoError, {{'x', "li=-2147483648"}}},
    {"ParameterTooLong", "\\li99999999999999999999999999 x", ecNoError, {{'x', "li=2147483647"}}},
    {"NegativeParameterTooLong", "\\ri-99999999999999999999999999 x", ecNoError, {{'x', "ri=-2147483648"}}},
    {"LeadingZerosRead", "\\fi000000000000000000000000000042 x", ecNoError, {{'x', "fi=42"}}},
    {"KeywordTooLong", "\\" + kLetters40 + " x", ecNoError, {{'x', ""}}},
    {"KeywordTooLongIsUnknown", "{{\\*\\" + kLetters40 + " x}y}", ecNoError, {{'y', ""}}},

    // Properties.
    {"FlagWithParameterKeepsLowByte", "\\b2 x\\b256 y\\b0 z", ecNoError, {{'x', "b=2"}, {'y', ""}, {'z', ""}}},
    {"FontSizeDefault", "\\fs x\\fs31 y", ecNoError, {{'x', "fs=12"}, {'y', "fs=31"}}},
    {"FontNumberKept", "{{\\fonttbl{\\f0 Arial;}{\\f1 Times;}}\\f1 x}", ecNoError, {{'x', "f=1"}}},
    {"UnderlineKinds", "\\uldb a\\ulnone b\\ulw c\\ul0 d", ecNoError, {{'a', "ul"}, {'b', ""}, {'c', "ul"}, {'d', ""}}},
    {"ExpansionAlwaysZero", "\\expnd4 a\\expndtw-3 b", ecNoError, {{'a', ""}, {'b', ""}}},
    {"Faces", "\\outl\\shad\\scaps\\strike\\sub x", ecNoError, {{'x', "outl shad scaps strike sub"}}},
    {"NoSuperSub",
     "\\super x\\nosupersub y\\sub z\\nosupersub w",
     ecNoError,
     {{'x', "super"}, {'y', ""}, {'z', "sub"}, {'w', ""}}},
    {"PlainClearsCharacterProperties",
     "{{\\colortbl;\\red1\\green2\\blue3;}\\b\\i\\fs30\\f2\\cf1\\li5 x\\plain y}",
     ecNoError,
     {{'x', "b i fs=30 f=2 colour=010203 li=5"}, {'y', "li=5"}}},
    {"ParagraphProperties",
     "\\li10\\ri20\\fi-30\\qc x\\qj y",
     ecNoError,
     {{'x', "li=10 ri=20 fi=-30 just=2"}, {'y', "li=10 ri=20 fi=-30 just=3"}}},
    {"SectionProperties",
     "\\cols2\\sbkodd\\pgnx5\\pgny6\\pgnlcltr x",
     ecNoError,
     {{'x', "cols=2 sbk=3 pgnx=5 pgny=6 pgnfmt=4"}}},
    {"EnumeratedPropertiesIgnoreParameter", "\\sbkpage7\\qr9 x", ecNoError, {{'x', "just=1 sbk=4"}}},
    {"DocumentProperties",
     "\\paperw\\paperh\\margl\\margr\\margt\\margb\\pgnstart9\\facingp\\landscape x",
     ecNoError,
     {{'x', "paperw=12240 paperh=15480 margl=1800 margt=1440 margr=1800 margb=1440 pgnstart=1 facingp landscape"}}},
    {"ParagraphAndSectionResetsNotInTable", "\\li5\\cols3\\pard\\sectd x", ecNoError, {{'x', "li=5 cols=3"}}},

    // Destinations and "\*".
    {"SkippedDestinations",
     "{{\\fonttbl{\\f0 Arial;}}{\\info{\\title T}{\\author A}}{\\stylesheet{s}}x}",
     ecNoError,
     {{'x', ""}}},
    {"SkipLastsToItsGroupEnd", "{a{\\header h{\\b i}j}k}", ecNoError, {{'a', ""}, {'k', ""}}},
    {"StarWithUnknownKeywordSkips",
     "{{\\*\\unknown hidden}shown}",
     ecNoError,
     {{'s', ""}, {'h', ""}, {'o', ""}, {'w', ""}, {'n', ""}}},
    {"StarWithKnownKeywordActs", "{\\*\\b x}", ecNoError, {{'x', "b"}}},
    {"StarWithUnknownSymbolSkips", "{{\\*\\-x}y}", ecNoError, {{'y', ""}}},
    {"StarLastsOneKeyword", "{\\*\\b\\unknown x}", ecNoError, {{'x', "b"}}},
    {"PropertiesIgnoredInSkippedGroup", "{{\\*\\foo\\b}{\\comment\\b x}y}", ecNoError, {{'y', ""}}},

    // The colour table.
    {"ColourTableLooksUpColours",
     "{{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\\cf1 a\\cf0 b\\cf7 c\\cf2 d\\cf-1 e\\cf f}",
     ecNoError,
     {{'a', "colour=ff0000"}, {'b', ""}, {'c', ""}, {'d', "colour=0000ff"}, {'e', ""}, {'f', ""}}},
    {"UnfinishedColourEntryNotCounted", "{{\\colortbl;\\red255}\\cf1 x}", ecNoError, {{'x', ""}}},
    {"ColourComponentOutsideTableIgnored", "\\red255\\green999\\blue-4 x", ecNoError, {{'x', ""}}},
    {"SecondColourTableContinuesNumbering",
     "{{\\colortbl;\\red1;}{\\colortbl\\red2;}\\cf1 a\\cf2 b}",
     ecNoError,
     {{'a', "colour=010000"}, {'b', "colour=020000"}}},
    {"ColourTableInSkippedGroupIgnored", "{{\\*\\foo{\\colortbl;\\red9;}}\\cf1 x}", ecNoError, {{'x', ""}}},
    {"GroupInColourTableReadsText", "{{\\colortbl;{x}\\red3;}\\cf1 y}", ecNoError, {{'x', ""}, {'y', "colour=030000"}}},
    {"LineBreaksInColourTable", "{{\\colortbl;\r\n\\red3;\r\n}\\cf1 y}", ecNoError, {{'y', "colour=030000"}}},
};

class ReaderSnippet : public ::testing::TestWithParam<Snippet> {};

TEST_P(ReaderSnippet, DeliversCharactersWithProperties) {
    const Snippet& s = GetParam();
    const Parsed parsed = parseBounded(s.rtf);
    EXPECT_EQ(parsed.ec, s.ec) << szEcName(parsed.ec);
    ASSERT_EQ(parsed.chars.size(), s.chars.size()) << "delivered \"" << parsed.text() << "\"";
    for (std::size_t i = 0; i < s.chars.size(); ++i) {
        EXPECT_EQ(parsed.chars[i].ch, s.chars[i].ch) << "character " << i;
        EXPECT_EQ(describe(parsed.chars[i]), s.chars[i].props) << "character " << i;
    }
}

TEST_P(ReaderSnippet, TerminatedEntryPointAgrees) {
    const Snippet& s = GetParam();
    const Parsed bounded = parseBounded(s.rtf);
    const Parsed terminated = parseTerminated(s.rtf);
    EXPECT_EQ(terminated.ec, bounded.ec);
    EXPECT_EQ(terminated.codes(), bounded.codes());
}

INSTANTIATE_TEST_SUITE_P(Snippets, ReaderSnippet, ::testing::ValuesIn(kSnippets),
                         [](const ::testing::TestParamInfo<Snippet>& info) { return std::string(info.param.name); });

TEST(Reader, CallbackResultEndsParse) {
    Capture capture;
    capture.stopAt = 2;
    capture.stopWith = 42;
    const Parsed parsed = parseBounded("{abcd}", capture);
    EXPECT_EQ(parsed.ec, 42);
    EXPECT_EQ(parsed.text(), "abc");
    EXPECT_EQ(szEcName(42), nullptr);
}

TEST(Reader, NamesResultCodes) {
    const char* const names[] = {"ecNoError",        "ecGroupUnderflow",     "ecGroupAllocFailed",
                                 "ecOpenGroupAtEnd", "ecBadHexDigit",        "ecBadTableEntry",
                                 "ecBadInputState",  "ecInputEndsInKeyword", "ecBadColourComponent"};
    for (std::int32_t ec = 0; ec <= 8; ++ec) EXPECT_STREQ(szEcName(ec), names[ec]);
    EXPECT_EQ(szEcName(-1), nullptr);
    EXPECT_EQ(szEcName(9), nullptr);
}

TEST(Reader, NullTextParsesAsEmpty) {
    Capture capture;
    EXPECT_EQ(ecRtfParse(nullptr, rtftest::captureChar, &capture), ecNoError);
    EXPECT_EQ(ecRtfParse(nullptr, 10, rtftest::captureChar, &capture), ecNoError);
    EXPECT_TRUE(capture.chars.empty());
}

TEST(Reader, KeepsLastParameterAndColourTable) {
    Capture capture;
    rtf::Reader reader(rtftest::captureChar, nullptr, &capture);
    const std::string rtf = "{{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\\li-360 x}";
    ASSERT_EQ(reader.ecParse(rtf.data(), rtf.size()), ecNoError);
    EXPECT_EQ(reader.lParam, -360);
    EXPECT_EQ(reader.cColour, 3);
    EXPECT_EQ(reader.rgColour[0], 0);
    EXPECT_EQ(reader.rgColour[1], 0xFF0000);
    EXPECT_EQ(reader.rgColour[2], 0x0000FF);
}

TEST(Reader, ColourTableHoldsAHundredEntries) {
    std::string rtf = "{{\\colortbl";
    for (int i = 0; i < 105; ++i) rtf += "\\red" + std::to_string(i) + ";";
    rtf += "}\\cf99 a\\cf100 b";
    // A table that opens when the first is full is ordinary text: its ";" are delivered.
    rtf += "{\\colortbl\\red7;}}";
    const Parsed parsed = parseBounded(rtf);
    ASSERT_EQ(parsed.ec, ecNoError);
    Capture capture;
    rtf::Reader reader(rtftest::captureChar, nullptr, &capture);
    ASSERT_EQ(reader.ecParse(rtf.data(), rtf.size()), ecNoError);
    EXPECT_EQ(reader.cColour, 100);
    ASSERT_EQ(parsed.text(), "ab;");
    EXPECT_EQ(parsed.chars[0].chp.iColour, 99 << 16);
    EXPECT_EQ(parsed.chars[1].chp.iColour, 0);
}

// What one parse leaves behind must not reach the next.
TEST(Reader, EveryParseStartsFromZeroState) {
    ASSERT_EQ(parseBounded("{\\b\\fs40\\li9 x").ec, ecOpenGroupAtEnd);
    Parsed next = parseBounded("y");
    ASSERT_EQ(next.chars.size(), 1u);
    EXPECT_EQ(describe(next.chars[0]), "");

    // A pending "\*" does not skip the next document's first unknown keyword.
    ASSERT_EQ(parseBounded("\\*").ec, ecNoError);
    EXPECT_EQ(parseBounded("{{\\foo x}y}").text(), "xy");

    // "\bin" without a number takes this parse's last parameter, not an earlier one's.
    ASSERT_EQ(parseBounded("\\bin9 a").ec, ecNoError);
    next = parseBounded("\\bin {\\b x}");
    EXPECT_EQ(next.ec, ecGroupUnderflow);
    EXPECT_EQ(next.text(), "{x");

    // Open groups of a stopped parse are gone: the next one's "}" has none to close.
    ASSERT_EQ(parseBounded("{{{").ec, ecOpenGroupAtEnd);
    EXPECT_EQ(parseBounded("}").ec, ecGroupUnderflow);

    // Colour numbers start again from 0.
    ASSERT_EQ(parseBounded("{\\colortbl;\\red1;}").ec, ecNoError);
    EXPECT_EQ(describe(parseBounded("\\cf1 x").chars.at(0)), "");
}

// Counts the group records the reader asks for and gives back, and refuses
// them after a chosen number.
struct CountingMemory {
    static long allocations;
    static long releases;
    static long failAfter;
    static void* allocate(std::size_t n) {
        if (failAfter >= 0 && allocations >= failAfter) return nullptr;
        ++allocations;
        return std::malloc(n);
    }
    static void release(void* p) {
        ++releases;
        std::free(p);
    }
    explicit CountingMemory(long fail = -1) {
        allocations = releases = 0;
        failAfter = fail;
        rtfSetMemoryFunctions(allocate, release);
    }
    ~CountingMemory() { rtfSetMemoryFunctions(nullptr, nullptr); }
};
long CountingMemory::allocations = 0;
long CountingMemory::releases = 0;
long CountingMemory::failAfter = -1;

TEST(Reader, GroupAllocationFailureStopsParse) {
    CountingMemory memory(2);
    const Parsed parsed = parseBounded("a{b{c{d}}}");
    EXPECT_EQ(parsed.ec, ecGroupAllocFailed);
    EXPECT_EQ(parsed.text(), "abc");
    EXPECT_EQ(memory.releases, memory.allocations);
}

TEST(Reader, GroupRecordsReusedAndReleased) {
    CountingMemory memory;
    ASSERT_EQ(parseBounded("{{a}{b}{{c}}{d}}").ec, ecNoError);
    EXPECT_EQ(memory.allocations, 3);  // as many as the deepest nesting
    EXPECT_EQ(memory.releases, 3);

    ASSERT_EQ(parseBounded("{{{{x").ec, ecOpenGroupAtEnd);
    EXPECT_EQ(memory.releases, memory.allocations);
    ASSERT_EQ(parseBounded("x}").ec, ecGroupUnderflow);
    EXPECT_EQ(memory.releases, memory.allocations);
}

TEST(Reader, DeepNesting) {
    constexpr std::size_t depth = 200000;
    std::string rtf(depth, '{');
    rtf += "\\b x";
    rtf.append(depth - 1, '}');
    rtf += "y}";
    const Parsed parsed = parseBounded(rtf);
    EXPECT_EQ(parsed.ec, ecNoError);
    ASSERT_EQ(parsed.text(), "xy");
    EXPECT_EQ(describe(parsed.chars[1]), "");

    EXPECT_EQ(parseBounded(std::string(depth, '{')).ec, ecOpenGroupAtEnd);
}

TEST(Reader, BoundedParseStopsAtFirstNul) {
    const std::string rtf("{a\0b}", 5);
    const Parsed parsed = parseBounded(rtf);
    EXPECT_EQ(parsed.ec, ecOpenGroupAtEnd);
    EXPECT_EQ(parsed.text(), "a");
    // Binary data cannot carry a NUL either.
    EXPECT_EQ(parseBounded(std::string("\\bin3 a\0b", 9)).text(), "a");
}

// Cutting a document anywhere must read exactly as the terminated copy of the
// same bytes: the end of the block is the end of the text.
TEST(Reader, BoundedParseOfEveryPrefixMatchesTerminatedParse) {
    const std::string doc =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
        "\\f0\\fs24 {\\cf1\\b A\\'e9\\li-360 B}{\\*\\foo x}\\bin2 {}\\par\\{\\}\\\\ z}";
    for (std::size_t n = 0; n <= doc.size(); ++n) {
        const std::string prefix = doc.substr(0, n);
        const Parsed bounded = parseBounded(prefix);
        const Parsed terminated = parseTerminated(prefix);
        ASSERT_EQ(bounded.ec, terminated.ec) << "cut at " << n;
        ASSERT_EQ(bounded.codes(), terminated.codes()) << "cut at " << n;
    }
}

}  // namespace
