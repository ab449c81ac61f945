// StyledClipboard with "HTML Format": read as a source where the others are
// missing, converted into where it is missing, and written after RTF.
#include <gtest/gtest.h>

#include <memory>

#include "html/cf_html.h"
#include "plugin/functions.h"
#include "style/CharStyle_FMcs.h"
#include "style/CharStyle_HTML.h"
#include "style/CharStyle_RTF.h"
#include "style/background_block.h"
#include "support/clipboard_fixture.h"
#include "support/sample_blocks.h"

namespace {

const char kFMcs[] = "Mac-FMcs";
const char kStyl[] = "Mac-styl";
const char kRtf[] = "Rich Text Format";
const char kHtml[] = "HTML Format";

class StyledClipboardHtmlTest : public ClipboardTest {
  protected:
    static void call() { EXPECT_EQ(Do_StyledClipboard(kFunctionStyledClipboard, nullptr, nullptr, nullptr), 0); }
    static std::vector<UINT> allFour() { return sorted({CF_TEXT, format(kFMcs), format(kRtf), format(kHtml)}); }
    static std::string textOf(CharStyle* s) { return s != nullptr ? s->getText() : "<none>"; }
    // The text and first run's face of the formats read back.
    static std::string fmcsText() {
        std::unique_ptr<CharStyle_FMcs> f(CharStyle_FMcs::InitFromClipboard());
        return textOf(f.get());
    }
    static std::string rtfText() {
        std::unique_ptr<CharStyle_RTF> r(CharStyle_RTF::InitFromClipboard());
        return textOf(r.get());
    }
    // The bytes of a block made and not put on the clipboard, which goes.
    static std::string takeBytes(HGLOBAL made) {
        if (made == nullptr) return "<no block>";
        const std::string bytes(static_cast<const char*>(GlobalLock(made)), GlobalSize(made));
        GlobalUnlock(made);
        GlobalFree(made);
        return bytes;
    }
    static std::string htmlText() {
        std::unique_ptr<CharStyle_HTML> h(CharStyle_HTML::InitFromClipboard());
        return textOf(h.get());
    }
};

TEST_F(StyledClipboardHtmlTest, HtmlAsABrowserLeavesItBecomesEveryFormat) {
    const std::string block =
        html::makeCfHtml("<p>one <b>two</b></p><p style=\"color:#ff0000;font-size:18pt\">three</p>");
    put(format(kHtml), block + '\0');
    putText("one two\r\n\r\nthree");
    call();
    EXPECT_EQ(heldFormats(), allFour());
    EXPECT_EQ(held(CF_TEXT), std::string("one two\r\rthree", 15));
    EXPECT_EQ(held(format(kHtml)), block + '\0') << "the browser's block goes back as it was";
    std::unique_ptr<CharStyle_FMcs> fmcs(CharStyle_FMcs::InitFromClipboard());
    ASSERT_NE(fmcs, nullptr);
    ASSERT_EQ(fmcs->count(), 3);
    fmcs->selectStyle(1);
    EXPECT_EQ(fmcs->charPos(1), 4);
    EXPECT_TRUE(fmcs->isBold());
    fmcs->selectStyle(2);
    EXPECT_EQ(fmcs->getSize(), 18);
    EXPECT_EQ(fmcs->getRGB(), 0xFF0000u);
    const std::string rtf = held(format(kRtf));
    EXPECT_NE(rtf.find("\\b two"), std::string::npos);
    EXPECT_NE(rtf.find("\\fs36 three"), std::string::npos);
}

TEST_F(StyledClipboardHtmlTest, SourcesAreTakenInOrderOfPreference) {
    const std::string htmlBlock = html::makeCfHtml("from <i>html</i>") + '\0';
    const std::string rtf = "{\\rtf1 from {\\b rtf}}";
    const struct {
        const char* name;
        bool fmcs, rtf, html, styl;
        const char* fmcsText;
        const char* rtfText;
        const char* htmlText;
    } cases[] = {
        {"RTF before HTML for FileMaker", false, true, true, false, "from rtf", "from rtf", "from html"},
        {"HTML before the scrap for FileMaker and RTF", false, false, true, true, "from html", "from html",
         "from html"},
        {"FileMaker before RTF for HTML", true, true, false, false, "abc", "from rtf", "abc"},
        {"FileMaker before HTML for RTF", true, false, true, false, "abc", "abc", "from html"},
        {"RTF before the scrap for HTML", false, true, false, true, "from rtf", "from rtf", "from rtf"},
        {"the scrap for HTML", false, false, false, true, "ab\rcd", "ab\ncd", "ab\rcd"},  // RTF reads \\par as LF
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        standin::reset();
        if (tc.fmcs) {
            putText("abc");
            put(format(kFMcs), samples::abcFileMakerBlock());
        }
        if (tc.styl) {
            if (!tc.fmcs) putText("ab\r\ncd");
            put(format(kStyl), samples::styleScrapBlock());
        }
        if (tc.rtf) put(format(kRtf), rtf + '\0');
        if (tc.html) put(format(kHtml), htmlBlock);
        call();
        std::vector<UINT> expected = allFour();
        if (tc.styl) expected.push_back(format(kStyl));  // the copy's own, kept
        EXPECT_EQ(heldFormats(), sorted(expected));
        EXPECT_EQ(fmcsText(), tc.fmcsText);
        EXPECT_EQ(rtfText(), tc.rtfText);
        EXPECT_EQ(htmlText(), tc.htmlText);
    }
}

TEST_F(StyledClipboardHtmlTest, RefusedBlocksCountAsAbsent) {
    const std::string bad = "Version:0.9\r\nStartHTML:-1\r\nEndHTML:-1\r\nStartFragment:9999\r\nEndFragment:10000\r\nx";
    // Alone, with its text: the clipboard is left exactly as it was.
    put(format(kHtml), bad);
    putText("x");
    const std::vector<UINT> before = standin::formats();
    call();
    EXPECT_EQ(standin::formats(), before);
    EXPECT_EQ(standin::timesEmptied(), 0);
    // Beside a FileMaker block: replaced by one converted from it.
    standin::reset();
    putText("abc");
    put(format(kFMcs), samples::abcFileMakerBlock());
    put(format(kHtml), bad);
    call();
    EXPECT_EQ(heldFormats(), allFour());
    EXPECT_EQ(htmlText(), "abc");
}

TEST_F(StyledClipboardHtmlTest, FragmentsWithoutTextCountAsAbsent) {
    // A browser's copy of an image: the block shows no text.
    put(format(kHtml), html::makeCfHtml("<img src=\"https://example.com/a.png\" alt=\"a\">") + '\0');
    put(format("PNG"), std::string("\x89PNG", 4));
    const std::vector<UINT> before = standin::formats();
    call();
    EXPECT_EQ(standin::formats(), before);
    EXPECT_EQ(standin::timesEmptied(), 0);
}

TEST_F(StyledClipboardHtmlTest, HtmlWrittenFromFileMakerKeepsEveryRun) {
    putText("abc");
    put(format(kFMcs), samples::abcFileMakerBlock());
    call();
    std::unique_ptr<CharStyle_FMcs> fmcs(CharStyle_FMcs::InitFromClipboard());
    std::unique_ptr<CharStyle_HTML> h(CharStyle_HTML::InitFromClipboard());
    ASSERT_NE(fmcs, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->getText(), fmcs->getText());
    ASSERT_EQ(h->count(), fmcs->count());
    for (std::int32_t i = 0; i < h->count(); ++i) {
        SCOPED_TRACE(i);
        h->selectStyle(i);
        fmcs->selectStyle(i);
        EXPECT_EQ(h->charPos(i), fmcs->charPos(i));
        EXPECT_EQ(h->getFace(), fmcs->getFace());
        EXPECT_EQ(h->getSize(), fmcs->getSize());
        EXPECT_EQ(h->getRGB(), fmcs->getRGB());
    }
}

// The block a browser put stays byte for byte, bytes after its NUL and all:
// the call has nothing to add to it.
TEST_F(StyledClipboardHtmlTest, HtmlReadStaysAsTheBrowserWroteIt) {
    const std::string block = html::makeCfHtml("<b>kept</b>") + std::string("\0after", 6);
    put(format(kHtml), block);
    call();
    EXPECT_EQ(heldFormats(), sorted({CF_TEXT, format(kFMcs), format(kRtf), format(kHtml)}));
    EXPECT_EQ(held(format(kHtml)), block);
    EXPECT_EQ(fmcsText(), "kept");
}

// A copy large enough to have its "HTML Format" block written on a second
// thread gets the block that writing it on this one would give, and the
// other formats as ever; a browser's large block goes back as it was.
TEST_F(StyledClipboardHtmlTest, LargeCopiesGetTheirHtmlBlockWhole) {
    const std::string rtf = samples::largeStyledRtf();
    const CharStyle_RTF read(rtf.c_str(), rtf.size());
    ASSERT_GE(read.heldText().size(), clipboard::kBackgroundTextBytes);
    const std::string written = takeBytes(CharStyle_HTML::newBlock(read.heldText(), read.runs(), read.foreignChars()));

    put(format(kRtf), rtf + '\0');
    call();
    EXPECT_EQ(heldFormats(), sorted({CF_TEXT, CF_UNICODETEXT, format(kFMcs), format(kRtf), format(kHtml)}));
    // Compared whole, without printing a hundred kilobytes when they differ.
    EXPECT_TRUE(held(format(kHtml)) == written);
    EXPECT_TRUE(rtfText() == read.heldText());

    standin::reset();
    put(format(kHtml), written);
    call();
    EXPECT_TRUE(held(format(kHtml)) == written) << "the browser's block goes back as it was";
    EXPECT_TRUE(rtfText() == read.heldText());
}

// For a copy that came as "HTML Format" alone, the RTF is written straight
// from the HTML container: it must be the document a container converted
// from it writes, line ends and characters beyond the code page included.
TEST_F(StyledClipboardHtmlTest, RtfFromHtmlAloneIsTheConvertedContainers) {
    const char* const fragments[] = {
        "a&#13;&#10;b&#13;c&#10;d", "<pre>x\r\ny\rz\n</pre>", "caf&eacute; <b>&#20013;</b> &#x1F600;!",
        "<p>one</p><p style=\"color:#c00;font-size:20pt\">two<br>three</p>",
    };
    for (const char* fragment : fragments) {
        SCOPED_TRACE(fragment);
        standin::reset();
        const std::string block = html::makeCfHtml(fragment) + '\0';
        CharStyle_HTML read(block.data(), block.size());
        CharStyle_RTF converted(&read);
        const std::string expected = takeBytes(converted.newBlock());
        put(format(kHtml), block);
        call();
        EXPECT_EQ(held(format(kRtf)), expected);
    }
    standin::reset();
    const std::string large = html::makeCfHtml(samples::largeStyledHtmlFragment()) + '\0';
    CharStyle_HTML read(large.data(), large.size());
    CharStyle_RTF converted(&read);
    const std::string expected = takeBytes(converted.newBlock());
    put(format(kHtml), large);
    call();
    EXPECT_TRUE(held(format(kRtf)) == expected) << "written on a second thread";
}

}  // namespace
