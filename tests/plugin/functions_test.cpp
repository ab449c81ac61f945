// StyledClipboard end to end on the stand-in clipboard: what the clipboard
// holds afterwards for each mix of sources, and what happens when a source
// cannot be used.
#include <gtest/gtest.h>

#include <cstdint>

#include "plugin/functions.h"
#include "plugin/interface.h"
#include "support/clipboard_fixture.h"
#include "support/sample_blocks.h"
#include "support/unicode_strings.h"

namespace {

const char kFMcs[] = "Mac-FMcs";
const char kStyl[] = "Mac-styl";
const char kRtf[] = "Rich Text Format";
const char kHtml[] = "HTML Format";

const std::vector<unsigned char>& kAbcBlock = samples::abcFileMakerBlock();
const std::string kAbcRtf = std::string(samples::kAbcRtf) + '\0';
std::vector<unsigned char> stylBlock() { return samples::styleScrapBlock(); }

class StyledClipboardTest : public ClipboardTest {
  protected:
    // Calls the function as the host does; answers its error code.
    static fmx::errcode call() {
        fmx::Data* result = FMHost_NewData();
        fmx::errcode err = Do_StyledClipboard(kFunctionStyledClipboard, nullptr, nullptr, result);
        EXPECT_EQ(FMHost_DataText(result, nullptr, 0), 0) << "the result is not touched";
        FMHost_DeleteData(result);
        return err;
    }
    static std::vector<UINT> formats(std::initializer_list<const char*> names) {
        std::vector<UINT> out;
        for (const char* n : names) out.push_back(n == nullptr ? CF_TEXT : format(n));
        return sorted(out);
    }
    // Snapshot of every format and its bytes.
    static std::vector<std::pair<UINT, std::vector<unsigned char>>> snapshot() {
        std::vector<std::pair<UINT, std::vector<unsigned char>>> all;
        for (UINT f : standin::formats()) all.emplace_back(f, standin::data(f));
        return all;
    }
};

TEST_F(StyledClipboardTest, PlainTextOnlyLeavesTheClipboardAlone) {
    putText("just text");
    auto before = snapshot();
    EXPECT_EQ(call(), 0);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(StyledClipboardTest, EmptyClipboardStaysEmpty) {
    EXPECT_EQ(call(), 0);
    EXPECT_TRUE(standin::formats().empty());
}

TEST_F(StyledClipboardTest, FileMakerBlockGainsRtf) {
    putText("abc");
    put(format(kFMcs), kAbcBlock);
    EXPECT_EQ(call(), 0);
    EXPECT_EQ(heldFormats(), formats({nullptr, kFMcs, kRtf, kHtml}));
    EXPECT_EQ(held(CF_TEXT), std::string("abc", 4));
    EXPECT_EQ(standin::data(format(kFMcs)), kAbcBlock) << "a block written back unchanged is the same bytes";
    EXPECT_EQ(held(format(kRtf)), kAbcRtf);
}

TEST_F(StyledClipboardTest, RtfOnlyGainsTextAndFileMakerBlock) {
    const std::string rtf = "{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;}\\fs20 a{\\b\\cf1 b}c\\par d}";
    put(format(kRtf), rtf + '\0');
    EXPECT_EQ(call(), 0);
    EXPECT_EQ(heldFormats(), formats({nullptr, kFMcs, kRtf, kHtml}));
    EXPECT_EQ(held(CF_TEXT), std::string("abc\rd", 6)) << "line ends become CR";
    EXPECT_EQ(held(format(kRtf)), rtf + '\0') << "the copying program's RTF stays as it was";
    const std::vector<unsigned char> block = standin::data(format(kFMcs));
    ASSERT_EQ(block.size(), 12u + 8 * 3 + 20 * 2) << "three runs sharing two styles";
}

TEST_F(StyledClipboardTest, RtfWithoutStylingGoesBackByteForByte) {
    const std::string rtf = "{\\rtf1\\ansi plain words\\par more}";
    put(format(kRtf), rtf + '\0');
    EXPECT_EQ(call(), 0);
    EXPECT_EQ(held(format(kRtf)), rtf + '\0');
    EXPECT_EQ(held(CF_TEXT), std::string("plain words\rmore", 17));
}

TEST_F(StyledClipboardTest, StyleScrapIsConvertedAndKept) {
    putText("ab\r\ncd");
    put(format(kStyl), stylBlock());
    EXPECT_EQ(call(), 0);
    EXPECT_EQ(heldFormats(), formats({nullptr, kStyl, kFMcs, kRtf, kHtml}));
    EXPECT_EQ(standin::data(format(kStyl)), stylBlock()) << "the copy's own format stays as it was";
    EXPECT_EQ(held(CF_TEXT), std::string("ab\rcd", 6));
    // Run positions pass unchanged: the run that began at "c" before the CR LF
    // became one CR begins at "d" now.
    EXPECT_EQ(held(format(kRtf)),
              std::string("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0\\fswiss\\fcharset0 Arial;}{\\colortbl;\\red255\\green0"
                          "\\blue0;\\red0\\green0\\blue255;}\\f0\\fs24 {\\cf1\\fs24\\b ab\\par c}{\\cf2\\fs36\\i d}}") +
                  '\0');
}

TEST_F(StyledClipboardTest, FileMakerBlockWithParsingRtfKeepsBoth) {
    putText("abc");
    put(format(kFMcs), kAbcBlock);
    const std::string rtf = "{\\rtf1 {\\b other} text}";
    put(format(kRtf), rtf + '\0');
    EXPECT_EQ(call(), 0);
    EXPECT_EQ(standin::data(format(kFMcs)), kAbcBlock);
    EXPECT_EQ(held(CF_TEXT), std::string("abc", 4));
    EXPECT_EQ(held(format(kRtf)), rtf + '\0') << "the RTF stays, not converted from the FileMaker block";
}

TEST_F(StyledClipboardTest, RtfThatDoesNotParseIsReplacedFromTheFileMakerBlock) {
    putText("abc");
    put(format(kFMcs), kAbcBlock);
    put(format(kRtf), std::string("{\\rtf1 {\\b unbalanced}") + '\0');
    EXPECT_EQ(call(), 0);
    EXPECT_EQ(held(format(kRtf)), kAbcRtf);
}

TEST_F(StyledClipboardTest, OnlyUnparsableRtfLeavesTheClipboardUntouched) {
    put(format(kRtf), std::string("{\\rtf1 {\\b open") + '\0');
    auto before = snapshot();
    EXPECT_EQ(call(), 0);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(StyledClipboardTest, UnparsableRtfWithStyleScrapIsReplacedFromTheScrap) {
    putText("ab\r\ncd");
    put(format(kStyl), stylBlock());
    put(format(kRtf), std::string("}") + '\0');
    EXPECT_EQ(call(), 0);
    EXPECT_EQ(heldFormats(), formats({nullptr, kStyl, kFMcs, kRtf, kHtml}));
    EXPECT_NE(held(format(kRtf)).find("\\cf2\\fs36\\i d}"), std::string::npos);
}

TEST_F(StyledClipboardTest, MalformedFileMakerBlockFallsBackOnRtf) {
    putText("abc");
    std::vector<unsigned char> truncated(kAbcBlock.begin(), kAbcBlock.begin() + 40);
    put(format(kFMcs), truncated);
    put(format(kRtf), std::string("{\\rtf1 x{\\i y}}") + '\0');
    EXPECT_EQ(call(), 0);
    EXPECT_EQ(held(CF_TEXT), std::string("xy", 3)) << "the text comes from the RTF now";
    EXPECT_EQ(standin::data(format(kFMcs)).size(), 12u + 8 * 1 + 20 * 1);
}

TEST_F(StyledClipboardTest, MalformedFileMakerBlockAloneLeavesTheClipboardUntouched) {
    putText("abc");
    put(format(kFMcs), std::vector<unsigned char>(kAbcBlock.begin(), kAbcBlock.begin() + 20));
    auto before = snapshot();
    EXPECT_EQ(call(), 0);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(StyledClipboardTest, FileMakerBlockWithoutItsTextLeavesTheClipboardUntouched) {
    put(format(kFMcs), kAbcBlock);
    auto before = snapshot();
    EXPECT_EQ(call(), 0);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(StyledClipboardTest, ClipboardThatCannotBeOpenedIsLeftAlone) {
    putText("abc");
    put(format(kFMcs), kAbcBlock);
    auto before = snapshot();
    standin::failNext(standin::Op::OpenClipboard, 0, 1000);
    EXPECT_EQ(call(), 0);
    standin::failNext(standin::Op::OpenClipboard, 0, 0);
    EXPECT_EQ(snapshot(), before);
}

// Programs that copy only Unicode text, or render on request, or a call with
// no window of the host active: what a real Windows clipboard brings.

std::vector<unsigned char> utf16z(const std::u16string& text) { return unicode_strings::clipboardBytes(text); }

HGLOBAL blockOf(const std::vector<unsigned char>& bytes) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::copy(bytes.begin(), bytes.end(), static_cast<unsigned char*>(GlobalLock(h)));
    GlobalUnlock(h);
    return h;
}

HWND otherProgram() { return reinterpret_cast<HWND>(std::uintptr_t{0x9000}); }

TEST_F(StyledClipboardTest, UnicodeTextBesideTheFileMakerBlockIsReadInTheAnsiCodePage) {
    const struct {
        UINT codePage;
        std::u16string unicode;
        std::string text;
    } cases[] = {
        {1252, u"ab\u00e9", "ab\xe9"},
        {1251, u"ab\u0416", "ab\xc6"},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.codePage);
        standin::reset();
        standin::setAnsiCodePage(tc.codePage);
        put(CF_UNICODETEXT, utf16z(tc.unicode));
        put(format(kFMcs), kAbcBlock);
        EXPECT_EQ(call(), 0);
        standin::setAnsiCodePage(1252);
        EXPECT_EQ(held(CF_TEXT), tc.text + '\0');
        const std::string rtf = held(format(kRtf));
        EXPECT_NE(rtf.find("{\\cf0\\fs24\\b ab}"), std::string::npos) << rtf;
        EXPECT_EQ(standin::data(format(kFMcs)), kAbcBlock);
    }
}

TEST_F(StyledClipboardTest, FormatsRenderedOnRequestAreRead) {
    const std::string rtf = std::string(samples::kStyledRtf) + '\0';
    const UINT rtfFormat = format(kRtf);
    standin::setRenderer([&](UINT f) {
        EXPECT_TRUE(standin::isOpen()) << "asked while the call holds the clipboard";
        if (f == rtfFormat) SetClipboardData(f, blockOf(std::vector<unsigned char>(rtf.begin(), rtf.end())));
        if (f == CF_UNICODETEXT) SetClipboardData(f, blockOf(utf16z(u"abc\r\nd")));
    });
    ASSERT_TRUE(OpenClipboard(otherProgram()));
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, nullptr);
    SetClipboardData(rtfFormat, nullptr);
    CloseClipboard();

    EXPECT_EQ(call(), 0);
    EXPECT_GE(standin::renderRequests(), 1);
    EXPECT_EQ(heldFormats(), sorted({CF_TEXT, CF_UNICODETEXT, format(kFMcs), rtfFormat, format(kHtml)}));
    EXPECT_TRUE(standin::data(CF_UNICODETEXT).empty()) << "still promised: the call had no need of it";
    EXPECT_EQ(standin::clipboardOwner(), otherProgram()) << "the program that copied still owns what it promised";
    EXPECT_EQ(held(CF_TEXT), std::string("abc\rd", 6)) << "the text of the rendered RTF";
    EXPECT_EQ(held(rtfFormat), rtf) << "the rendered RTF stays as it was rendered";
}

TEST_F(StyledClipboardTest, WithNoWindowOfTheHostActiveTheClipboardIsOpenedWithAWindowOfOurOwn) {
    const struct {
        const char* name;
        bool hostWindowActive;
        long windowsMade;
    } cases[] = {
        {"no window active (a script run from a schedule)", false, 1},
        {"a window of the host active", true, 0},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        standin::reset();
        standin::setActiveWindow(tc.hostWindowActive);
        putText("abc");
        put(format(kFMcs), kAbcBlock);
        EXPECT_EQ(call(), 0);
        EXPECT_EQ(heldFormats(), formats({nullptr, kFMcs, kRtf, kHtml}));
        EXPECT_EQ(standin::timesEmptied(), 0) << "formats are replaced where they stand";
        EXPECT_EQ(standin::liveWindows(), tc.windowsMade);
        putText("abc");
        put(format(kFMcs), kAbcBlock);
        EXPECT_EQ(call(), 0);
        EXPECT_EQ(standin::liveWindows(), tc.windowsMade) << "made once, on the first need";
        Do_PluginShutdown();
        EXPECT_EQ(standin::liveWindows(), 0) << "destroyed at shut-down";
        EXPECT_EQ(heldFormats(), formats({nullptr, kFMcs, kRtf, kHtml})) << "the clipboard keeps what it holds";
        standin::setActiveWindow(false);
    }
}

TEST_F(StyledClipboardTest, ClipboardHeldByAnotherProgram) {
    const struct {
        DWORD holdMs;
        bool converted;
    } cases[] = {{50, true}, {500, true}, {3000, false}};
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.holdMs);
        standin::reset();
        putText("abc");
        put(format(kFMcs), kAbcBlock);
        const auto before = snapshot();
        standin::holdClipboard(tc.holdMs);
        EXPECT_EQ(call(), 0);
        if (tc.converted) {
            EXPECT_EQ(heldFormats(), formats({nullptr, kFMcs, kRtf, kHtml}));
            EXPECT_LT(standin::sleptMilliseconds(), tc.holdMs + clipboard::kLongestPauseMs);
        } else {
            EXPECT_EQ(snapshot(), before);
            EXPECT_GE(standin::sleptMilliseconds(), clipboard::kWaitBudgetMs) << "gives up after about a second";
            EXPECT_LE(standin::sleptMilliseconds(), clipboard::kWaitBudgetMs);
        }
    }
}

}  // namespace

#if defined(__GLIBC__)
#include <malloc.h>

namespace {

// Repeated calls on the same clipboard settle: neither memory blocks nor
// heap in use grow from one call to the next.
TEST_F(StyledClipboardTest, RepeatedCallsDoNotGrowMemory) {
    put(format(kRtf), std::string(samples::kStyledRtf) + '\0');
    for (int i = 0; i < 5; ++i) call();
    const long blocks = standin::liveBlocks();
    const size_t heap = mallinfo2().uordblks;
    for (int i = 0; i < 200; ++i) call();
    EXPECT_EQ(standin::liveBlocks(), blocks);
    EXPECT_LE(mallinfo2().uordblks, heap + 4096) << "heap in use grew over 200 calls";
}

}  // namespace
#endif
