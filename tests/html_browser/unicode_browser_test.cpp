// Characters the ANSI code page lacks, rendered by Chromium: the "HTML
// Format" written for a word processor's copy and for FileMaker's, and the
// page "styledtext show --html" makes, each shows the whole text, line ends
// included.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browser.h"
#include "codepage/code_page.h"
#include "codepage/foreign_chars.h"
#include "html/utf8.h"
#include "platform/clipboard_control.h"
#include "style/CharStyle_FMcs.h"
#include "style/CharStyle_HTML.h"
#include "style/CharStyle_RTF.h"
#include "support/unicode_strings.h"
#include "tools/run_view.h"

namespace {

using namespace unicode_strings;

// Latin, Cyrillic, Greek, Chinese and an emoji over three lines, a tab among them.
const std::string kWhole =
    "Caf\xC3\xA9 \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\n\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1\t"
    "\xE4\xB8\xAD\xE6\x96\x87\n\xF0\x9F\x98\x80 end";

// What Chromium shows of [start, end) of `document`, in UTF-8.
std::string innerText(const std::string& document, std::size_t start, std::size_t end) {
    std::vector<browser::BrowserChar> shown;
    std::string error;
    EXPECT_TRUE(browser::render(document, start, end, shown, error)) << error;
    std::string text;
    for (const browser::BrowserChar& c : shown) html::appendUtf8(text, c.codePoint);
    return text;
}

std::string innerTextOfBlock(const std::string& block) {
    std::string text, error;
    EXPECT_TRUE(browser::innerTextOfBlock(block, text, error)) << error;
    return text;
}

std::string ansiOf(const std::u16string& wide) {
    const WCHAR* w = reinterpret_cast<const WCHAR*>(wide.data());
    const int n = WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(wide.size()), &bytes[0], n, nullptr, nullptr);
    return bytes;
}

class UnicodeInChromium : public ::testing::TestWithParam<unsigned> {
  protected:
    void TearDown() override { standin::setAnsiCodePage(1252); }
};

TEST_P(UnicodeInChromium, HtmlWrittenForAWordProcessorsCopyShowsTheWholeText) {
    standin::setAnsiCodePage(GetParam());
    std::string rtf = "{\\rtf1\\ansi\\uc1 ";
    for (char c : rtfEscaped(kWhole)) rtf += c == '\n' ? std::string("\\par ") : c == '\t' ? "\\tab " : std::string(1, c);
    rtf += "}";
    CharStyle_RTF read(rtf.data(), rtf.size());
    ASSERT_FALSE(read.parsingError());
    CharStyle_HTML html(&read);
    EXPECT_EQ(innerTextOfBlock(html.block()), kWhole);
}

TEST_P(UnicodeInChromium, HtmlWrittenForFileMakersCopyShowsTheWholeText) {
    standin::setAnsiCodePage(GetParam());
    std::u16string wide = utf16(kWhole);
    for (char16_t& c : wide)
        if (c == '\n') c = '\r';
    const std::string ansi = ansiOf(wide);
    CharStyle_FMcs fmcs(ansi.c_str(), 1);
    fmcs.add(0, 12, kFaceBold, 0, 0);
    codepage::ForeignChars foreign;
    ASSERT_TRUE(codepage::foreignCharsOfWideText(ansi, reinterpret_cast<const std::uint16_t*>(wide.data()),
                                                 wide.size(), GetParam(), foreign));
    fmcs.setForeignChars(foreign);
    CharStyle_HTML html(&fmcs);
    EXPECT_EQ(innerTextOfBlock(html.block()), kWhole);
}

INSTANTIATE_TEST_SUITE_P(CodePages, UnicodeInChromium, ::testing::Values(1252u, 1251u, 932u, 65001u),
                         [](const ::testing::TestParamInfo<unsigned>& info) {
                             return "cp" + std::to_string(info.param);
                         });

// The page shows what the tool read: every line end, whichever kind, and
// every character, in the code page's runs and outside them.
TEST(ShowPageInChromium, InnerTextIsTheText) {
    standin::setAnsiCodePage(1251);
    tool::StyledText styled;
    styled.cp = 1251;
    styled.text = "\xCF\xF0\xE8 <b>&\r\nline\rtwo\nthree\t?!";
    styled.foreign = {{static_cast<std::uint32_t>(styled.text.size() - 2), 1, 0x4E2D}};
    styled.runs = {{0, 4, 12, kFaceBold, 0xFF0000}, {4, 12, 12, 0, 0}};
    const std::string page = tool::asHtml(styled, "t");
    const std::size_t start = page.find("<main>") + 6;
    const std::size_t end = page.find("</main>");
    EXPECT_EQ(innerText(page, start, end),
              "\xD0\x9F\xD1\x80\xD0\xB8 <b>&\nline\ntwo\nthree\t\xE4\xB8\xAD!");
    standin::setAnsiCodePage(1252);
}

}  // namespace
