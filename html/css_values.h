// CSS values the reader takes: colours in every syntax browsers read (hex,
// rgb(), rgba(), hsl(), hsla(), hwb(), lab(), lch(), oklab(), oklch(),
// color(), names, transparent, currentcolor) and
// font sizes (lengths, percentages, keywords, smaller and larger).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "html/char_class.h"

namespace html {

// Without the spaces at either end.
std::string trimmed(const std::string& s);
// The value split at spaces and commas that stand outside parentheses and
// quotes; quotes and commas are kept as their own pieces for "," only.
std::vector<std::string> splitValue(const std::string& value);

// Reads a CSS hue: a number of degrees, or an angle in deg, rad, grad or
// turn; "none" is 0. Answers it in [0, 360); false when `s` is none of those.
bool parseHue(const std::string& s, double& degrees);

// The colour named `lowerName` (lower case), if CSS names it.
bool namedColour(const std::string& lowerName, std::uint32_t& rgb);

struct Colour {
    enum Kind { kInvalid, kRgb, kCurrentColour };
    Kind kind = kInvalid;
    std::uint32_t rgb = 0;  // 0x00RRGGBB; the alpha is not kept
};
Colour parseColour(const std::string& value);

// A legacy colour attribute (<font color>), as browsers read it.
bool parseLegacyColour(const std::string& value, std::uint32_t& rgb);

struct FontSize {
    enum Kind { kInvalid, kPixels, kFactor, kKeyword, kSmaller, kLarger, kRootFactor };
    Kind kind = kInvalid;
    double value = 0;  // pixels, or the factor of the parent's (or root's) size
    int keyword = 0;   // 0 xx-small to 7 xxx-large
};
FontSize parseFontSize(const std::string& value);

// The size in pixels of keyword 0 (xx-small) to 7 (xxx-large), for the
// proportional fonts or the monospace ones.
double keywordPixels(int keyword, bool monospace);

// A length with its unit in pixels, or a negative number when it is none.
double lengthPixels(const std::string& value);

}  // namespace html
