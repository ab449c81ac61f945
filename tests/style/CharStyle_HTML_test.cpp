// "HTML Format": blocks read into text in the ANSI code page with runs
// counted in its bytes, blocks written with one span per run, and both on
// the clipboard.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "html/cf_html.h"
#include "platform/clipboard_control.h"
#include "style/CharStyle_HTML.h"
#include "support/clipboard_fixture.h"
#include "support/recording_style.h"

namespace {

struct HtmlRun {
    std::int32_t pos;
    std::int16_t size;
    std::int16_t face;
    std::uint32_t colour;
    bool operator==(const HtmlRun& o) const {
        return pos == o.pos && size == o.size && face == o.face && colour == o.colour;
    }
};

void PrintTo(const HtmlRun& r, std::ostream* os) {
    *os << "{" << r.pos << ", " << r.size << ", 0x" << std::hex << r.face << ", 0x" << r.colour << std::dec << "}";
}

std::vector<HtmlRun> runsOf(CharStyle& s) {
    std::vector<HtmlRun> out;
    for (std::int32_t i = 0; i < s.count(); ++i) {
        s.selectStyle(i);
        out.push_back(HtmlRun{s.charPos(i), s.getSize(), s.getFace(), s.getRGB()});
    }
    return out;
}

class CharStyleHtml : public ClipboardTest {};

TEST_F(CharStyleHtml, ReadsTextInTheAnsiCodePageWithRunsInItsBytes) {
    const struct {
        const char* name;
        unsigned acp;
        const char* fragment;  // UTF-8
        std::string text;      // in the code page
        std::vector<HtmlRun> runs;
    } cases[] = {
        {"Western",
         1252,
         "caf\xC3\xA9 <b>cr\xC3\xA8me</b>",
         "caf\xE9 cr\xE8me",
         {{0, 12, 0, 0}, {5, 12, kFaceBold, 0}}},
        {"Western best fit and ?",
         1252,
         "\xE2\x80\x9Cq\xE2\x80\x9D <i>\xD0\x96</i>",
         "\x93q\x94 ?",
         {{0, 12, 0, 0}, {4, 12, kFaceItalic, 0}}},
        {"Cyrillic", 1251, "<u>\xD0\x96</u>x", "\xC6x", {{0, 12, kFaceUnderline, 0}, {1, 12, 0, 0}}},
        {"Japanese",
         932,
         "\xE3\x81\x82<b>\xE3\x81\x84</b>",
         "\x82\xA0\x82\xA2",
         {{0, 12, 0, 0}, {2, 12, kFaceBold, 0}}},
        {"Lines", 1252, "<p>a</p><p style='color:red'>b<br>c</p>", "a\r\rb\rc", {{0, 12, 0, 0}, {3, 12, 0, 0xFF0000}}},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        standin::setAnsiCodePage(tc.acp);
        const std::string block = html::makeCfHtml(tc.fragment);
        CharStyle_HTML h(block.data(), block.size());
        EXPECT_FALSE(h.parsingError());
        EXPECT_EQ(h.getText(), tc.text);
        EXPECT_EQ(runsOf(h), tc.runs);
    }
    standin::setAnsiCodePage(1252);
}

TEST_F(CharStyleHtml, WritesEachRunWithWhatDiffersFromTheBlock) {
    RecordingStyle source(
        "a&b<c>\"d'\re\tf  g",
        {{0, 12, 0, 0},
         {1, 9, static_cast<std::int16_t>(kFaceBold | kFaceItalic), 0x123456},
         {7, 30, static_cast<std::int16_t>(kFaceUnderline | kFaceStrikethrough | kFaceSuperscript), 0xFF0000},
         {10, 8, kFaceSubscript, 0}});
    CharStyle_HTML h(&source);
    const std::string block = h.block();
    html::CfHtmlLayout layout;
    ASSERT_TRUE(html::parseCfHtmlHeader(block.data(), block.size(), layout));
    EXPECT_EQ(block.substr(layout.fragmentStart, layout.fragmentEnd - layout.fragmentStart),
              "<div style=\"white-space:pre-wrap;font-weight:normal;font-style:normal;text-decoration:none;"
              "vertical-align:baseline;font-size:8pt;color:#000\">"
              "<span style=font-size:12pt>a</span>"
              "<span style=font-size:9pt;color:#123456><b><i>&amp;b&lt;c&gt;&quot;</i></b></span>"
              "<span style=font-size:30pt;color:#f00;vertical-align:super><u><s>d&#39;<br></s></u></span>"
              "<span style=vertical-align:sub>e\tf  g</span></div>");
    EXPECT_EQ(block.substr(layout.documentStart, 32), "<html><body><!--StartFragment-->");
}

TEST_F(CharStyleHtml, WrittenBlocksReadBackWithTheSameTextAndRuns) {
    const struct {
        const char* name;
        unsigned acp;
        std::string text;
    } cases[] = {
        {"Western", 1252, "  lead\r\rtab\there   &<>\"' \xE9\xFC\x80 end  "},
        {"Greek", 1253, "\xE1\xE2 \xE3\r\xE4"},
        {"Cyrillic", 1251, "\xCF\xF0\xE8\xE2\xE5\xF2 \xEC\xE8\xF0"},
        {"Japanese", 932, "\x82\xA0\x95\x5C x \x82\xA2"},
        {"Chinese", 936, "\xC4\xE3\xBA\xC3 y"},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        standin::setAnsiCodePage(tc.acp);
        const std::int32_t half = static_cast<std::int32_t>(tc.text.size() / 2 / 2 * 2);
        RecordingStyle source(tc.text,
                              {{0, 10, kFaceBold, 0x00AA00}, {half, 24, kFaceSubscript | kFaceItalic, 0x0000FF}});
        CharStyle_HTML written(&source);
        const std::string block = written.block();
        CharStyle_HTML read(block.data(), block.size());
        EXPECT_FALSE(read.parsingError());
        EXPECT_EQ(read.getText(), tc.text);
        EXPECT_EQ(runsOf(read), runsOf(written));
    }
    standin::setAnsiCodePage(1252);
}

TEST_F(CharStyleHtml, RefusedBlocksGiveAContainerMarkedAsSuch) {
    const std::string bad =
        "Version:0.9\r\nStartHTML:-1\r\nEndHTML:-1\r\nStartFragment:500\r\nEndFragment:600\r\n<b>x</b>";
    CharStyle_HTML h(bad.data(), bad.size());
    EXPECT_TRUE(h.parsingError());
    EXPECT_EQ(h.count(), 0);
    EXPECT_EQ(h.getText(), "");
}

TEST_F(CharStyleHtml, ClipboardReadAndWrite) {
    EXPECT_FALSE(CharStyle_HTML::clipboardHasStyle());
    EXPECT_EQ(CharStyle_HTML::InitFromClipboard(), nullptr);

    const std::string block = html::makeCfHtml("<i>slanted</i>");
    put(format(CharStyle_HTML::kFormatName), block);
    ASSERT_TRUE(CharStyle_HTML::clipboardHasStyle());
    std::unique_ptr<CharStyle_HTML> h(CharStyle_HTML::InitFromClipboard());
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->getText(), "slanted");
    EXPECT_EQ(runsOf(*h), (std::vector<HtmlRun>{{0, 12, kFaceItalic, 0}}));

    // Unchanged, the block goes back as it was read; changed, it is written anew.
    standin::reset();
    EXPECT_TRUE(h->addStyleToClipboard());
    EXPECT_EQ(held(format(CharStyle_HTML::kFormatName)), block + std::string(1, '\0'));
    h->setText("new");
    h->add(0, 14, kFaceBold, 0, 0);
    standin::reset();
    EXPECT_TRUE(h->addStyleToClipboard());
    const std::string written = held(format(CharStyle_HTML::kFormatName));
    EXPECT_NE(written.find("font-size:14pt;color:#000\"><b>new</b></div>"), std::string::npos) << written;
    EXPECT_EQ(written.back(), '\0');
}

// A container told not to keep the block it read holds no copy of it, and
// writes one of its own from the text and runs.
TEST_F(CharStyleHtml, ReadWithoutKeepingTheBlock) {
    const std::string block = html::makeCfHtml("<p><i>slanted</i></p>");
    put(format(CharStyle_HTML::kFormatName), block);
    std::unique_ptr<CharStyle_HTML> h(CharStyle_HTML::InitFromClipboard(CharStyle_HTML::ReadBlock::notKept));
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->getText(), "slanted");
    EXPECT_EQ(runsOf(*h), (std::vector<HtmlRun>{{0, 12, kFaceItalic, 0}}));
    standin::reset();
    EXPECT_TRUE(h->addStyleToClipboard());
    const std::string written = held(format(CharStyle_HTML::kFormatName));
    EXPECT_NE(written, block + std::string(1, '\0'));
    EXPECT_NE(written.find("color:#000\"><i>slanted</i></div>"), std::string::npos) << written;
}

TEST_F(CharStyleHtml, WriteFailuresLeaveTheClipboardAsItWas) {
    RecordingStyle source("x", {{0, 12, 0, 0}});
    CharStyle_HTML h(&source);
    expectWriteFailuresLeaveTheClipboardAsItWas([&] { return h.addStyleToClipboard(); });
}

}  // namespace
