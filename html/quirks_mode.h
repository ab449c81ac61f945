// Whether a browser renders a document in quirks mode: with no doctype
// before the first element, or one of the old doctypes that ask for it. In
// quirks mode tables do not inherit the font's size, weight and slant, and a
// table does not end an open paragraph.
#pragma once

#include <string>
#include <string_view>

namespace html {

bool isQuirksMode(std::string_view document);

}  // namespace html
