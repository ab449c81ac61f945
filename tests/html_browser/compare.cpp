#include "compare.h"

#include <cstdio>

namespace browser {

namespace {

constexpr std::size_t kMaxNotes = 8;

std::string styleText(const html::RunStyle& s) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%dpt face %04x colour %06x", s.size, s.face, static_cast<unsigned>(s.colour));
    return buf;
}

std::string context(const std::vector<BrowserChar>& chars, std::size_t at) {
    std::string out;
    for (std::size_t i = at >= 12 ? at - 12 : 0; i < chars.size() && i < at + 12; ++i) {
        const std::uint32_t cp = chars[i].codePoint;
        out += cp == '\n'   ? std::string("\\n")
               : cp == '\t' ? std::string("\\t")
               : cp < 0x80  ? std::string(1, static_cast<char>(cp))
                            : std::string("~");
    }
    return out;
}

}  // namespace

std::string describe(const BrowserChar& c) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c.codePoint));
    return buf;
}

Comparison compare(const std::vector<BrowserChar>& ours, const std::vector<BrowserChar>& chromium) {
    Comparison r;
    r.characters = chromium.size();
    r.sameText = ours.size() == chromium.size();
    std::size_t firstTextDifference = std::min(ours.size(), chromium.size());
    for (std::size_t i = 0; i < std::min(ours.size(), chromium.size()); ++i) {
        if (ours[i].codePoint != chromium[i].codePoint) {
            r.sameText = false;
            firstTextDifference = i;
            break;
        }
    }
    if (!r.sameText) {
        r.notes.push_back("text differs at character " + std::to_string(firstTextDifference) + ": ours \"" +
                          context(ours, firstTextDifference) + "\", Chromium's \"" +
                          context(chromium, firstTextDifference) + "\" (" + std::to_string(ours.size()) + " and " +
                          std::to_string(chromium.size()) + " characters)");
    }
    // Styles are compared where the texts agree.
    for (std::size_t i = 0; i < firstTextDifference; ++i) {
        if (!chromium[i].styled || !ours[i].styled) continue;
        ++r.styled;
        if (ours[i].style == chromium[i].style) {
            ++r.sameStyle;
        } else if (r.notes.size() < kMaxNotes) {
            r.notes.push_back("style of character " + std::to_string(i) + " (" + describe(chromium[i]) + ", \"" +
                              context(chromium, i) + "\"): ours " + styleText(ours[i].style) + ", Chromium's " +
                              styleText(chromium[i].style));
        }
    }
    return r;
}

}  // namespace browser
