// Our RTF against Wine's RichEdit control, an implementation we did not
// write: what we write must read back run by run as written, and what it
// writes must read through our reader into the same runs.
#include <gtest/gtest.h>

#include <memory>

#include "style/CharStyle_FMcs.h"
#include "style/CharStyle_RTF.h"
#include "windows/richedit.h"

namespace {

struct RunSpec {
    std::int32_t start;
    std::int16_t size;
    std::uint16_t face;
    std::uint32_t colour;  // 0x00RRGGBB
};

COLORREF colorRef(std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// The document our writer makes of `text` and `runs`.
std::string writeRtf(const std::string& text, const std::vector<RunSpec>& runs) {
    CharStyle_FMcs source(text.c_str(), static_cast<std::int32_t>(runs.size()));
    for (const RunSpec& r : runs) source.add(r.start, r.size, static_cast<std::int16_t>(r.face), r.colour, 0);
    CharStyle_RTF rtf(&source);
    return rtf.getRTF();
}

TEST(RichEditInteropTest, EveryAttributeWeWriteArrivesAsWritten) {
    RichEdit edit;
    ASSERT_TRUE(edit.ok()) << "no RichEdit control";

    // Ten colours, sizes from 6 to 72 points, every attribute the writer
    // emits, and text with braces, backslashes, tabs and high bytes.
    const std::string text =
        "Bold italic under strike super sub caps {braces} back\\slash\ttab \xE9t\xE9 \xA9 end\rNext line";
    const std::vector<RunSpec> runs = {
        {0, 6, kFaceBold, 0xFF0000},       {5, 8, kFaceItalic, 0x00FF00},
        {12, 10, kFaceUnderline, 0x0000FF}, {18, 12, kFaceStrikethrough, 0x808000},
        {25, 14, kFaceSuperscript, 0x800080}, {31, 18, kFaceSubscript, 0x008080},
        {35, 24, kFaceSmallCaps, 0xC0C0C0}, {40, 36, kFaceBold | kFaceItalic | kFaceUnderline, 0x123456},
        {49, 48, 0, 0x654321},             {60, 72, kFaceBold, 0xFEDCBA},
        {70, 12, 0, 0x000000},
    };
    const std::string rtf = writeRtf(text, runs);
    edit.resetFormat();  // the control's own default font is bold
    edit.streamIn(rtf);
    EXPECT_EQ(edit.text(), text);

    for (size_t i = 0; i < runs.size(); ++i) {
        const RunSpec& r = runs[i];
        SCOPED_TRACE("run " + std::to_string(i) + " at " + std::to_string(r.start));
        CHARFORMAT2A f = edit.formatAt(r.start);
        // Every attribute the run has must arrive. Wine's RichEdit keeps
        // character attributes past the "}" that ends a run's group (it does
        // not restore them as RTF groups require), so an attribute of an
        // earlier run may still show: only the attributes switched on are
        // compared. Size and colour are written for every run and compared whole.
        const struct {
            std::uint16_t face;
            DWORD effect;
        } kEffects[] = {{kFaceBold, CFE_BOLD},
                        {kFaceItalic, CFE_ITALIC},
                        {kFaceUnderline, CFE_UNDERLINE},
                        {kFaceStrikethrough, CFE_STRIKEOUT},
                        {kFaceSuperscript, CFE_SUPERSCRIPT},
                        {kFaceSubscript, CFE_SUBSCRIPT}};
        for (const auto& e : kEffects) {
            if (r.face & e.face) {
                EXPECT_NE(f.dwEffects & e.effect, 0u) << "face bit " << e.face;
            }
        }
        // Wine's RichEdit reads "\\scaps" without showing it in the character
        // format, so small capitals cannot be compared here.
        EXPECT_EQ(f.yHeight, r.size * 20) << "twips";
        if (r.colour == 0) {
            EXPECT_TRUE((f.dwEffects & CFE_AUTOCOLOR) != 0 || f.crTextColor == 0) << "black is the automatic colour";
        } else {
            EXPECT_EQ(f.crTextColor, colorRef(r.colour));
        }
    }
}

TEST(RichEditInteropTest, WhatRichEditWritesReadsIntoTheSameRuns) {
    RichEdit edit;
    ASSERT_TRUE(edit.ok());
    edit.setText("plain bold red big under");
    edit.resetFormat();
    CHARFORMAT2A red = {};
    red.dwMask = CFM_COLOR;
    red.crTextColor = RGB(255, 0, 0);
    edit.applyFormat(11, 14, red);
    CHARFORMAT2A big = {};
    big.dwMask = CFM_SIZE;
    big.yHeight = 24 * 20;
    edit.applyFormat(15, 18, big);
    CHARFORMAT2A under = {};
    under.dwMask = CFM_UNDERLINE;
    under.dwEffects = CFE_UNDERLINE;
    edit.applyFormat(19, 24, under);
    CHARFORMAT2A bold = {};
    bold.dwMask = CFM_BOLD;
    bold.dwEffects = CFE_BOLD;
    edit.applyFormat(6, 10, bold);

    const std::string rtf = edit.streamOut();
    ASSERT_FALSE(rtf.empty());
    CharStyle_RTF read(rtf.c_str());
    ASSERT_FALSE(read.parsingError()) << rtf;
    std::string readText = read.getText();
    while (!readText.empty() && (readText.back() == '\n' || readText.back() == '\r')) readText.pop_back();
    EXPECT_EQ(readText, "plain bold red big under");

    // The character at each position must carry what RichEdit was told.
    auto runAt = [&](std::int32_t position) {
        std::int32_t found = -1;
        for (std::int32_t i = 0; i < read.count() && read.charPos(i) <= position; ++i) found = i;
        EXPECT_GE(found, 0) << "no run covers " << position << " in " << rtf;
        read.selectStyle(found);
    };
    runAt(7);
    EXPECT_TRUE(read.isBold());
    runAt(12);
    EXPECT_FALSE(read.isBold()) << rtf;
    EXPECT_EQ(read.getRGB(), 0xFF0000u);
    runAt(16);
    EXPECT_EQ(read.getSize(), 24);
    runAt(20);
    EXPECT_TRUE(read.isUnderline());
    runAt(2);
    EXPECT_TRUE(read.isPlain());
    EXPECT_EQ(read.getRGB(), 0u);
}

}  // namespace
