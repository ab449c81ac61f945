// HTML character references: "&amp;", "&eacute", "&#233;", "&#xE9;".
#pragma once

#include <cstddef>
#include <string>

namespace html {

// Decodes the character reference at `p` (which points at "&") and appends
// it to `out`; answers the bytes it took, or 0 when `p` starts none (the "&"
// is then an ordinary character). In an attribute value, a named reference
// without ";" that a letter, digit or "=" follows is not one, as browsers
// read them. Never reads at or past `end`; appends at most 8 bytes.
std::size_t decodeCharRef(const char* p, const char* end, bool inAttribute, std::string& out);

// Appends [p, end) with every character reference decoded.
void appendDecoded(const char* p, const char* end, bool inAttribute, std::string& out);

}  // namespace html
