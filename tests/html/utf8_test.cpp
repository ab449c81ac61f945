// How much of a text is well-formed UTF-8, which decides whether a block is
// read where it lies or made valid first: it must agree with the decoder
// that makes it valid.
#include "html/utf8.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

TEST(Utf8, ValidPrefix) {
    const struct {
        std::string text;
        std::size_t valid;
    } cases[] = {
        {"", 0},
        {"abc", 3},
        {"a\xC3\xA9z", 4},
        {"\xF0\x9F\x98\x80", 4},
        {"a\xC3", 1},  // a character cut off by the end
        {"ab\xFF"
         "cd",
         2},                          // a byte that starts nothing
        {"\xC0\xAF", 0},              // an overlong form
        {"\xE0\x80\x80", 0},          // an overlong form
        {"x\xED\xA0\x80", 1},         // a surrogate
        {"\xF4\x90\x80\x80", 0},      // beyond U+10FFFF
        {"\xE2\x82\xAC\xE2\x82", 3},  // a whole character, then half of one
        {std::string("a\0b", 3), 3},  // NUL is ASCII
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.text);
        EXPECT_EQ(html::validUtf8Prefix(tc.text.data(), tc.text.size()), tc.valid);
    }
}

// Over many texts of bytes likely to form and break sequences: the text is
// valid throughout exactly when making it valid changes nothing.
TEST(Utf8, ValidExactlyWhenMakingItValidChangesNothing) {
    static const unsigned char kBytes[] = {'a',  0x80, 0xBF, 0xC2, 0xC3, 0xDF, 0xE0, 0xED,
                                           0xEF, 0xF0, 0xF4, 0xF5, 0xFF, 0x9F, 0xA0};
    std::uint32_t state = 7;
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int length = 1 + round % 9;
        for (int i = 0; i < length; ++i) {
            state = state * 1664525u + 1013904223u;
            text.push_back(static_cast<char>(kBytes[(state >> 16) % sizeof kBytes]));
        }
        std::string made;
        html::appendValidUtf8(made, text.data(), text.size());
        EXPECT_EQ(html::validUtf8Prefix(text.data(), text.size()) == text.size(), made == text) << round;
    }
}

}  // namespace

// ASCII is skipped eight bytes at a time: a bad byte or a character at every
// place around those steps is still found where it is.
TEST(Utf8, FoundAtEveryPlaceInLongAscii) {
    for (std::size_t at = 0; at < 20; ++at) {
        std::string text(20, 'a');
        text[at] = '\xFF';
        EXPECT_EQ(html::validUtf8Prefix(text.data(), text.size()), at) << at;
        std::string out;
        html::appendValidUtf8(out, text.data(), text.size());
        EXPECT_EQ(out, std::string(at, 'a') + "\xEF\xBF\xBD" + std::string(19 - at, 'a')) << at;
        text.replace(at, 1, "\xC3\xA9");
        EXPECT_EQ(html::validUtf8Prefix(text.data(), text.size()), text.size()) << at;
    }
}
