#include "style/html_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "html/cf_html.h"
#include "platform/clipboard_control.h"
#include "style/face_bits.h"

namespace {

using StyleRun = StyleRuns::Run;

const std::string kOpen = "<div style=\"white-space:pre-wrap\">";
const std::string kPlain = "font-weight:normal;font-style:normal;text-decoration:none;vertical-align:baseline;";

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
        {"no runs", "a<b", {}, 1252, kOpen + "a&lt;b</div>"},
        {"one bold run",
         "ab",
         {{0, 0, kFaceBold, 12, 0xFF0000}},
         1252,
         kOpen + "<span style=\"font-weight:bold;font-style:normal;text-decoration:none;vertical-align:baseline;"
                 "font-size:12pt;color:#ff0000\">ab</span></div>"},
        {"escapes and line ends before the first run; no size",
         "<&>\"'\r\nz\x01",
         {{7, 0, static_cast<std::int16_t>(kFaceUnderline | kFaceStrikethrough), 0, 0x0A0B0C}},
         1252,
         kOpen + "&lt;&amp;&gt;&quot;&#39;<br><span style=\"font-weight:normal;font-style:normal;"
                 "text-decoration:underline line-through;vertical-align:baseline;color:#0a0b0c\">z&#1;</span></div>"},
        {"superscript wins over subscript; a NUL is left out",
         std::string("i\0\n", 3),
         {{0, 0, static_cast<std::int16_t>(kFaceItalic | kFaceSuperscript | kFaceSubscript), 9, 0}},
         1252,
         kOpen + "<span style=\"font-weight:normal;font-style:italic;text-decoration:none;vertical-align:super;"
                 "font-size:9pt;color:#000000\">i<br></span></div>"},
        {"a run of no text gives no span",
         "ab",
         {{0, 0, 0, 10, 0}, {2, 0, kFaceBold, 10, 0}},
         1252,
         kOpen + "<span style=\"" + kPlain + "font-size:10pt;color:#000000\">ab</span></div>"},
        {"text in the code page given",
         "\xe9",
         {{0, 0, kFaceSubscript, 12, 0}},
         1252,
         kOpen + "<span style=\"font-weight:normal;font-style:normal;text-decoration:none;vertical-align:sub;"
                 "font-size:12pt;color:#000000\">\xc3\xa9</span></div>"},
        {"double-byte text", "\x82\xa0", {}, 932, kOpen + "\xe3\x81\x82</div>"},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        EXPECT_EQ(htmlFragment(tc.text, tc.runs, tc.cp), tc.fragment);
        EXPECT_EQ(htmlBlock(tc.text, tc.runs, tc.cp), html::makeCfHtml(tc.fragment));
    }
}

}  // namespace
