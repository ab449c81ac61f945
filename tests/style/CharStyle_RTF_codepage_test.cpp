// The RTF written declares the ANSI code page its text is in, and a reader of
// that declaration gets the text back, whatever that code page is.
#include <gtest/gtest.h>

#include <string>

#include "platform/clipboard_control.h"
#include "style/CharStyle_RTF.h"

namespace {

// Writes `text` as one plain run through a container filled directly.
std::string writePlain(const std::string& text) {
    CharStyle_RTF rtf("");
    rtf.setText(text);
    EXPECT_TRUE(rtf.add(0, 12, 0, 0, 0));
    return rtf.getRTF();
}

struct WriteCase {
    const char* name;
    unsigned acp;
    std::string text;    // in the ANSI code page
    std::string header;  // the document up to the font table's end
    std::string body;    // the text as written
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

const WriteCase kWriteCases[] = {
    {"Western", 1252, "caf\xE9", "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0\\fswiss\\fcharset0 Arial;}", "caf\xE9"},
    {"CentralEuropean", 1250, "\xB3\xF3\x9F", "{\\rtf1\\ansi\\ansicpg1250{\\fonttbl\\f0\\fswiss\\fcharset238 Arial;}",
     "\xB3\xF3\x9F"},
    {"Cyrillic", 1251, "\xCF\xF0\xE8\xE2\xE5\xF2", "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl\\f0\\fswiss\\fcharset204 Arial;}",
     "\xCF\xF0\xE8\xE2\xE5\xF2"},
    {"Greek", 1253, "\xE1\xE2", "{\\rtf1\\ansi\\ansicpg1253{\\fonttbl\\f0\\fswiss\\fcharset161 Arial;}", "\xE1\xE2"},
    // Every byte of a character of two bytes is an escape, so that a trail
    // byte equal to a backslash or a brace is never read as one.
    {"Japanese", 932, "\x82\xA0\x95\x5C{x}",
     "{\\rtf1\\ansi\\ansicpg932{\\fonttbl\\f0\\fswiss\\fcharset128 Arial;}", "\\'82\\'a0\\'95\\'5c\\{x\\}"},
    {"JapaneseHalfWidthKatakana", 932, "\xB1", "{\\rtf1\\ansi\\ansicpg932{\\fonttbl\\f0\\fswiss\\fcharset128 Arial;}",
     "\\'b1"},
    {"ChineseSimplified", 936, "\xC4\xE3\xBA\xC3",
     "{\\rtf1\\ansi\\ansicpg936{\\fonttbl\\f0\\fswiss\\fcharset134 Arial;}", "\\'c4\\'e3\\'ba\\'c3"},
    {"Korean", 949, "\xC7\xD1", "{\\rtf1\\ansi\\ansicpg949{\\fonttbl\\f0\\fswiss\\fcharset129 Arial;}", "\\'c7\\'d1"},
    {"ChineseTraditional", 950, "\xA4\xA4\x7B", "{\\rtf1\\ansi\\ansicpg950{\\fonttbl\\f0\\fswiss\\fcharset136 Arial;}",
     "\\'a4\\'a4\\{"},
};

class RtfCodePage : public ::testing::TestWithParam<WriteCase> {
  protected:
    void TearDown() override { standin::setAnsiCodePage(1252); }
};

TEST_P(RtfCodePage, WritesTheAnsiCodePageAndReadsBack) {
    const WriteCase& c = GetParam();
    standin::setAnsiCodePage(c.acp);
    const std::string written = writePlain(c.text);
    EXPECT_EQ(written, c.header + "{\\colortbl;}\\f0\\fs24 {\\cf0\\fs24 " + c.body + "}}");

    CharStyle_RTF read(written.c_str());
    EXPECT_FALSE(read.parsingError());
    EXPECT_EQ(read.getText(), c.text);
}

INSTANTIATE_TEST_SUITE_P(CodePages, RtfCodePage, ::testing::ValuesIn(kWriteCases),
                         [](const ::testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

// Text copied on one system and read on another arrives as the second
// system's characters, not as the first one's bytes.
TEST(RtfCodePageTravel, CyrillicWrittenThenReadOnAWesternSystem) {
    standin::setAnsiCodePage(1251);
    const std::string written = writePlain("\xC0\xE1\xE2");  // Cyrillic capital A, small be, small ve
    standin::setAnsiCodePage(1252);
    CharStyle_RTF read(written.c_str());
    EXPECT_EQ(read.getText(), "???");
    const std::string western = writePlain("caf\xE9");
    standin::setAnsiCodePage(1251);
    CharStyle_RTF cyrillic(western.c_str());
    EXPECT_EQ(cyrillic.getText(), "cafe");  // no e acute in 1251: its best fit
    standin::setAnsiCodePage(1252);
}

}  // namespace
