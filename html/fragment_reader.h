// Reads the text and runs of a fragment of an HTML document as a browser
// shows them: the whole document is parsed, so that the elements around the
// fragment and every <style> block count, but only what stands between the
// fragment's offsets gives text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "html/text_builder.h"

namespace html {

struct FragmentText {
    std::string text;           // UTF-8, line ends "\n"
    std::vector<TextRun> runs;  // byte positions in `text`, ascending
};

// Elements open at once that take part in styling; deeper ones are kept
// only to match their end tags, and their text has the style at this depth,
// as browsers' parsers attach elements beyond a depth to an ancestor.
constexpr std::size_t kMaxStyledDepth = 512;

// `document` must be valid UTF-8; 0 <= fragmentStart <= fragmentEnd <= size.
FragmentText readFragment(std::string_view document, std::size_t fragmentStart, std::size_t fragmentEnd);

}  // namespace html
