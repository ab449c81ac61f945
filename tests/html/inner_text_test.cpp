// The text of fragments, compared with what Chromium's innerText gives for them.
#include <gtest/gtest.h>

#include <string>

#include "html_test_support.h"

namespace {

TEST(InnerText, BlocksLinesWhiteSpaceAndHiddenContent) {
    const struct {
        const char* html;
        const char* text;
    } cases[] = {
        {"plain", "plain"},
        {"  a \n\t  b  ", "a b"},
        {"<p>a</p><p>b</p>", "a\n\nb"},
        {"<div>a</div><div>b</div>", "a\nb"},
        {"<div><p>a</p></div><div>b</div>", "a\n\nb"},
        {"a<br>b", "a\nb"},
        {"a <br> b", "a\nb"},
        {"a<br>", "a\n"},
        {"<br>a", "\na"},
        {"<b>a </b> b", "a b"},
        {"a<span> </span>b", "a b"},
        {"<h1>T</h1>p", "T\np"},
        {"<ul><li>one</li><li>two</ul>", "one\ntwo"},
        {"<p>one<p>two", "one\n\ntwo"},
        {"<table><tr><td>a</td><td>b</td></tr>\n<tr><td>c<td>d</table>", "a\tb\nc\td"},
        {"<table> <tr> <td> a </td> <td> b </td> </tr> </table>", "a\tb"},
        {"<pre>\n a  b\n\tc</pre>", " a  b\n\tc"},
        {"<span style='white-space:pre-wrap'>a  b\tc</span>", "a  b\tc"},
        {"<span style='white-space:pre-line'>a   b\n  c</span>", "a b\nc"},
        {"<script>var x = '<b>';</script>y", "y"},
        {"<style>p { color: red }</style>y", "y"},
        {"<!-- <b>c</b> -->y", "y"},
        {"<head><title>t</title></head>y", "y"},
        {"<span style='display:none'>x</span>y", "y"},
        {"<span hidden>x</span>y", "y"},
        {"<p>x<![if !supportLists]>1.<![endif]>y</p>", "x1.y"},
        {"<p>x<!--[if !supportLists]-->1.<!--[endif]-->y</p>", "x1.y"},
        {"a&nbsp;&nbsp;b",
         "a\xC2\xA0\xC2\xA0"
         "b"},
        {"&lt;&amp;&gt;&quot;&#39;", "<&>\"'"},
        {"a\r\nb", "a b"},
        {"<pre>a\r\nb\rc</pre>", "a\nb\nc"},
        {"<b>x</p>y", "x\n\ny"},
        {"a</br>b", "a\nb"},
        {"<textarea>t</textarea>x", "x"},
        {"<p>", ""},
        {"<style>table{display:block}</style><table><tr><td>a<td>b<tr><td>c</table>", "a\tb\nc"},
        {"<p>a<table><tr><td>b</table>", "a\nb"},  // quirks mode: the table is inside the paragraph
        {"<!DOCTYPE html><p>a<table><tr><td>b</table>", "a\n\nb"},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.html);
        EXPECT_EQ(htmltest::read(tc.html).text, tc.text);
    }
}

TEST(InnerText, OnlyTheFragmentGivesText) {
    const std::string doc = "<p>before <b>bold <!--S-->inside<!--E--> after</b></p>";
    const std::size_t start = doc.find("<!--S-->") + 8;
    const std::size_t end = doc.find("<!--E-->");
    const html::FragmentText f = html::readFragment(doc, start, end);
    EXPECT_EQ(f.text, "inside");
    ASSERT_EQ(f.runs.size(), 1u);
    EXPECT_EQ(f.runs[0].style.face, 0x0100);  // the <b> around the fragment counts
}

}  // namespace
