// The plug-in as FileMaker runs it: the real module loaded by the host
// emulator's driver, StyledClipboard called against Wine's clipboard.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/plugin_driver.h"
#include "style/CharStyle_FMcs.h"
#include "style/CharStyle_HTML.h"
#include "style/CharStyle_RTF.h"
#include "support/sample_blocks.h"
#include "windows/richedit.h"

namespace {

std::string held(UINT format) {
    std::string bytes;
    if (!OpenClipboard(nullptr)) return bytes;
    HANDLE h = GetClipboardData(format);
    if (h != nullptr) {
        const char* p = static_cast<const char*>(GlobalLock(h));
        if (p != nullptr) bytes.assign(p, GlobalSize(h));
        GlobalUnlock(h);
    }
    CloseClipboard();
    return bytes;
}

bool has(const char* name) { return IsClipboardFormatAvailable(RegisterClipboardFormatA(name)) != FALSE; }

class StyledClipboardE2ETest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(plugin.load(STYLEDTEXT_PLUGIN)) << plugin.error();
        ASSERT_EQ(plugin.initialise(50), 50);
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        CloseClipboard();
    }
    void TearDown() override { plugin.shutdown(); }

    fmx::errcode styledClipboard() {
        fmhost::CallResult r = plugin.call(u"StyledClipboard");
        EXPECT_TRUE(r.found);
        return r.error;
    }

    fmhost::PluginDriver plugin;
    const UINT fmcs = RegisterClipboardFormatA("Mac-FMcs");
    const UINT rtf = RegisterClipboardFormatA("Rich Text Format");
};

TEST_F(StyledClipboardE2ETest, FileMakerCopyGainsRtfThatRichEditShowsStyled) {
    ASSERT_TRUE(samples::putAbcFileMaker());
    EXPECT_EQ(styledClipboard(), 0);

    // Windows may round a block up; the bytes we wrote come first.
    const auto& block = samples::abcFileMakerBlock();
    EXPECT_EQ(held(fmcs).substr(0, block.size()), std::string(block.begin(), block.end()));
    EXPECT_EQ(held(CF_TEXT).substr(0, 4), std::string("abc", 4));
    const std::string written = held(rtf);
    EXPECT_EQ(written.substr(0, written.find('\0')), samples::kAbcRtf);
    EXPECT_FALSE(has("Mac-styl"));

    // Paste side: the RTF left on the clipboard shows the block's styles.
    RichEdit edit;
    ASSERT_TRUE(edit.ok());
    edit.resetFormat();
    edit.streamIn(written.substr(0, written.find('\0')));
    EXPECT_EQ(edit.text(), "abc");
    CHARFORMAT2A a = edit.formatAt(0);
    EXPECT_TRUE(a.dwEffects & CFE_BOLD);
    EXPECT_EQ(a.yHeight, 240);
    CHARFORMAT2A c = edit.formatAt(2);
    EXPECT_EQ(c.crTextColor, RGB(255, 0, 0));
}

TEST_F(StyledClipboardE2ETest, RtfCopyGainsTextAndFileMakerBlock) {
    ASSERT_TRUE(samples::putRtf(samples::kStyledRtf));
    EXPECT_EQ(styledClipboard(), 0);
    EXPECT_TRUE(has("Mac-FMcs"));
    const std::string text = held(CF_TEXT);
    EXPECT_EQ(text.substr(0, text.find('\0')), "abc\rd");

    std::unique_ptr<CharStyle_FMcs> read(CharStyle_FMcs::InitFromClipboard());
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->count(), 3);
    read->selectStyle(1);
    EXPECT_EQ(read->charPos(1), 1);
    EXPECT_TRUE(read->isBold());
    EXPECT_EQ(read->getRGB(), 0xFF0000u);
    EXPECT_EQ(read->getSize(), 10);
}

TEST_F(StyledClipboardE2ETest, StyleScrapGainsBothAndIsKept) {
    ASSERT_TRUE(samples::putStyleScrap());
    const std::string scrap = held(RegisterClipboardFormatA("Mac-styl"));
    EXPECT_EQ(styledClipboard(), 0);
    EXPECT_TRUE(has("Mac-FMcs"));
    EXPECT_TRUE(has("Rich Text Format"));
    EXPECT_EQ(held(RegisterClipboardFormatA("Mac-styl")), scrap) << "the copy's own format stays";
    const std::string written = held(rtf);
    EXPECT_NE(written.find("{\\cf1\\fs24\\b ab\\par c}{\\cf2\\fs36\\i d}}"), std::string::npos) << written;
}

TEST_F(StyledClipboardE2ETest, TenMegabyteRtfDocument) {
    // Three styled words a group; about 10 MB.
    std::string doc = "{\\rtf1\\ansi{\\colortbl;\\red200\\green10\\blue10;}";
    const std::string unit = "{\\b bold }{\\i\\cf1 italic }{\\ul\\fs30 under }plain ";
    long units = 0;
    while (doc.size() < 10 * 1000 * 1000) {
        doc += unit;
        ++units;
    }
    doc += "}";
    ASSERT_TRUE(samples::putRtf(doc));
    EXPECT_EQ(styledClipboard(), 0);

    std::unique_ptr<CharStyle_FMcs> read(CharStyle_FMcs::InitFromClipboard());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->count(), 4 * units) << "one run per group and one for the plain words";
    EXPECT_EQ(read->getText().size(), static_cast<size_t>(units) * 24);
    std::unique_ptr<CharStyle_RTF> back(CharStyle_RTF::InitFromClipboard());
    ASSERT_NE(back, nullptr);
    EXPECT_FALSE(back->parsingError());
    EXPECT_EQ(back->getText().size(), static_cast<size_t>(units) * 24);
    // Written on a second thread, with Wine's own threads and memory calls.
    std::unique_ptr<CharStyle_HTML> html(CharStyle_HTML::InitFromClipboard());
    ASSERT_NE(html, nullptr);
    EXPECT_FALSE(html->parsingError());
    EXPECT_EQ(html->count(), 4 * units);
    EXPECT_TRUE(html->heldText() == back->getText());
}

TEST_F(StyledClipboardE2ETest, FileMakerBlockWithOneHundredThousandRuns) {
    constexpr std::int32_t kRuns = 100000;
    std::string text;
    for (std::int32_t i = 0; i < kRuns; ++i) text += "ab";
    CharStyle_FMcs source(text.c_str(), kRuns);
    for (std::int32_t i = 0; i < kRuns; ++i)
        source.add(2 * i, static_cast<std::int16_t>(8 + i % 30), static_cast<std::int16_t>(i % 2 ? kFaceBold : 0),
                   static_cast<std::uint32_t>(i % 7) * 0x112233u, 0);
    ASSERT_TRUE(source.addTextToClipboard());
    ASSERT_TRUE(source.addStyleToClipboard());
    EXPECT_EQ(styledClipboard(), 0);

    std::unique_ptr<CharStyle_RTF> back(CharStyle_RTF::InitFromClipboard());
    ASSERT_NE(back, nullptr);
    EXPECT_FALSE(back->parsingError());
    EXPECT_EQ(back->getText(), text);
    EXPECT_EQ(back->count(), kRuns);
    back->selectStyle(kRuns - 1);
    EXPECT_EQ(back->charPos(kRuns - 1), 2 * (kRuns - 1));
    EXPECT_TRUE(back->isBold());
    EXPECT_EQ(back->getSize(), 8 + (kRuns - 1) % 30);
}

}  // namespace
