#include <gtest/gtest.h>

#include <string>

#include "html/cf_html.h"

namespace {

std::string header(const char* startHtml, const char* endHtml, const char* startFragment, const char* endFragment) {
    return std::string("Version:0.9\r\nStartHTML:") + startHtml + "\r\nEndHTML:" + endHtml +
           "\r\nStartFragment:" + startFragment + "\r\nEndFragment:" + endFragment + "\r\n";
}

TEST(CfHtml, WrittenBlocksReadBack) {
    const std::string block = html::makeCfHtml("<b>x</b> &amp; y");
    html::CfHtmlLayout layout;
    ASSERT_TRUE(html::parseCfHtmlHeader(block.data(), block.size(), layout));
    EXPECT_EQ(block.substr(layout.fragmentStart, layout.fragmentEnd - layout.fragmentStart), "<b>x</b> &amp; y");
    EXPECT_EQ(block.substr(layout.documentStart, 6), "<html>");
    EXPECT_EQ(layout.documentEnd, block.size());
    EXPECT_EQ(block.compare(0, 23, "Version:0.9\r\nStartHTML:"), 0);
    html::FragmentText text;
    ASSERT_TRUE(html::readCfHtml(block.data(), block.size(), text));
    EXPECT_EQ(text.text, "x & y");
}

TEST(CfHtml, HeadersAreValidated) {
    // Offsets are filled in so that the 105-byte header is followed by the document.
    const std::string body = "<html><body><!--StartFragment-->hi<!--EndFragment--></body></html>";
    const struct {
        const char* name;
        std::string block;
        bool valid;
    } cases[] = {
        {"exact", header("0000000105", "0000000171", "0000000137", "0000000139") + body, true},
        {"no html offsets", header("-1", "-1", "0000000121", "0000000123") + body, true},
        {"missing field", std::string("Version:0.9\r\nStartHTML:-1\r\nEndHTML:-1\r\nStartFragment:10\r\n") + body,
         false},
        {"missing version", std::string("StartHTML:-1\r\nEndHTML:-1\r\nStartFragment:70\r\nEndFragment:72\r\n") + body,
         false},
        {"negative fragment", header("-1", "-1", "-5", "0000000123") + body, false},
        {"minus two", header("-2", "-1", "0000000121", "0000000123") + body, false},
        {"out of order", header("-1", "-1", "0000000123", "0000000121") + body, false},
        {"fragment in header", header("-1", "-1", "0000000003", "0000000123") + body, false},
        {"past the end", header("0000000105", "0000009999", "0000000137", "0000000139") + body, false},
        {"fragment past the end", header("-1", "-1", "0000000121", "0000099999") + body, false},
        {"html after fragment", header("0000000140", "0000000171", "0000000137", "0000000139") + body, false},
        {"not a number", header("0000000105", "0000000171", "0x89", "0000000139") + body, false},
        {"huge number", header("0000000105", "0000000171", "99999999999999999999", "0000000139") + body, false},
        {"no header", body, false},
        {"empty", "", false},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        html::CfHtmlLayout layout;
        EXPECT_EQ(html::parseCfHtmlHeader(tc.block.data(), tc.block.size(), layout), tc.valid);
        html::FragmentText text;
        EXPECT_EQ(html::readCfHtml(tc.block.data(), tc.block.size(), text), tc.valid);
        if (tc.valid) {
            EXPECT_EQ(text.text, "hi");
        }
    }
}

TEST(CfHtml, OffsetsCountOnlyUpToTheFirstNul) {
    std::string block = html::makeCfHtml("abc");
    const std::size_t size = block.size();
    block.append(16, '\0');  // a block larger than its contents, as Windows rounds them
    html::CfHtmlLayout layout;
    EXPECT_TRUE(html::parseCfHtmlHeader(block.data(), block.size(), layout));
    block[size - 3] = '\0';  // now EndHTML lies past the contents
    EXPECT_FALSE(html::parseCfHtmlHeader(block.data(), block.size(), layout));
}

}  // namespace
