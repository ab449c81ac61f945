#include "style/html_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "html/cf_html.h"
#include "platform/clipboard_control.h"
#include "style/face_bits.h"
#include "style/two_part_cases.h"

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
         {{0, kFaceBold, 12, 0xFF0000}},
         1252,
         opening("font-size:12pt;color:#f00") + "<b>ab</b></div>"},
        {"escapes and line ends before the first run; no size; a colour that takes six digits",
         "<&>\"'\r\nz\x01",
         {{7, static_cast<std::int16_t>(kFaceUnderline | kFaceStrikethrough), 0, 0x0A0B0C}},
         1252,
         opening("color:#0a0b0c") + "&lt;&amp;&gt;&quot;&#39;<br><u><s>z&#1;</s></u></div>"},
        {"superscript wins over subscript; a NUL is left out",
         std::string("i\0\n", 3),
         {{0, static_cast<std::int16_t>(kFaceItalic | kFaceSuperscript | kFaceSubscript), 9, 0}},
         1252,
         opening("font-size:9pt;color:#000") + "<span style=vertical-align:super><i>i<br></i></span></div>"},
        {"a run of no text gives no element",
         "ab",
         {{0, 0, 10, 0}, {2, kFaceBold, 10, 0}},
         1252,
         opening("font-size:10pt;color:#000") + "ab</div>"},
        {"neighbouring runs that look the same share one element; the common size and colour are the block's",
         "abcdef",
         {{0, kFaceBold, 10, 0x112233},
          {2, kFaceBold, 10, 0x112233},
          {4, kFaceItalic, 14, 0x112234},
          {5, 0, 10, 0x112233}},
         1252,
         opening("font-size:10pt;color:#123") +
             "<b>abcd</b><span style=font-size:14pt;color:#112234><i>e</i></span>f</div>"},
        {"a colour alone is a font element, outside the underline so that the line takes the colour",
         "abc",
         {{0, 0, 10, 0}, {1, kFaceUnderline, 10, 0xFF0000}, {2, 0, 10, 0}},
         1252,
         opening("font-size:10pt;color:#000") + "a<font color=#f00><u>b</u></font>c</div>"},
        {"faces the block cannot state are left out, and do not part runs",
         "abc",
         {{0, kFaceBold, 10, 0}, {1, static_cast<std::int16_t>(kFaceBold | kFaceOutline | kFaceShadow), 10, 0}},
         1252,
         opening("font-size:10pt;color:#000") + "<b>abc</b></div>"},
        {"text in the code page given",
         "\xe9",
         {{0, kFaceSubscript, 12, 0}},
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
    const std::vector<StyleRun> runs = {{0, 0, 12, 0}, {5, kFaceBold, 12, 0}};
    EXPECT_EQ(htmlFragment(text, runs, 1252, &foreign), opening("font-size:12pt;color:#000") +
                                                            "a\xE4\xB8\xAD"
                                                            "b\xF0\x9F\x98\x80<b>c\xD0\x96</b></div>");
}

// The block states the most common size and colour, the least of those
// equally common, also among more sizes and colours than fit a small table.
TEST(HtmlWriter, StatesTheMostCommonSizeAndColour) {
    const struct {
        const char* name;
        int distinct;   // runs of sizes 100+i and colours i, once each
        int twiceFrom;  // from this i on, each twice (none: distinct)
        const char* expected;
    } cases[] = {
        {"all equally common: the least", 500, 500, "font-size:100pt;color:#000"},
        {"the last one twice", 500, 499, "font-size:599pt;color:#0001f3"},
        {"two of them twice: the lesser", 3000, 2998, "font-size:3098pt;color:#000bb6"},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        std::string text;
        std::vector<StyleRun> runs;
        for (int i = 0; i < tc.distinct; ++i)
            for (int k = 0; k < (i >= tc.twiceFrom ? 2 : 1); ++k) {
                // Alternating faces keep neighbours of one look apart.
                runs.push_back({static_cast<std::int32_t>(text.size()), static_cast<std::int16_t>(k ? kFaceBold : 0),
                                static_cast<std::int16_t>(100 + i), static_cast<std::uint32_t>(i)});
                text += "x";
            }
        const std::string fragment = htmlFragment(text, runs, 1252);
        EXPECT_EQ(fragment.substr(0, opening(tc.expected).size()), opening(tc.expected));
    }
}

// A fragment split in two parts, each counted and written on its own thread,
// is the fragment written in one, wherever the split falls.
TEST(HtmlWriter, TwoPartsWriteTheSameBlockAsOne) {
    std::vector<twoparts::Case> cases = twoparts::splitCases();
    for (twoparts::Case& c : twoparts::randomCases(20260912, 300)) cases.push_back(std::move(c));
    for (const twoparts::Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        const HtmlDocument one(tc.text, tc.runs, tc.cp, &tc.foreign, SIZE_MAX);
        const HtmlDocument two(tc.text, tc.runs, tc.cp, &tc.foreign, 1);
        const std::string expected = twoparts::writtenInto(one);
        EXPECT_EQ(twoparts::writtenInto(two), expected);
        EXPECT_EQ(two.block(), expected);
    }
    const twoparts::Case large = twoparts::largeCase();
    EXPECT_EQ(twoparts::writtenInto(HtmlDocument(large.text, large.runs, large.cp, &large.foreign)),
              twoparts::writtenInto(HtmlDocument(large.text, large.runs, large.cp, &large.foreign, SIZE_MAX)));
}

// The size counted before writing into a clipboard block is what the one-pass
// writer makes, for every byte, every line end and every code page's route.
TEST(HtmlWriter, CountsEveryByteAsItIsWritten) {
    std::string everyByte;
    for (int b = 0; b < 256; ++b) everyByte.push_back(static_cast<char>(b));
    const std::string lineEnds = "a\r\nb\n\rc\r\r\nd\r\n\n\re\r";
    const struct {
        const char* name;
        std::string text;
        std::vector<StyleRun> runs;
    } texts[] = {
        {"every byte", everyByte, {}},
        {"every byte, a run each", everyByte, {}},
        {"line ends", lineEnds, {}},
        // CR ends one run and LF begins the next: two line breaks.
        {"CR LF across runs", lineEnds, {{0, 0, 12, 0}, {2, kFaceBold, 12, 0}}},
        {"markup", "<a href=\"x\">&amp;'</a>\t\x01\x1f\x7f", {{3, kFaceItalic, 14, 0xFF0000}}},
    };
    for (const codepage::CodePage cp :
         {codepage::CodePage{1252}, codepage::CodePage{1251}, codepage::CodePage{932}, codepage::kUtf8}) {
        for (const auto& t : texts) {
            SCOPED_TRACE(std::string(t.name) + " in " + std::to_string(cp));
            std::vector<StyleRun> runs = t.runs;
            if (std::string(t.name) == "every byte, a run each")
                for (int b = 0; b < 256; ++b)
                    runs.push_back({b, static_cast<std::int16_t>(b % 2 != 0 ? kFaceBold : 0), 12, 0});
            const HtmlDocument document(t.text, runs, cp);
            EXPECT_EQ(twoparts::writtenInto(document), document.block());
        }
    }
}

}  // namespace
