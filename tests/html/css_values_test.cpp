#include "html/css_values.h"

#include <gtest/gtest.h>

namespace {

// hsl(), hwb(), lch() and oklch() read their hue alike: in any unit, brought
// into [0, 360), and refused when it is not a CSS number.
TEST(CssHue, OneHueForEveryColourFunction) {
    const struct {
        const char* a;
        const char* b;
    } same[] = {
        {"hsl(-120 100% 50%)", "hsl(240 100% 50%)"},  {"hsl(0.5turn 100% 50%)", "hsl(180deg 100% 50%)"},
        {"hwb(400grad 0% 0%)", "hwb(0 0% 0%)"},       {"lch(50% 60 -90)", "lch(50% 60 270)"},
        {"oklch(0.6 0.2 1turn)", "oklch(0.6 0.2 0)"}, {"lch(50% 60 3.14159265358979rad)", "lch(50% 60 180deg)"},
    };
    for (const auto& tc : same) {
        SCOPED_TRACE(tc.a);
        const html::Colour a = html::parseColour(tc.a);
        const html::Colour b = html::parseColour(tc.b);
        ASSERT_EQ(a.kind, html::Colour::kRgb);
        ASSERT_EQ(b.kind, html::Colour::kRgb);
        EXPECT_EQ(a.rgb, b.rgb);
    }
    for (const char* refused : {"hsl(0x10 100% 50%)", "lch(50% 60 0x10)", "oklch(0.6 0.2 10px)", "lch(50% 60 inf)"}) {
        SCOPED_TRACE(refused);
        EXPECT_EQ(html::parseColour(refused).kind, html::Colour::kInvalid);
    }
}

}  // namespace

// Colour attributes (<font color>, <body link>) by the HTML rules, the common
// "#rrggbb" among them.
TEST(LegacyColour, AsHtmlMakesThem) {
    const struct {
        const char* value;
        bool parsed;
        std::uint32_t rgb;
    } cases[] = {
        {"#00A0ff", true, 0x00A0FF}, {" #abcdef ", true, 0xABCDEF}, {"#abc", true, 0xAABBCC},
        {"#12345g", true, 0x123450}, {"#1234567", true, 0x124570}, {"chucknorris", true, 0xC00000},
        {"Teal", true, 0x008080},    {"transparent", false, 0},    {"", false, 0},
    };
    for (const auto& tc : cases) {
        std::uint32_t rgb = 0;
        EXPECT_EQ(html::parseLegacyColour(tc.value, rgb), tc.parsed) << tc.value;
        if (tc.parsed) {
            EXPECT_EQ(rgb, tc.rgb) << tc.value;
        }
    }
}
