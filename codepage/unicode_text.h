// Whole strings between UTF-8 and the system's ANSI code page, as Windows
// converts them through UTF-16: best fit, and "?" for what the code page
// lacks; bytes that are not UTF-8 become U+FFFD first.
#pragma once

#include <cstddef>
#include <string>

#include "codepage/code_page.h"

namespace codepage {

// Appends the UTF-8 bytes [p, p + n) in the ANSI code page to `out`.
void appendAnsiFromUtf8(std::string& out, const char* p, std::size_t n);

// Appends the ANSI bytes [p, p + n) in UTF-8 to `out`. A lead byte without
// its trail byte at the end becomes what Windows makes of it.
void appendUtf8FromAnsi(std::string& out, const char* p, std::size_t n);

// Appends the bytes [p, p + n), in code page `cp`, in UTF-8 to `out`, as
// appendUtf8FromAnsi does for the ANSI code page.
void appendUtf8FromCodePage(std::string& out, const char* p, std::size_t n, CodePage cp);

}  // namespace codepage
