#include <gtest/gtest.h>

#include <string>

#include "html/char_refs.h"

namespace {

TEST(CharRefs, DecodeAsBrowsersDo) {
    const struct {
        const char* input;
        bool inAttribute;
        const char* expected;
    } cases[] = {
        {"&amp;", false, "&"},
        {"&lt;b&gt;", false, "<b>"},
        {"&lt", false, "<"},                // legacy name without ";"
        {"&notit;", false, "\xC2\xACit;"},  // longest legacy prefix
        {"&notin;", false, "\xE2\x88\x89"},
        {"&eacute;t&eacute", false, "\xC3\xA9t\xC3\xA9"},
        {"&NotEqualTilde;", false, "\xE2\x89\x82\xCC\xB8"},  // two code points
        {"&#65;&#x42;&#X43", false, "ABC"},
        {"&#0;", false, "\xEF\xBF\xBD"},
        {"&#xD800;", false, "\xEF\xBF\xBD"},
        {"&#x110000;", false, "\xEF\xBF\xBD"},
        {"&#99999999999999999999999999;", false, "\xEF\xBF\xBD"},
        {"&#128;&#x99;", false, "\xE2\x82\xAC\xE2\x84\xA2"},  // windows-1252 for 0x80-0x9F
        {"&#;&#x;", false, "&#;&#x;"},
        {"&bogus; & &;", false, "&bogus; & &;"},
        {"a&amp=b", true, "a&amp=b"},  // no ";" before "=" in an attribute
        {"a&ampx", true, "a&ampx"},
        {"a&ampx", false, "a&x"},
        {"a&amp;x", true, "a&x"},
        {"&", false, "&"},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.input);
        std::string out;
        const std::string in = tc.input;
        html::appendDecoded(in.data(), in.data() + in.size(), tc.inAttribute, out);
        EXPECT_EQ(out, tc.expected);
    }
}

TEST(CharRefs, NeverReadsPastTheEnd) {
    // "&amp;" cut before its ";" is still the legacy "&amp".
    const std::string in = "&amp;";
    std::string out;
    EXPECT_EQ(html::decodeCharRef(in.data(), in.data() + 4, false, out), 4u);
    EXPECT_EQ(out, "&");
    out.clear();
    EXPECT_EQ(html::decodeCharRef(in.data(), in.data() + 1, false, out), 0u);
    EXPECT_TRUE(out.empty());
}

}  // namespace
