// The text a browser's innerText gives for what it renders, built item by
// item: text with white space collapsed as CSS says, line breaks that blocks
// require (several in a row count as their largest, and none at either end),
// and the strings that <br>, table rows and cells add. Each character has
// the style of the element it comes from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "html/computed_style.h"

namespace html {

// What the clipboard's containers keep of a style.
struct RunStyle {
    std::int16_t size = 12;    // points
    std::uint16_t face = 0;    // the containers' face bits
    std::uint32_t colour = 0;  // 0x00RRGGBB
    bool operator==(const RunStyle& o) const { return size == o.size && face == o.face && colour == o.colour; }
    bool operator!=(const RunStyle& o) const { return !(*this == o); }
};

// A run: from byte `start` of the text to the next run's start.
struct TextRun {
    std::size_t start;
    RunStyle style;
};

// The run style of an element's text: pixels to points (× 0.75, rounded),
// bold from weight 600, the decorations and vertical alignment in effect.
RunStyle runStyleOf(const ComputedStyle& style);

class TextBuilder {
  public:
    // Makes room for about `bytes` of text at once, sparing the copies and
    // fresh pages of growing step by step; untouched room costs no memory.
    void reserve(std::size_t bytes) { out_.reserve(bytes); }
    // The text of a text node.
    void text(const std::string& s, const ComputedStyle& style);
    // A block's boundary: at least `n` line ends before what follows.
    void requiredBreaks(int n);
    // A string that is not collapsed: "\n" for <br> and between table rows,
    // "\t" between cells; with the style of the text before it when null.
    void string(const char* s, const RunStyle* style);
    // Forgets a collapsible space waiting at a cell's boundary.
    void dropSpace();

    const std::string& result() const { return out_; }
    const std::vector<TextRun>& runs() const { return runs_; }
    std::string takeResult() { return std::move(out_); }
    std::vector<TextRun> takeRuns() { return std::move(runs_); }

  private:
    void put(const char* p, std::size_t n, const RunStyle& style);
    void flushSpace();

    std::string out_;
    std::vector<TextRun> runs_;
    int pendingBreaks_ = 0;
    bool pendingSpace_ = false;
    RunStyle spaceStyle_;
    bool lineStart_ = true;
};

}  // namespace html
