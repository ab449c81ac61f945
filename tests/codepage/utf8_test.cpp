// UTF-16 to UTF-8 in one pass over a whole text, against the encoder that
// writes a code point at a time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codepage/utf8.h"

namespace {

TEST(Utf8FromUtf16, WritesWhatTheCodePointEncoderWrites) {
    const struct {
        const char* name;
        std::vector<std::uint16_t> units;
        std::vector<std::uint32_t> codePoints;  // what the units stand for
    } cases[] = {
        {"empty", {}, {}},
        {"ASCII", {'a', 'b', 0x7F}, {'a', 'b', 0x7F}},
        {"two, three and four bytes", {0xE9, 0x20AC, 0xD83D, 0xDE00, 'x'}, {0xE9, 0x20AC, 0x1F600, 'x'}},
        {"edges of each length", {0x80, 0x7FF, 0x800, 0xFFFF}, {0x80, 0x7FF, 0x800, 0xFFFF}},
        {"lone high surrogate", {'a', 0xD800, 'b'}, {'a', 0xFFFD, 'b'}},
        {"lone low surrogate", {0xDC00, 'b'}, {0xFFFD, 'b'}},
        {"high surrogate at the end", {'a', 0xDBFF}, {'a', 0xFFFD}},
        {"two highs, then a pair", {0xD800, 0xD800, 0xDC00}, {0xFFFD, 0x10000}},
        {"largest pair", {0xDBFF, 0xDFFF}, {0x10FFFF}},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        std::string expected;
        for (std::uint32_t cp : tc.codePoints) codepage::appendUtf8(expected, cp);
        EXPECT_EQ(codepage::utf8FromUtf16(tc.units.data(), tc.units.size(), nullptr), expected.size());
        std::string written(expected.size() + 4, '#');
        const std::size_t cb = codepage::utf8FromUtf16(tc.units.data(), tc.units.size(), &written[0]);
        EXPECT_EQ(written.substr(0, cb), expected);
        EXPECT_EQ(written.substr(cb), "####");  // nothing beyond what it counted
    }
}

}  // namespace
