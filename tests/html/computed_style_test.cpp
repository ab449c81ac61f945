// The style of each character, compared with what Chromium computes.
#include <gtest/gtest.h>

#include <string>

#include "html_test_support.h"

namespace {

// Line ends that blocks require take the style of the text before them.

TEST(ComputedStyle, ElementsInlineStylesAndSheets) {
    const struct {
        const char* html;
        const char* runs;
    } cases[] = {
        {"x", "x|12|0|000000"},
        {"<b>x</b>", "x|12|100|000000"},
        {"<strong>x</strong><i>y</i><em>z</em>", "x|12|100|000000 / yz|12|200|000000"},
        {"<u>a</u><ins>b</ins><s>c</s><strike>d</strike><del>e</del>", "ab|12|400|000000 / cde|12|1|000000"},
        {"<sup>2</sup><sub>3</sub>", "2|10|4|000000 / 3|10|8|000000"},
        {"<big>a</big><small>b</small>", "a|14|0|000000 / b|10|0|000000"},
        {"<h1>a</h1><h2>b</h2><h3>c</h3><h4>d</h4><h5>e</h5><h6>f</h6>",
         "a\n|24|100|000000 / b\n|18|100|000000 / c\n|14|100|000000 / d\n|12|100|000000 / e\n|10|100|000000 / "
         "f|8|100|000000"},
        {"<a href='x'>l</a><a name='n'>m</a>", "l|12|400|0000ee / m|12|0|000000"},
        {"<font color='red' size='5'>x</font><font size='-1' color='#0f0'>y</font>", "x|18|0|ff0000 / y|10|0|00ff00"},
        {"<font size=7>x</font><font size=1>y</font>", "x|36|0|000000 / y|8|0|000000"},
        {"<b style='font-weight:normal'>x</b>", "x|12|0|000000"},
        {"<span style='font-weight:600'>a</span><span style='font-weight:500'>b</span>",
         "a|12|100|000000 / b|12|0|000000"},
        {"<b><span style='font-weight:bolder'>a</span></b>", "a|12|100|000000"},
        {"<span style='font-style:oblique'>x</span>", "x|12|200|000000"},
        {"<u><span style='text-decoration:none'>x</span></u>", "x|12|400|000000"},
        {"<span style='text-decoration:underline line-through'>x</span>", "x|12|401|000000"},
        {"<span style='text-decoration-line:line-through'>x</span>", "x|12|1|000000"},
        {"<span style='vertical-align:super'>x<b>y</b></span>", "x|12|4|000000 / y|12|104|000000"},
        {"<span style='font-size:11pt'>a</span><span style='font-size:20px'>b</span>", "a|11|0|000000 / b|15|0|000000"},
        {"<span style='font-size:150%'>a<span style='font-size:0.5em'>b</span></span>", "a|18|0|000000 / b|9|0|000000"},
        {"<span style='font-size:x-large'>a</span><span style='font-size:xx-small'>b</span>",
         "a|18|0|000000 / b|7|0|000000"},
        {"<span style='font-size:1in'>a</span><span style='font-size:2rem'>b</span>", "a|72|0|000000 / b|24|0|000000"},
        {"<code>x</code><pre>y</pre>", "x\ny|10|0|000000"},
        {"<span style='color:rgb(0, 128, 255)'>a</span><span style='color:rgb(100% 0% 0% / 50%)'>b</span>",
         "a|12|0|0080ff / b|12|0|ff0000"},
        {"<span style='color:hsl(120, 100%, 50%)'>a</span><span style='color:hsla(240deg 100% 25% / .5)'>b</span>",
         "a|12|0|00ff00 / b|12|0|000080"},
        {"<span style='color:#abc'>a</span><span style='color:#11223344'>b</span><span "
         "style='color:RebeccaPurple'>c</span>",
         "a|12|0|aabbcc / b|12|0|112233 / c|12|0|663399"},
        {"<span style='color:hwb(0 0% 0%)'>a</span><span style='color:nonsense'>b</span>",
         "a|12|0|ff0000 / b|12|0|000000"},
        {"<span style='color:red'><span style='color:currentcolor'>a</span></span>", "a|12|0|ff0000"},
        {"<span style='font: italic bold 10pt Arial'>a</span><span style='font:7.0pt \"Times New Roman\"'>b</span>",
         "a|10|300|000000 / b|7|0|000000"},
        {"<b><span style='font: 10pt'>a</span></b>", "a|12|100|000000"},  // no family: not a font
        {"<style>p.MsoNormal, li.MsoNormal {font-size:11.0pt}</style><p class=MsoNormal>a</p>", "a|11|0|000000"},
        {"<style>.c{color:red} p{color:blue}</style><p class=c>a</p>", "a|12|0|ff0000"},
        {"<style>p{color:blue} p{color:green}</style><p>a</p>", "a|12|0|008000"},
        {"<style>p{color:blue !important}</style><p style='color:red'>a</p>", "a|12|0|0000ff"},
        {"<style>#i{color:red} .c{color:blue}</style><p id=i class=c>a</p>", "a|12|0|ff0000"},
        {"<style>div p{color:red} p:hover{color:red} a + p{color:red} @media print{p{color:red}}</style><p>a</p>",
         "a|12|0|000000"},
        // Descendant and child combinators ("e" inherits its size from the outer item).
        {"<style>div p{color:red} #m em{color:#00f} ul > li{font-size:20px} .a .b > i{font-weight:bold}</style>"
         "<div><p>a</p></div><p>b</p><span id=m><b><em>c</em></b></span><ul><li>d<ol><li>e</ol></ul>"
         "<span class=a><span><span class=b><i>f</i></span></span></span><span class=b><i>g</i></span>",
         "a\n\n|12|0|ff0000 / b\n\n|12|0|000000 / c\n|12|300|0000ff / d\ne\n|15|0|000000 / f|12|300|000000 / "
         "g|12|200|000000"},
        {"<style><!-- /* x */ p {color:#008000} --></style><p>a</p>", "a|12|0|008000"},
        {"<p>a</p><style>p{font-weight:bold}</style>", "a|12|100|000000"},
        {"<p>a</p><STYLE type=text/css>p{font-weight:bold}</STYLE>", "a|12|100|000000"},
        // Not a style element: in a comment, in an attribute, in a script.
        {"<!-- <style>p{color:red}</style> --><p title='<style>p{color:red}</style>'>a</p>"
         "<script><style>p{color:red}</style></script>",
         "a|12|0|000000"},
        {"<style>a:link, span.L {color:#0563C1}</style><a href=x>a</a><span class=L>b</span><a>c</a>",
         "a|12|400|0563c1 / b|12|0|0563c1 / c|12|0|000000"},
        {"<body link='#000080'><a href=x>a</a>", "a|12|400|000080"},
        // Quirks mode (no doctype): tables start from the default font; not so with a doctype.
        {"<b><i><span style='font-size:20pt'><table><tr><td>a</td></tr></table></span></i></b>", "a|12|0|000000"},
        {"<!DOCTYPE html><b><table><tr><td>a</td></tr></table></b>", "a|12|100|000000"},
        // Colours of other spaces, in sRGB.
        {"<span style='color:lab(50 0 0)'>a</span><span style='color:oklab(62.8% 0.2249 0.1258)'>b</span>"
         "<span style='color:oklch(0.628 0.2577 29.23)'>c</span><span style='color:lch(54.29 106.84 40.86)'>d</span>"
         "<span style='color:color(srgb 0 0.5 1)'>e</span><span style='color:color(srgb-linear 0.2158 0.2158 "
         "0.2158)'>f</span>"
         "<span style='color:color(display-p3 1 0 0)'>g</span>",
         "a|12|0|777777 / bcd|12|0|ff0000 / e|12|0|0080ff / f|12|0|808080 / "
         "g|12|0|000000"},
        // Quirks mode: classes match whatever their case; not so with a doctype.
        {"<style>.Big{font-size:20pt}</style><span class=bIG>a</span>", "a|20|0|000000"},
        {"<!DOCTYPE html><style>.Big{font-size:20pt}</style><span class=bIG>a</span>", "a|12|0|000000"},
        {"<sup>a<div>b</div></sup>", "a\n|10|4|000000 / b|10|0|000000"},
        // Formatting elements closed with another element open again, as browsers' parsers do.
        {"<b>n<i>e</b>t</i>s", "n|12|100|000000 / e|12|300|000000 / t|12|200|000000 / s|12|0|000000"},
        {"<p><b>x</p>y", "x\n\ny|12|100|000000"},
        {"<p><b>x</p></b>y", "x\n\n|12|100|000000 / y|12|0|000000"},
        {"<b><table><tr><td>x</td></tr></table>y</b>", "x\n|12|0|000000 / y|12|100|000000"},
        {"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"><b><table><td>a</table></b>",
         "a|12|0|000000"},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.html);
        EXPECT_EQ(htmltest::describeRuns(htmltest::read(tc.html)), tc.runs);
    }
}

// A NUL in a tag name is dropped, so "<st\0yle>" starts a style sheet too.
TEST(ComputedStyle, StyleElementWithANulInItsName) {
    const char raw[] = "<st\0yle>p{color:red}</style><p>a</p>";
    const std::string markup(raw, sizeof raw - 1);
    EXPECT_EQ(htmltest::describeRuns(htmltest::read(markup)), "a|12|0|ff0000");
}

TEST(ComputedStyle, CollapsedSpaceKeepsTheStyleOfTheFirst) {
    EXPECT_EQ(htmltest::describeRuns(htmltest::read("<b>a </b> b")), "a |12|100|000000 / b|12|0|000000");
}

}  // namespace
