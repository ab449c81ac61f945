// Blocks made to exhaust a reader: deep nesting, unterminated markup, huge
// references, invalid UTF-8. Each reads to an answer with bounded memory.
#include <gtest/gtest.h>

#include <string>

#include "bench/hostile_css.h"
#include "html/cf_html.h"
#include "html_test_support.h"

namespace {

TEST(Hostile, MillionNestedElements) {
    std::string doc;
    for (int i = 0; i < 1000000; ++i) doc += "<b>";
    doc += "x";
    for (int i = 0; i < 1000000; ++i) doc += "</b>";
    doc += "y";
    const html::FragmentText f = htmltest::read(doc);
    EXPECT_EQ(f.text, "xy");
    EXPECT_EQ(htmltest::describeRuns(f), "x|12|100|000000 / y|12|0|000000");
}

TEST(Hostile, MillionNestedBlocksAndListItems) {
    std::string doc = "<ul>";
    for (int i = 0; i < 200000; ++i) doc += "<div><li>";
    doc += "x";
    EXPECT_EQ(htmltest::read(doc).text, "x");
}

TEST(Hostile, UnterminatedMarkupAndOddReferences) {
    const struct {
        const char* html;
        const char* text;
    } cases[] = {
        {"a<!-- never closed", "a"},
        {"a<b class='never closed", "a"},
        {"a<b", "a"},
        {"a<", "a<"},
        {"a</", "a</"},
        {"a<!", "a"},
        {"<script>never closed", ""},
        {"a&#99999999999999999999999999999999999999;", "a\xEF\xBF\xBD"},
        {"a\xFF\xC3(\xE2\x82", "a\xEF\xBF\xBD\xEF\xBF\xBD(\xEF\xBF\xBD"},
        {"a\xED\xA0\x80z", "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBDz"},  // a surrogate in UTF-8
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.html);
        EXPECT_EQ(htmltest::read(tc.html).text, tc.text);
    }
}

TEST(Hostile, InputsThatWouldTakeQuadraticTime) {
    // Each case is a few megabytes; a reader quadratic in any of them would
    // not finish. Only the text is checked.
    std::string atRules, attributes = "<b", semicolons = "<style>";
    for (int i = 0; i < 300000; ++i) atRules += "@a;";
    for (int i = 0; i < 200000; ++i) attributes += " a" + std::to_string(i) + "=1";
    for (int i = 0; i < 300000; ++i) semicolons += "@x{}";
    const struct {
        const char* name;
        std::string html;
        std::size_t textSize;
    } cases[] = {
        {"at-rules without a block", "<style>" + atRules + "</style>x", 1},
        {"at-rules with empty blocks", semicolons + "</style>x", 1},
        {"a tag with 200,000 attributes", attributes + ">x</b>", 1},
        {"a million characters \"<\" before a comment never closed", std::string(1000000, '<') + "!--", 999999},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        EXPECT_EQ(htmltest::read(tc.html).text.size(), tc.textSize);
    }
}

TEST(Hostile, SelectorsWithCombinatorsHaveABudget) {
    // Every element is a candidate for every selector, and each selector
    // would search 500 ancestors at every step: without the budget, about
    // 10^12 comparisons.
    std::string doc = "<style>";
    for (int i = 0; i < 2000; ++i) doc += "b b b b b b q" + std::to_string(i) + " i, ";
    doc += "b b b b b b x i {color:red}</style>";
    for (int i = 0; i < 500; ++i) doc += "<b>";
    for (int i = 0; i < 2000; ++i) doc += "<i>x</i>";
    const html::FragmentText f = htmltest::read(doc);
    EXPECT_EQ(f.text.size(), 2000u);
}

TEST(Hostile, ManyRulesAndClassesStayBounded) {
    std::string doc = "<style>";
    for (int i = 0; i < 20000; ++i) doc += ".c" + std::to_string(i) + ",p{color:red}";
    doc += "</style>";
    std::string classes;
    for (int i = 0; i < 1000; ++i) classes += " c" + std::to_string(i);
    for (int i = 0; i < 300; ++i) doc += "<p class='" + classes + "'>x</p>";
    const html::FragmentText f = htmltest::read(doc);
    EXPECT_EQ(f.runs.size(), 1u);
    EXPECT_EQ(f.runs[0].style.colour, 0xFF0000u);
}

// Style sheets made to cost time out of proportion to their size: each family
// at 10 KB, 100 KB and 1 MB reads to the text and style a browser shows. A
// reader whose time grew faster than the document would take minutes here.
TEST(Hostile, StyleSheetsCostTimeLinearInTheirSize) {
    for (const hostilecss::Family& family : hostilecss::families()) {
        for (std::size_t bytes : {10000u, 100000u, 1000000u}) {
            SCOPED_TRACE(std::string(family.name) + " at " + std::to_string(bytes) + " bytes");
            const std::string doc = family.make(bytes);
            std::size_t xs = 0;  // every element holds one "x"
            for (std::size_t at = doc.find(">x</"); at != std::string::npos; at = doc.find(">x</", at + 1)) ++xs;
            ASSERT_GT(xs, 100u);
            const html::FragmentText f = htmltest::read(doc);
            EXPECT_EQ(f.text, std::string(xs, 'x'));
            if (family.colour == hostilecss::Family::kUnchecked) continue;
            ASSERT_EQ(f.runs.size(), 1u);
            EXPECT_EQ(f.runs[0].style.colour, family.colour == hostilecss::Family::kRed ? 0xFF0000u : 0u);
        }
    }
}

}  // namespace
