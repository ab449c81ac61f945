// Control words and symbols are read a machine word at a time when enough
// bytes follow the backslash, and a byte at a time near the end of the text.
// A NUL ends the text as the end of the block does, so a text followed by a
// NUL and more bytes must read exactly as the same text alone: the first is
// read through the word-at-a-time path, the second through the other.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "rtf/RTF.h"
#include "rtf/RTF_table.h"
#include "rtf/parse_capture.h"

using rtftest::describe;
using rtftest::parseBounded;
using rtftest::Parsed;

namespace {

// Bytes after the NUL that would extend a control word if the reader looked past it.
const char* const kTails[] = {"abcdefghijklmnopqrstuvwxyz", "0123456789012345678901234", " x y z w v u t s r q p o n ",
                              "-12345678901234567890", "'41'42'43'44'45'46'47'48"};

void expectSameReading(const std::string& rtf) {
    const Parsed alone = parseBounded(rtf);
    for (const char* tail : kTails) {
        const Parsed padded = parseBounded(rtf + std::string(1, '\0') + tail);
        ASSERT_EQ(padded.ec, alone.ec) << "\"" << rtf << "\" then NUL and \"" << tail << "\"";
        ASSERT_EQ(padded.chars.size(), alone.chars.size()) << "\"" << rtf << "\" then NUL and \"" << tail << "\"";
        for (std::size_t i = 0; i < alone.chars.size(); ++i) {
            EXPECT_EQ(padded.chars[i].ch, alone.chars[i].ch) << "\"" << rtf << "\" character " << i;
            EXPECT_EQ(describe(padded.chars[i]), describe(alone.chars[i])) << "\"" << rtf << "\" character " << i;
        }
    }
}

// Every keyword of the table and some words it lacks, each with every kind of
// parameter and delimiter, including those that run up to and past the
// lengths the word-at-a-time path takes.
TEST(ReaderWindow, ControlWordsReadAlikeEitherWay) {
    std::vector<std::string> words;
    std::istringstream unknown(
        "x zz rtf ansi bkmkend bkmkstart abcdefg abcdefgh abcdefghi abcdefghijklmno "
        "abcdefghijklmnop B Fs CF uL");
    for (std::string word; unknown >> word;) words.push_back(word);
    for (std::int32_t isym = 0; isym < isymMax; ++isym) words.push_back(rgsymRtf[isym].szKeyword);
    const char* const params[] = {"",         "0",         "7",          "24",          "255", "1234567",
                                  "12345678", "123456789", "-",          "-0",          "-5",  "-360",
                                  "-1234567", "-12345678", "2147483648", "-2147483649", "007"};
    const char* const delimiters[] = {"", " ", "  ", ";", "x", "\\b", "\\'41", "{", "}", "\r\n", "-", "9"};
    for (const std::string& word : words) {
        for (const char* param : params) {
            for (const char* delimiter : delimiters) {
                const std::string control = "\\" + word + param + delimiter;
                expectSameReading("a" + control + "b");
                expectSameReading("{\\colortbl;\\red1\\green2\\blue3;}" + control + "c}");
            }
        }
    }
}

TEST(ReaderWindow, ControlSymbolsAndEscapesReadAlikeEitherWay) {
    const char* const items[] = {"\\{",          "\\}",      "\\\\",   "\\*",   "\\~", "\\_",      "\\-",  "\\|",
                                 "\\'41",        "\\'e9",    "\\'4",   "\\'zz", "\\'", "\\\n",     "\\\r", "\\ ",
                                 "\\*\\foo bar", "\\*\\b x", "\\\xE9", "\\-5",  "\\1", "\\'4\\'41"};
    for (const char* first : items) {
        expectSameReading(std::string("x") + first);
        expectSameReading(std::string("{x") + first + "y}");
        for (const char* second : items) expectSameReading(std::string("x") + first + second + "z");
    }
}

// Runs of control words, as they open groups, with the next word starting at
// every distance from the end of the text.
TEST(ReaderWindow, RunsOfControlWordsReadAlikeEitherWay) {
    const std::string run = "{\\cf2\\b\\i\\ul\\fs24\\f1\\li-360\\par\\tab\\'e9\\{\\ulnone\\plain\\pard x}";
    for (std::size_t n = 0; n <= run.size(); ++n) expectSameReading(run.substr(0, n));
    std::string doc = "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";
    for (int i = 0; i < 20; ++i) doc += run;
    expectSameReading(doc);
}

}  // namespace
