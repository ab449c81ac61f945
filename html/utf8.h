// UTF-8 as the HTML reader needs it: appending a code point, and bytes made
// valid the way a browser's decoder does, each bad sequence becoming U+FFFD.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "codepage/utf8.h"

namespace html {

using codepage::appendUtf8;

// Answers how many bytes from the start of [p, p + n) are well-formed
// UTF-8 in whole characters: n when all of them are.
std::size_t validUtf8Prefix(const char* p, std::size_t n);

// Appends [p, p + n) to `out` as valid UTF-8: every maximal part of an
// ill-formed sequence becomes one U+FFFD, as the Encoding Standard decodes.
void appendValidUtf8(std::string& out, const char* p, std::size_t n);

}  // namespace html
