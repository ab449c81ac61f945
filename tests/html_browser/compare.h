// Compares two readings of the same text character by character: the code
// points, and the style of every character the browser could attribute.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "browser.h"

namespace browser {

struct Comparison {
    std::size_t characters = 0;  // of the browser's text
    bool sameText = false;
    std::size_t styled = 0;  // characters whose styles were compared
    std::size_t sameStyle = 0;
    std::vector<std::string> notes;  // the first differences, readably
};

Comparison compare(const std::vector<BrowserChar>& ours, const std::vector<BrowserChar>& chromium);

// "U+0041 'A'" or the like, for messages.
std::string describe(const BrowserChar& c);

}  // namespace browser
