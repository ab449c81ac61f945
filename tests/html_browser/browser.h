// Chromium as the reference: renders an HTML document and reports, for each
// character of its fragment's innerText, the style the browser computed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "html/text_builder.h"

namespace browser {

struct BrowserChar {
    std::uint32_t codePoint;
    bool styled;  // false for what innerText adds (line ends, tabs) and collapsible spaces
    html::RunStyle style;
};

// The command that starts Chromium, or empty when none is installed.
std::string chromiumCommand();

// Renders `document` (UTF-8) with the fragment [fragmentStart, fragmentEnd)
// marked, and answers each character of the fragment's innerText. False,
// with `error` set, when Chromium did not answer.
bool render(const std::string& document, std::size_t fragmentStart, std::size_t fragmentEnd,
            std::vector<BrowserChar>& out, std::string& error);

// Renders an "HTML Format" block and answers its fragment's innerText in
// UTF-8. False, with `error` set, when the header is refused or Chromium
// did not answer.
bool innerTextOfBlock(const std::string& block, std::string& text, std::string& error);

// The code points of UTF-8 text, each with the run style it has in `runs`.
std::vector<BrowserChar> charsOf(const std::string& text, const std::vector<html::TextRun>& runs);

}  // namespace browser
