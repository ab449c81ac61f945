// StyledClipboard adds and never takes away: on systems whose ANSI code page
// is Western, Cyrillic, Japanese or UTF-8, copies like a browser's, Word's and
// FileMaker's, holding text in five scripts beside formats the call does not
// write. Afterwards every kept format has its bytes, CF_UNICODETEXT holds the
// whole text, and the RTF and "HTML Format" written give it back whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "codepage/code_page.h"
#include "html/cf_html.h"
#include "plugin/functions.h"
#include "plugin/interface.h"
#include "style/CharStyle_FMcs.h"
#include "style/CharStyle_HTML.h"
#include "style/CharStyle_RTF.h"
#include "style/unicode_text.h"
#include "support/clipboard_fixture.h"
#include "support/sample_blocks.h"
#include "support/unicode_strings.h"

namespace {

using namespace unicode_strings;

// Latin, Cyrillic, Greek, Chinese and an emoji, over two lines.
const std::string kWhole = "Caf\xC3\xA9 \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\n"
                           "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1 \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80";
const std::string kFirstLine = "Caf\xC3\xA9 \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
const std::string kSecondLine = "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1 \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80";

const UINT kCodePages[] = {1252, 1251, 932, 65001};

constexpr UINT kDib = 8;
constexpr UINT kEnhMetafile = 14;

class StyledClipboardUnicodeTest : public ClipboardTest {
  protected:
    using Snapshot = std::vector<std::pair<UINT, std::vector<unsigned char>>>;

    static void call() {
        fmx::Data* result = FMHost_NewData();
        EXPECT_EQ(Do_StyledClipboard(kFunctionStyledClipboard, nullptr, nullptr, result), 0);
        FMHost_DeleteData(result);
    }
    static Snapshot keptFormats() {
        Snapshot kept;
        const UINT written[] = {CF_TEXT, CF_UNICODETEXT, format("Mac-FMcs"), format("Rich Text Format"),
                                format("HTML Format")};
        for (UINT f : standin::formats())
            if (std::find(std::begin(written), std::end(written), f) == std::end(written))
                kept.emplace_back(f, standin::data(f));
        return kept;
    }
    static std::u16string heldUnicode() {
        const std::vector<unsigned char> bytes = standin::data(CF_UNICODETEXT);
        std::u16string wide;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            const char16_t unit = static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);
            if (unit == 0) break;
            wide.push_back(unit);
        }
        return wide;
    }
    // The whole text of a container: its bytes with its foreign characters.
    static std::string wholeTextOf(CharStyle& style) {
        return lf(utf8(unicodeText(style.getText(), codepage::ansiCodePage(), &style.foreignChars())));
    }
    static std::string rtfWholeText() {
        const std::string rtf = held(format("Rich Text Format"));
        CharStyle_RTF read(rtf.data(), rtf.size());
        EXPECT_FALSE(read.parsingError());
        return wholeTextOf(read);
    }
    static std::string htmlWholeText() {
        const std::string block = held(format("HTML Format"));
        CharStyle_HTML read(block.data(), block.size());
        EXPECT_FALSE(read.parsingError());
        return wholeTextOf(read);
    }
    static std::string ansiOf(const std::u16string& wide) {
        const WCHAR* w = reinterpret_cast<const WCHAR*>(wide.data());
        const int n = WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
        std::string bytes(static_cast<std::size_t>(n), '\0');
        WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(wide.size()), &bytes[0], n, nullptr, nullptr);
        return bytes;
    }
};

TEST_F(StyledClipboardUnicodeTest, EveryKindOfCopyKeepsItsFormatsAndItsWholeText) {
    const std::u16string wide = utf16("Caf\xC3\xA9 \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\r\n" + kSecondLine);
    const struct {
        const char* name;
        void (*put)(const std::u16string& wide);
        bool htmlWritten;  // false: the browser's own block stays
    } kinds[] = {
        {"a browser's copy",
         [](const std::u16string& wide) {
             const std::string block =
                 html::makeCfHtml("<p>Caf\xC3\xA9 <b>\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82</b><br>" +
                                  kSecondLine + "</p>");
             samples::put(RegisterClipboardFormatA("HTML Format"), block.c_str(), block.size() + 1);
             const std::vector<unsigned char> u = clipboardBytes(wide);
             samples::put(CF_UNICODETEXT, u.data(), u.size());
             samples::putKeptFormats();
         },
         false},
        {"Word's copy",
         [](const std::u16string& wide) {
             const std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\uc1{\\fonttbl{\\f0 Calibri;}}\\f0 " +
                                     rtfEscaped("Caf\xC3\xA9 ") + "{\\b " +
                                     rtfEscaped("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82") + "}\\par " +
                                     rtfEscaped(kSecondLine) + "}";
             samples::putRtf(rtf);
             const std::vector<unsigned char> u = clipboardBytes(wide);
             samples::put(CF_UNICODETEXT, u.data(), u.size());
             const unsigned char emf[] = {1, 0, 0, 0, 0x6C, 0, 0, 0, ' ', 'E', 'M', 'F', 9, 8, 7};
             samples::put(kEnhMetafile, emf, sizeof emf);
             samples::putKeptFormats();
         },
         true},
        {"FileMaker's copy",
         [](const std::u16string& wide) {
             const std::vector<unsigned char> u = clipboardBytes(wide);
             samples::put(CF_UNICODETEXT, u.data(), u.size());
             const std::string ansi = ansiOf(wide);
             samples::putText(ansi);
             CharStyle_FMcs fmcs(ansi.c_str(), 2);
             fmcs.add(0, 12, 0, 0, 0);
             fmcs.add(5, 14, kFaceBold, 0xFF0000, 0);
             ASSERT_TRUE(fmcs.addStyleToClipboard());
         },
         true},
    };
    for (UINT cp : kCodePages) {
        for (const auto& kind : kinds) {
            SCOPED_TRACE(std::string(kind.name) + " in code page " + std::to_string(cp));
            standin::reset();
            standin::setAnsiCodePage(cp);
            kind.put(wide);
            const Snapshot kept = keptFormats();
            const std::vector<unsigned char> html = standin::data(format("HTML Format"));
            call();
            EXPECT_EQ(keptFormats(), kept) << "every format the call does not write, with its bytes";
            EXPECT_EQ(heldUnicode(), wide) << "the program's own Unicode text";
            EXPECT_EQ(rtfWholeText(), lf(kWhole));
            EXPECT_EQ(htmlWholeText(), lf(kWhole));
            if (!kind.htmlWritten) {
                EXPECT_EQ(standin::data(format("HTML Format")), html);
            }
            std::unique_ptr<CharStyle_FMcs> fmcs(CharStyle_FMcs::InitFromClipboard());
            ASSERT_NE(fmcs, nullptr);
            EXPECT_EQ(fmcs->getText().find('\0'), std::string::npos);
            EXPECT_EQ(standin::timesEmptied(), 0);
        }
    }
    standin::setAnsiCodePage(1252);
}

TEST_F(StyledClipboardUnicodeTest, RtfAloneGainsTheUnicodeTextItsCodePageCannotCarry) {
    for (UINT cp : kCodePages) {
        SCOPED_TRACE(cp);
        standin::reset();
        standin::setAnsiCodePage(cp);
        samples::putRtf("{\\rtf1\\ansi\\uc1 " + rtfEscaped(kFirstLine) + "\\par {\\i " + rtfEscaped(kSecondLine) + "}}");
        call();
        if (cp == 65001) {
            // CF_TEXT holds every character: what Windows makes of it will do.
            EXPECT_TRUE(standin::data(CF_UNICODETEXT).empty());
            EXPECT_EQ(held(CF_TEXT), kFirstLine + "\r" + kSecondLine + '\0');
        } else {
            EXPECT_EQ(lf(utf8(heldUnicode())), lf(kWhole));
            EXPECT_EQ(ansiOf(heldUnicode()) + '\0', held(CF_TEXT)) << "the text beside FileMaker's block";
        }
        EXPECT_EQ(htmlWholeText(), lf(kWhole));
        std::unique_ptr<CharStyle_FMcs> fmcs(CharStyle_FMcs::InitFromClipboard());
        ASSERT_NE(fmcs, nullptr);
        fmcs->readForeignFromClipboard();
        EXPECT_EQ(wholeTextOf(*fmcs), lf(kWhole)) << "FileMaker's text with the Unicode text beside it";
    }
    standin::setAnsiCodePage(1252);
}

TEST_F(StyledClipboardUnicodeTest, TextTheCodePageHoldsGetsNoUnicodeTextOfOurs) {
    samples::putRtf("{\\rtf1\\ansi caf\\'e9 {\\b bold}}");
    call();
    EXPECT_TRUE(standin::data(CF_UNICODETEXT).empty()) << "the one Windows makes from CF_TEXT is whole";
    EXPECT_EQ(held(format("Rich Text Format")).find("\\u"), std::string::npos);
}

TEST_F(StyledClipboardUnicodeTest, AUnicodeTextThatIsNotTheTextBesideTheFileMakerBlockIsLeftOut) {
    // Another text than CF_TEXT's: it tells nothing of CF_TEXT's characters.
    const std::vector<unsigned char> other = clipboardBytes(utf16("other \xE4\xB8\xAD"));
    samples::put(CF_UNICODETEXT, other.data(), other.size());
    samples::putAbcFileMaker();
    call();
    EXPECT_EQ(held(format("Rich Text Format")), std::string(samples::kAbcRtf) + '\0');
    EXPECT_EQ(standin::data(CF_UNICODETEXT), other);
}

TEST_F(StyledClipboardUnicodeTest, FormatsPromisedByTheCopyingProgramStayPromised) {
    const UINT privateFormat = format("Word Private");
    const std::vector<unsigned char> privateBytes = {1, 2, 3, 4};
    long rendered = 0;
    standin::setRenderer([&](UINT f) {
        ++rendered;
        if (f == privateFormat) {
            HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, privateBytes.size());
            std::copy(privateBytes.begin(), privateBytes.end(), static_cast<unsigned char*>(GlobalLock(h)));
            GlobalUnlock(h);
            SetClipboardData(f, h);
        }
    });
    samples::putRtf("{\\rtf1 " + rtfEscaped(kWhole) + "}");
    ASSERT_TRUE(OpenClipboard(nullptr));
    SetClipboardData(privateFormat, nullptr);
    CloseClipboard();
    call();
    EXPECT_EQ(rendered, 0) << "the call asks for none of what it keeps";
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE h = GetClipboardData(privateFormat);
    CloseClipboard();
    EXPECT_NE(h, nullptr);
    EXPECT_EQ(standin::data(privateFormat), privateBytes) << "rendered by its owner when a paste asks";
}

TEST_F(StyledClipboardUnicodeTest, ImagesAndPrivacyMarksSurviveBesideAFileMakerCopy) {
    samples::putAbcFileMaker();
    samples::putKeptFormats();
    const Snapshot kept = keptFormats();
    ASSERT_EQ(kept.size(), 5u);
    call();
    EXPECT_EQ(keptFormats(), kept);
    EXPECT_FALSE(standin::data(kDib).empty());
    EXPECT_EQ(held(format("Rich Text Format")), std::string(samples::kAbcRtf) + '\0');
}

}  // namespace
