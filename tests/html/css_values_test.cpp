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
