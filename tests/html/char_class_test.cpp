#include "html/char_class.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Each byte's classes, as the readers rely on them.
TEST(CharClass, ClassesOfBytes) {
    const struct {
        char c;
        bool space, blank, alpha, alnum, nameChar;
        char lower;
    } cases[] = {
        {' ', true, true, false, false, false, ' '},
        {'\t', true, true, false, false, false, '\t'},
        {'\n', true, false, false, false, false, '\n'},
        {'\f', true, false, false, false, false, '\f'},
        {'\r', true, false, false, false, false, '\r'},
        {'\v', false, false, false, false, false, '\v'},  // not white space in HTML
        {'\0', false, false, false, false, false, '\0'},
        {'A', false, false, true, true, true, 'a'},
        {'Z', false, false, true, true, true, 'z'},
        {'a', false, false, true, true, true, 'a'},
        {'@', false, false, false, false, false, '@'},  // just before 'A'
        {'[', false, false, false, false, false, '['},  // just after 'Z'
        {'0', false, false, false, true, true, '0'},
        {'9', false, false, false, true, true, '9'},
        {'-', false, false, false, false, true, '-'},
        {'_', false, false, false, false, true, '_'},
        {'\x7f', false, false, false, false, false, '\x7f'},
        {'\x80', false, false, false, false, true, '\x80'},
        {'\xc4', false, false, false, false, true, '\xc4'},  // no lower-casing beyond ASCII
        {'\xa0', false, false, false, false, true, '\xa0'},  // no-break space is not white space
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(tc.c)));
        EXPECT_EQ(html::isSpace(tc.c), tc.space);
        EXPECT_EQ(html::isBlank(tc.c), tc.blank);
        EXPECT_EQ(html::isAsciiAlpha(tc.c), tc.alpha);
        EXPECT_EQ(html::isAsciiAlnum(tc.c), tc.alnum);
        EXPECT_EQ(html::isCssNameChar(tc.c), tc.nameChar);
        EXPECT_EQ(html::toLowerAscii(tc.c), tc.lower);
    }
    EXPECT_EQ(html::lowerAscii("DIV Span\xc4"), "div span\xc4");
}
}  // namespace
