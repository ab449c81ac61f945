// The run-at-a-time entry point against the character-at-a-time one: the same
// characters, records and result for every document, hostile ones included;
// only the grouping into calls differs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "rtf/RTF.h"
#include "rtf/parse_capture.h"

namespace {

namespace fs = std::filesystem;

void expectSameDeliveries(const std::string& rtf) {
    const rtftest::Parsed chars = rtftest::parseBounded(rtf);
    const rtftest::ParsedRuns runs = rtftest::parseRuns(rtf);
    EXPECT_EQ(runs.ec, chars.ec);
    ASSERT_EQ(runs.chars.size(), chars.chars.size());
    for (std::size_t i = 0; i < chars.chars.size(); ++i) {
        const rtftest::Delivered& a = chars.chars[i];
        const rtftest::Delivered& b = runs.chars[i];
        ASSERT_EQ(a.ch & 0xFF, b.ch) << "character " << i;
        ASSERT_EQ(rtftest::describe(a), rtftest::describe(b)) << "character " << i;
    }
}

TEST(ReaderRuns, DeliverWhatCharactersDeliver) {
    const char* const documents[] = {
        "",
        "{\\rtf1 Hello world}",
        "{\\rtf1 plain {\\b bold {\\i both}} plain\\par next}",
        "{\\rtf1 ab\\'e9cd\\'41\\'4}",
        "{\\rtf1 \\'4",
        "{\\rtf1 \\'\\b 41}",
        "{\\rtf1 line\r\nends\rand\nmore}",
        "{\\rtf1 text\0hidden}",
        "{\\rtf1 high \xe9\xff bytes}",
        "{\\rtf1 {\\*\\unknown skipped {nested}} kept}",
        "{\\rtf1 {\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}{\\cf1 red}}",
        "{\\rtf1 {\\pict\\bin3 abc} after}",
        "{\\rtf1 \\bin2 ab \\bin-1 c}",
        "{\\rtf1 \\tab\\{\\}\\\\ symbols\\~\\-}",
        "{\\rtf1 } } underflow",
        "{\\rtf1 {{{ open at the end",
        "{\\rtf1 \\b",
        "{\\rtf1 \\",
        "{\\colortbl;\\red300;}",
        "{\\colortbl;x}",
        "{\\rtf1 \\fs-24 \\expnd99999999999 \\cf99 words}",
    };
    for (const char* doc : documents) {
        SCOPED_TRACE(doc);
        expectSameDeliveries(doc);
    }
    const std::string withNul("{\\rtf1 before\0after}", 20);
    expectSameDeliveries(withNul);
}

TEST(ReaderRuns, CorpusReadsAlike) {
    for (const char* folder : {"pass", "fail"}) {
        for (const auto& entry : fs::directory_iterator(fs::path(STYLEDTEXT_CORPUS) / folder)) {
            SCOPED_TRACE(entry.path().filename().string());
            std::ifstream in(entry.path(), std::ios::binary);
            expectSameDeliveries(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
        }
    }
}

TEST(ReaderRuns, TextBetweenMarkupArrivesInOneCall) {
    const struct {
        const char* rtf;
        std::vector<std::string> runs;
    } cases[] = {
        {"{\\rtf1 Hello world}", {"Hello world"}}, {"{\\rtf1 ab\\'e9cd}", {"ab", "\xe9", "cd"}},
        {"{\\rtf1 ab\r\ncd}", {"ab", "cd"}},       {"{\\rtf1 a{\\b b}c}", {"a", "b", "c"}},
        {"{\\rtf1 a\\tab b}", {"a", "\t", "b"}},   {"{\\rtf1 {\\*\\gen x}y}", {"y"}},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.rtf);
        const rtftest::ParsedRuns parsed = rtftest::parseRuns(tc.rtf);
        EXPECT_EQ(parsed.ec, ecNoError);
        EXPECT_EQ(parsed.runs, tc.runs);
    }
}

// The reader looks for the end of a run several bytes at a time: each byte
// that ends a run must end it wherever it falls within those bytes.
TEST(ReaderRuns, MarkupEndsARunWhereverItFalls) {
    const std::string letters = "abcdefghijklmnopqrstuvwxyz";
    const std::string tail = "tail longer than a machine word";
    for (std::size_t n = 1; n <= 20; ++n) {
        const std::string text = letters.substr(0, n);
        SCOPED_TRACE(text);
        const struct {
            std::string rtf;
            std::vector<std::string> runs;
        } cases[] = {
            {"{\\rtf1 " + text + "\\'41" + tail + "}", {text, "A", tail}},
            {"{\\rtf1 " + text + "{" + tail + "}}", {text, tail}},
            {"{\\rtf1 {" + text + "}" + tail + "}", {text, tail}},
            {"{\\rtf1 " + text + "\r" + tail + "}", {text, tail}},
            {"{\\rtf1 " + text + "\n" + tail + "}", {text, tail}},
            {"{\\rtf1 " + text + std::string(1, '\0') + tail + "}", {text}},
        };
        for (const auto& tc : cases) {
            const rtftest::ParsedRuns parsed = rtftest::parseRuns(tc.rtf);
            EXPECT_EQ(parsed.runs, tc.runs);
        }
    }
}

TEST(ReaderRuns, EveryOtherByteStaysInItsRun) {
    const std::string letters = "abcdefghijklmnopqrstuvwxyz";
    for (int b = 1; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        if (byte == '\\' || byte == '{' || byte == '}' || byte == '\r' || byte == '\n') continue;
        for (std::size_t n = 0; n <= 16; ++n) {
            const std::string text = letters.substr(0, n) + byte + letters;
            const rtftest::ParsedRuns parsed = rtftest::parseRuns("{\\rtf1 " + text + "}");
            ASSERT_EQ(parsed.runs, std::vector<std::string>{text}) << "byte " << b << " after " << n << " letters";
        }
    }
}

TEST(ReaderRuns, CallbackAnswerEndsTheParse) {
    rtftest::ParsedRuns stop;
    stop.stopAtRun = 1;
    stop.stopWith = 42;
    const rtftest::ParsedRuns parsed = rtftest::parseRuns("{\\rtf1 one{\\b two}three}", stop);
    EXPECT_EQ(parsed.ec, 42);
    EXPECT_EQ(parsed.runs, (std::vector<std::string>{"one", "two"}));
}

TEST(ReaderRuns, LaterCharacterParsesUseTheCharacterCallback) {
    rtftest::parseRuns("{\\rtf1 runs}");
    const rtftest::Parsed parsed = rtftest::parseBounded("{\\rtf1 a\\'41\\tab}");
    EXPECT_EQ(parsed.ec, ecNoError);
    EXPECT_EQ(parsed.text(), "aA\t");
}

}  // namespace
