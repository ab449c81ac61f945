#include "style/rtf_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "style/face_bits.h"
#include "style/two_part_cases.h"

namespace {

using StyleRun = StyleRuns::Run;

// Text, runs and code page in; the exact document out.
TEST(RtfWriter, WritesDocuments) {
    const struct {
        const char* name;
        std::string text;
        std::vector<StyleRun> runs;
        codepage::CodePage cp;
        std::string document;
    } cases[] = {
        {"no runs",
         "x",
         {},
         1252,
         "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0\\fswiss\\fcharset0 Arial;}{\\colortbl;}\\f0\\fs24 {x}}"},
        {"one bold run",
         "ab",
         {{0, kFaceBold, 12, 0}},
         1252,
         "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0\\fswiss\\fcharset0 Arial;}{\\colortbl;}\\f0\\fs24 "
         "{\\cf0\\fs24\\b ab}}"},
        {"escapes, line ends, a colour and a run of no size",
         "a{b\\\r\nc",
         {{0, 0, 10, 0xFF0000}, {2, kFaceItalic, 0, 0}},
         1252,
         "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0\\fswiss\\fcharset0 Arial;}{\\colortbl;\\red255\\green0\\blue0;}"
         "\\f0\\fs24 {\\cf1\\fs20 a\\{}{\\i b\\\\\\par c}}"},
        {"a NUL byte and unwritten faces",
         std::string("a\0b", 3),
         {{0, static_cast<std::int16_t>(kFaceCondensed | kFaceOutline), 0, 0x123456}},
         1252,
         "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0\\fswiss\\fcharset0 Arial;}{\\colortbl;\\red18\\green52\\blue86;}"
         "\\f0\\fs24 {a\\'00b}}"},
        {"every written face",
         "a",
         {{0,
           static_cast<std::int16_t>(kFaceBold | kFaceItalic | kFaceUnderline | kFaceStrikethrough | kFaceSmallCaps |
                                     kFaceSuperscript | kFaceSubscript),
           7, 0}},
         1252,
         "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0\\fswiss\\fcharset0 Arial;}{\\colortbl;}\\f0\\fs24 "
         "{\\cf0\\fs14\\b\\i\\ul\\strike\\scaps\\super\\sub a}}"},
        {"starts past the text and out of order are clamped",
         "abc",
         {{2, 0, 12, 0}, {1, kFaceBold, 12, 0}, {9, kFaceItalic, 12, 0}},
         1252,
         "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0\\fswiss\\fcharset0 Arial;}{\\colortbl;}\\f0\\fs24 "
         "{ab}{\\cf0\\fs24 \\cf0\\fs24\\b c}{\\cf0\\fs24\\i }}"},
        {"double-byte characters as escapes, a trail byte that is a backslash",
         "\x82\xa0\x95\x5cx",
         {{0, 0, 12, 0}},
         932,
         "{\\rtf1\\ansi\\ansicpg932{\\fonttbl\\f0\\fswiss\\fcharset128 Arial;}{\\colortbl;}\\f0\\fs24 "
         "{\\cf0\\fs24 \\'82\\'a0\\'95\\'5cx}}"},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        EXPECT_EQ(rtfDocument(tc.text, tc.runs, tc.cp), tc.document);
        const RtfDocument prepared(tc.text, tc.runs, tc.cp);
        EXPECT_EQ(prepared.size(), tc.document.size());
    }
}

// Past the colour table's room, every further colour is written as its last entry.
TEST(RtfWriter, FullColourTableAnswersItsLastEntry) {
    std::vector<StyleRun> runs;
    std::string text;
    for (std::uint32_t i = 1; i <= RtfDocument::kColourTableSize + 1; ++i) {
        runs.push_back(StyleRun{static_cast<std::int32_t>(text.size()), 0, 12, i});
        text += 'x';
    }
    const std::string document = rtfDocument(text, runs, 1252);
    EXPECT_NE(document.find("\\red0\\green0\\blue99;}"), std::string::npos);
    EXPECT_EQ(document.find("\\blue100;"), std::string::npos);
    // The 99th, 100th and 101st colours all use entry 99.
    const std::string tail = "}{\\cf98\\fs24 x}{\\cf99\\fs24 x}{\\cf99\\fs24 x}{\\cf99\\fs24 x}}";
    ASSERT_GE(document.size(), tail.size());
    EXPECT_EQ(document.substr(document.size() - tail.size()), tail);
}

// Characters the code page lacks: each as "\uN" and one fallback byte after
// a "\uc1"; the body of the document is compared after its font table.
TEST(RtfWriter, WritesForeignCharactersAsUnicodeEscapes) {
    const struct {
        const char* name;
        std::string text;
        codepage::ForeignChars foreign;
        codepage::CodePage cp;
        std::string body;
    } cases[] = {
        {"a character of one fallback byte", "caf?", {{3, 1, 0x4E2D}}, 1252, "{caf\\u20013?}}"},
        {"a best fit that is a letter, or a space", "e x", {{0, 1, 0xE9}, {1, 1, 0xA0}}, 1252, "{\\u233 e\\u160  x}}"},
        {"a fallback that must be escaped", "{", {{0, 1, 0x2774}}, 1252, "{\\u10100\\'7b}}"},
        {"beyond U+FFFF: a surrogate pair", "??.", {{0, 2, 0x1F600}}, 1252, "{\\u-10179?\\u-8704?.}}"},
        {"a fallback of two bytes", "\x81\x40", {{0, 2, 0x20AC}}, 932, "{\\u8364?}}"},
        {"UTF-8 beyond ASCII, foreign or not",
         "\xC3\xA9\xF0\x9F\x98\x80\xFF",
         {},
         65001,
         "{\\u233?\\u-10179?\\u-8704?\\'ff}}"},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        const std::string document = rtfDocument(tc.text, {}, tc.cp, &tc.foreign);
        EXPECT_EQ(document.rfind("{\\rtf1\\ansi\\ansicpg" + std::to_string(tc.cp) + "\\uc1{", 0), 0u) << document;
        const std::string body = document.substr(document.find("\\f0\\fs24 ") + 9);
        EXPECT_EQ(body, tc.body);
    }
}

TEST(RtfWriter, WritesNoUnicodeEscapesForTextTheCodePageHolds) {
    const codepage::ForeignChars none;
    EXPECT_EQ(rtfDocument("caf\xe9", {}, 1252, &none), rtfDocument("caf\xe9", {}, 1252));
    EXPECT_EQ(rtfDocument("x", {}, 1252).find("\\uc1"), std::string::npos);
}

// A document split in two parts, each counted and written on its own thread,
// is the document written in one, wherever the split falls.
TEST(RtfWriter, TwoPartsWriteTheSameDocumentAsOne) {
    std::vector<twoparts::Case> cases = twoparts::splitCases();
    for (twoparts::Case& c : twoparts::randomCases(20260912, 300)) cases.push_back(std::move(c));
    for (const twoparts::Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        EXPECT_EQ(twoparts::writtenInto(RtfDocument(tc.text, tc.runs, tc.cp, &tc.foreign, 1)),
                  twoparts::writtenInto(RtfDocument(tc.text, tc.runs, tc.cp, &tc.foreign, SIZE_MAX)));
    }
    const twoparts::Case large = twoparts::largeCase();
    EXPECT_EQ(twoparts::writtenInto(RtfDocument(large.text, large.runs, large.cp, &large.foreign)),
              twoparts::writtenInto(RtfDocument(large.text, large.runs, large.cp, &large.foreign, SIZE_MAX)));
}

}  // namespace
