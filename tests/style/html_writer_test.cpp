#include "style/html_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "html/cf_html.h"
#include "platform/clipboard_control.h"
#include "style/face_bits.h"

namespace {

using StyleRun = StyleRuns::Run;

// The outer element, which states every attribute once; `rest` its size
// and colour.
std::string opening(const std::string& rest) {
    return "<div style=\"white-space:pre-wrap;font-weight:normal;font-style:normal;text-decoration:none;"
           "vertical-align:baseline;" +
           rest + "\">";
}

// Text, runs and code page in; the exact fragment out, and the same fragment
// in the clipboard's header.
TEST(HtmlWriter, WritesFragments) {
    const struct {
        const char* name;
        std::string text;
        std::vector<StyleRun> runs;
        codepage::CodePage cp;
        std::string fragment;
    } cases[] = {
        {"no runs", "a<b", {}, 1252, opening("color:#000") + "a&lt;b</div>"},
        {"one bold run: its size and colour are the block's",
         "ab",
         {{0, 0, kFaceBold, 12, 0xFF0000}},
         1252,
         opening("font-size:12pt;color:#f00") + "<b>ab</b></div>"},
        {"escapes and line ends before the first run; no size; a colour that takes six digits",
         "<&>\"'\r\nz\x01",
         {{7, 0, static_cast<std::int16_t>(kFaceUnderline | kFaceStrikethrough), 0, 0x0A0B0C}},
         1252,
         opening("color:#0a0b0c") + "&lt;&amp;&gt;&quot;&#39;<br><u><s>z&#1;</s></u></div>"},
        {"superscript wins over subscript; a NUL is left out",
         std::string("i\0\n", 3),
         {{0, 0, static_cast<std::int16_t>(kFaceItalic | kFaceSuperscript | kFaceSubscript), 9, 0}},
         1252,
         opening("font-size:9pt;color:#000") + "<span style=vertical-align:super><i>i<br></i></span></div>"},
        {"a run of no text gives no element",
         "ab",
         {{0, 0, 0, 10, 0}, {2, 0, kFaceBold, 10, 0}},
         1252,
         opening("font-size:10pt;color:#000") + "ab</div>"},
        {"neighbouring runs that look the same share one element; the common size and colour are the block's",
         "abcdef",
         {{0, 0, kFaceBold, 10, 0x112233},
          {2, 0, kFaceBold, 10, 0x112233},
          {4, 0, kFaceItalic, 14, 0x112234},
          {5, 0, 0, 10, 0x112233}},
         1252,
         opening("font-size:10pt;color:#123") +
             "<b>abcd</b><span style=font-size:14pt;color:#112234><i>e</i></span>f</div>"},
        {"a colour alone is a font element, outside the underline so that the line takes the colour",
         "abc",
         {{0, 0, 0, 10, 0}, {1, 0, kFaceUnderline, 10, 0xFF0000}, {2, 0, 0, 10, 0}},
         1252,
         opening("font-size:10pt;color:#000") + "a<font color=#f00><u>b</u></font>c</div>"},
        {"faces the block cannot state are left out, and do not part runs",
         "abc",
         {{0, 0, kFaceBold, 10, 0}, {1, 0, static_cast<std::int16_t>(kFaceBold | kFaceOutline | kFaceShadow), 10, 0}},
         1252,
         opening("font-size:10pt;color:#000") + "<b>abc</b></div>"},
        {"text in the code page given",
         "\xe9",
         {{0, 0, kFaceSubscript, 12, 0}},
         1252,
         opening("font-size:12pt;color:#000") + "<span style=vertical-align:sub>\xc3\xa9</span></div>"},
        {"double-byte text", "\x82\xa0", {}, 932, opening("color:#000") + "\xe3\x81\x82</div>"},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        EXPECT_EQ(htmlFragment(tc.text, tc.runs, tc.cp), tc.fragment);
        EXPECT_EQ(htmlBlock(tc.text, tc.runs, tc.cp), html::makeCfHtml(tc.fragment));
    }
}

// Characters the code page lacks are written in UTF-8 in place of their
// fallbacks, wherever the runs split the text.
TEST(HtmlWriter, WritesForeignCharactersInUtf8) {
    const codepage::ForeignChars foreign = {{1, 1, 0x4E2D}, {3, 2, 0x1F600}, {6, 1, 0x416}};
    const std::string text = "a?b??c?";
    const std::vector<StyleRun> runs = {{0, 0, 0, 12, 0}, {5, 0, kFaceBold, 12, 0}};
    EXPECT_EQ(htmlFragment(text, runs, 1252, &foreign), opening("font-size:12pt;color:#000") +
                                                            "a\xE4\xB8\xAD"
                                                            "b\xF0\x9F\x98\x80<b>c\xD0\x96</b></div>");
}

// The block as HtmlDocument writes it into room of the size it counted;
// bytes past that room must stay untouched.
std::string writtenBlock(const HtmlDocument& document) {
    const std::size_t size = document.size();
    std::string room(size + 16, '#');
    document.writeTo(&room[0]);
    EXPECT_EQ(room.substr(size), std::string(16, '#')) << "written past the counted size";
    return room.substr(0, size);
}

// A fragment split in two parts, each counted and written on its own thread,
// is the fragment written in one, wherever the split falls.
TEST(HtmlWriter, TwoPartsWriteTheSameBlockAsOne) {
    const struct {
        const char* name;
        std::string text;
        std::vector<StyleRun> runs;
        codepage::ForeignChars foreign;
        codepage::CodePage cp;
    } cases[] = {
        {"no runs", "abcdef", {}, {}, 1252},
        {"a CR LF across the split", "abc\r\ndef", {{0, 0, kFaceBold, 12, 0}, {4, 0, 0, 12, 0}}, {}, 1252},
        {"a foreign character across the split",
         "ab??cd",
         {{0, 0, kFaceBold, 12, 0}, {3, 0, 0, 12, 0}},
         {{2, 2, 0x1F600}},
         1252},
        {"a foreign character at the split",
         "abc?de",
         {{0, 0, kFaceBold, 12, 0}, {3, 0, 0, 12, 0x00FF00}},
         {{3, 1, 0x4E2D}, {5, 1, 0x416}},
         1252},
        {"runs of no text at the split",
         "abcdefgh",
         {{0, 0, kFaceBold, 12, 0}, {4, 0, kFaceItalic, 14, 0}, {4, 0, 0, 12, 0xFF}, {4, 0, kFaceUnderline, 12, 0}},
         {},
         1252},
        {"equal neighbours across the split",
         "abcdefgh",
         {{0, 0, kFaceBold, 12, 0}, {3, 0, kFaceItalic, 12, 0}, {4, 0, kFaceItalic, 12, 0}, {6, 0, 0, 12, 0}},
         {},
         1252},
        {"the first run after the middle", "abcdefgh", {{6, 0, kFaceBold, 12, 0}}, {}, 1252},
        {"runs out of order and past the end",
         "abcdefgh",
         {{5, 0, kFaceBold, 12, 0}, {2, 0, kFaceItalic, 12, 0}, {7, 0, 0, 9, 0}, {40, 0, kFaceBold, 12, 0}},
         {},
         1252},
        {"a run at the very end", "abcd", {{0, 0, kFaceBold, 12, 0}, {4, 0, 0, 12, 0}}, {}, 1252},
        {"a double-byte code page",
         "\x82\xa0\x82\xa2<\x82\xa4\x82\xa6",
         {{0, 0, kFaceBold, 12, 0}, {4, 0, kFaceSuperscript, 10, 0}, {5, 0, 0, 12, 0}},
         {},
         932},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        const HtmlDocument one(tc.text, tc.runs, tc.cp, &tc.foreign, SIZE_MAX);
        const HtmlDocument two(tc.text, tc.runs, tc.cp, &tc.foreign, 1);
        const std::string expected = writtenBlock(one);
        EXPECT_EQ(writtenBlock(two), expected);
        EXPECT_EQ(two.block(), expected);
    }

    // At the size from which the plug-in's blocks are split, with a foreign
    // character every so often and line ends throughout.
    std::string text;
    std::vector<StyleRun> runs;
    codepage::ForeignChars foreign;
    for (std::size_t i = 0; text.size() < HtmlDocument::kTwoPartTextBytes + 1000; ++i) {
        runs.push_back({static_cast<std::int32_t>(text.size()), 0,
                        static_cast<std::int16_t>(i % 7 == 0 ? kFaceBold : 0), static_cast<std::int16_t>(10 + i % 3),
                        static_cast<std::uint32_t>((i % 5) * 0x330000)});
        if (i % 11 == 0)
            foreign.push_back(
                {static_cast<std::uint32_t>(text.size()), 1, 0x4E00 + static_cast<std::uint32_t>(i % 100)});
        text += i % 11 == 0 ? "?<word> & \r\n" : "word\r\n";
    }
    const std::string expected = writtenBlock(HtmlDocument(text, runs, 1252, &foreign, SIZE_MAX));
    EXPECT_EQ(writtenBlock(HtmlDocument(text, runs, 1252, &foreign)), expected);
}

}  // namespace
