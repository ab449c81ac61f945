// Reading HTML text for the tests: a whole string as the fragment, and runs
// written as "text|size|face|colour" pieces that a failure shows readably.
#pragma once

#include <cstdio>
#include <string>

#include "html/fragment_reader.h"
#include "html/utf8.h"

namespace htmltest {

inline html::FragmentText read(const std::string& markup) {
    std::string valid;
    html::appendValidUtf8(valid, markup.data(), markup.size());
    return html::readFragment(valid, 0, valid.size());
}

// "text|size|face(hex)|colour(hex)" for each run, joined by " / ".
inline std::string describeRuns(const html::FragmentText& f) {
    std::string out;
    for (std::size_t i = 0; i < f.runs.size(); ++i) {
        const std::size_t end = i + 1 < f.runs.size() ? f.runs[i + 1].start : f.text.size();
        char buf[64];
        std::snprintf(buf, sizeof buf, "|%d|%x|%06x", f.runs[i].style.size, f.runs[i].style.face,
                      static_cast<unsigned>(f.runs[i].style.colour));
        if (!out.empty()) out += " / ";
        out += f.text.substr(f.runs[i].start, end - f.runs[i].start) + buf;
    }
    return out;
}

}  // namespace htmltest
