// Shows a styled text and its runs: as a table, JSON, terminal colours or HTML.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CharStyle;

namespace tool {

struct Run {
    std::int32_t start;
    std::int32_t end;  // one past the last character
    std::int16_t size;
    std::uint16_t face;
    std::uint32_t colour;  // 0x00RRGGBB
};

struct StyledText {
    std::string text;
    std::vector<Run> runs;
};

// Reads a container through its queries, as any converter would.
StyledText readContainer(CharStyle& container);

// The face word as names ("bold italic"), or "plain".
std::string faceNames(std::uint16_t face);

std::string asTable(const StyledText& styled);
std::string asJson(const StyledText& styled);
std::string asAnsi(const StyledText& styled);
std::string asHtml(const StyledText& styled, const std::string& title);

}  // namespace tool
