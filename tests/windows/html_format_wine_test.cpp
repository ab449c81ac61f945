// "HTML Format" on Wine's clipboard, as a browser leaves it: the block
// beside CF_UNICODETEXT and nothing else. StyledClipboard makes the text,
// "Mac-FMcs", RTF and "HTML Format" of it, and the RTF shows in RichEdit
// with the runs the block has.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/plugin_driver.h"
#include "html/cf_html.h"
#include "style/CharStyle_FMcs.h"
#include "style/CharStyle_HTML.h"
#include "windows/richedit.h"

namespace {

std::string heldUpToNul(UINT format) {
    std::string bytes;
    if (!OpenClipboard(nullptr)) return bytes;
    HANDLE h = GetClipboardData(format);
    if (h != nullptr) {
        const char* p = static_cast<const char*>(GlobalLock(h));
        if (p != nullptr) bytes.assign(p, GlobalSize(h));
        GlobalUnlock(h);
    }
    CloseClipboard();
    return bytes.substr(0, bytes.find('\0'));
}

bool has(const char* name) { return IsClipboardFormatAvailable(RegisterClipboardFormatA(name)) != FALSE; }

// Puts the bytes (and a NUL) on the clipboard under `format`, beside what it holds.
bool put(UINT format, const void* data, std::size_t size) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
    if (h == nullptr) return false;
    std::memcpy(GlobalLock(h), data, size);
    GlobalUnlock(h);
    if (!OpenClipboard(nullptr)) {
        GlobalFree(h);
        return false;
    }
    const bool ok = SetClipboardData(format, h) != nullptr;
    if (!ok) GlobalFree(h);
    CloseClipboard();
    return ok;
}

// What a browser leaves after a copy: the block, and the text as UTF-16.
bool putAsABrowserDoes(const std::string& fragment, const std::wstring& text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    CloseClipboard();
    const std::string block = html::makeCfHtml(fragment);
    return put(RegisterClipboardFormatA("HTML Format"), block.c_str(), block.size() + 1) &&
           put(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

class HtmlFormatWineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(plugin.load(STYLEDTEXT_PLUGIN)) << plugin.error();
        ASSERT_EQ(plugin.initialise(50), 50);
    }
    void TearDown() override { plugin.shutdown(); }
    fmx::errcode styledClipboard() {
        fmhost::CallResult r = plugin.call(u"StyledClipboard");
        EXPECT_TRUE(r.found);
        return r.error;
    }
    fmhost::PluginDriver plugin;
};

TEST_F(HtmlFormatWineTest, BrowserCopyBecomesEveryFormatAndRichEditShowsItsRuns) {
    ASSERT_TRUE(
        putAsABrowserDoes("<p>Plain <b>bold</b> <i style=\"color:#00AA00\">green italic</i></p>"
                          "<p><span style=\"font-size:18pt;text-decoration:underline\">big under</span> "
                          "<s>struck</s> x<sup>2</sup> H<sub>2</sub>O caf\xC3\xA9</p>",
                          L"Plain bold green italic\r\n\r\nbig under struck x2 H2O caf\u00E9"));
    EXPECT_EQ(styledClipboard(), 0);
    EXPECT_TRUE(has("Mac-FMcs"));
    EXPECT_TRUE(has("Rich Text Format"));
    EXPECT_TRUE(has("HTML Format"));
    const std::string text = heldUpToNul(CF_TEXT);
    EXPECT_EQ(text, "Plain bold green italic\r\rbig under struck x2 H2O caf\xE9");

    std::unique_ptr<CharStyle_HTML> html(CharStyle_HTML::InitFromClipboard());
    ASSERT_NE(html, nullptr);
    ASSERT_FALSE(html->parsingError());
    EXPECT_EQ(html->getText(), text);
    std::unique_ptr<CharStyle_FMcs> fmcs(CharStyle_FMcs::InitFromClipboard());
    ASSERT_NE(fmcs, nullptr);
    EXPECT_EQ(fmcs->count(), html->count());

    RichEdit edit;
    ASSERT_TRUE(edit.ok());
    edit.resetFormat();
    edit.streamIn(heldUpToNul(RegisterClipboardFormatA("Rich Text Format")));
    EXPECT_EQ(edit.text(), text);
    ASSERT_GT(html->count(), 8);
    for (std::int32_t i = 0; i < html->count(); ++i) {
        html->selectStyle(i);
        const std::int32_t at = html->charPos(i);
        if (text[static_cast<std::size_t>(at)] == '\r' || text[static_cast<std::size_t>(at)] == ' ') continue;
        SCOPED_TRACE("run " + std::to_string(i) + " at " + std::to_string(at));
        const CHARFORMAT2A f = edit.formatAt(at);
        // As in the RTF comparison: Wine's RichEdit may keep an attribute past
        // its group, so the attributes a run has are compared, and size and colour whole.
        const struct {
            bool has;
            DWORD effect;
        } kEffects[] = {{html->isBold(), CFE_BOLD},
                        {html->isItalic(), CFE_ITALIC},
                        {html->isUnderline(), CFE_UNDERLINE},
                        {html->isStrikethrough(), CFE_STRIKEOUT},
                        {html->isSuperscript(), CFE_SUPERSCRIPT},
                        {html->isSubscript(), CFE_SUBSCRIPT}};
        for (const auto& e : kEffects) {
            if (e.has) {
                EXPECT_NE(f.dwEffects & e.effect, 0u) << "effect " << e.effect;
            }
        }
        EXPECT_EQ(f.yHeight, html->getSize() * 20);
        const std::uint32_t rgb = html->getRGB();
        if (rgb != 0) {
            EXPECT_EQ(f.crTextColor, RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
        }
    }
}

TEST_F(HtmlFormatWineTest, RefusedBlockLeavesTheClipboardAsItWas) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    const std::string bad = "Version:0.9\r\nStartHTML:-1\r\nEndHTML:-1\r\nStartFragment:500\r\nEndFragment:900\r\nx";
    ASSERT_TRUE(put(RegisterClipboardFormatA("HTML Format"), bad.c_str(), bad.size() + 1));
    const std::wstring text = L"x";
    ASSERT_TRUE(put(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t)));
    EXPECT_EQ(styledClipboard(), 0);
    EXPECT_FALSE(has("Mac-FMcs"));
    EXPECT_FALSE(has("Rich Text Format"));
    EXPECT_EQ(heldUpToNul(RegisterClipboardFormatA("HTML Format")), bad);
}

}  // namespace
