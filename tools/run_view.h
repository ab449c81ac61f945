// Shows a styled text and its runs: as a table, JSON, terminal colours or HTML.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "codepage/code_page.h"
#include "codepage/foreign_chars.h"

class CharStyle;

namespace tool {

struct Run {
    std::int32_t start;
    std::int32_t end;  // one past the last character
    std::int16_t size;
    std::uint16_t face;
    std::uint32_t colour;  // 0x00RRGGBB
};

// The text in its code page, its characters that the code page lacks, and
// its runs, whose positions count bytes of the text.
struct StyledText {
    std::string text;
    codepage::CodePage cp = codepage::kWindowsLatin1;
    codepage::ForeignChars foreign;
    std::vector<Run> runs;
};

// Reads a container through its queries, as any converter would; its text is
// in the ANSI code page.
StyledText readContainer(CharStyle& container);

// The face word as names ("bold italic"), or "plain".
std::string faceNames(std::uint16_t face);

// Every view gives the text in UTF-8 (JSON as escapes), whatever its code page.
std::string asTable(const StyledText& styled);
std::string asJson(const StyledText& styled);
std::string asAnsi(const StyledText& styled);
std::string asHtml(const StyledText& styled, const std::string& title);

}  // namespace tool
