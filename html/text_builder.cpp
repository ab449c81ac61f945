#include "html/text_builder.h"

#include <cmath>

#include "html/char_class.h"
#include "style/face_bits.h"

namespace html {

namespace {

// CSS collapses the document's white space.
constexpr bool isCollapsible(char c) { return isSpace(c); }

}  // namespace

RunStyle runStyleOf(const ComputedStyle& s) {
    RunStyle r;
    const double points = std::floor(s.fontPx * 0.75 + 0.5);
    r.size = static_cast<std::int16_t>(points < 0 ? 0 : points > 32767 ? 32767 : points);
    unsigned face = 0;
    if (s.weight >= 600) face |= kFaceBold;
    if (s.italic) face |= kFaceItalic;
    if (s.decorations & kDecorationUnderline) face |= kFaceUnderline;
    if (s.decorations & kDecorationLineThrough) face |= kFaceStrikethrough;
    if (s.verticalAlign == VerticalAlign::kSuper) face |= kFaceSuperscript;
    if (s.verticalAlign == VerticalAlign::kSub) face |= kFaceSubscript;
    r.face = static_cast<std::uint16_t>(face);
    r.colour = s.colour & 0xFFFFFFu;
    return r;
}

void TextBuilder::put(const char* p, std::size_t n, const RunStyle& style) {
    if (n == 0) return;
    if (pendingBreaks_ > 0) {
        // Breaks between two pieces of text; those before the first are dropped.
        if (!out_.empty()) out_.append(static_cast<std::size_t>(pendingBreaks_), '\n');
        pendingBreaks_ = 0;
    }
    if (runs_.empty() || runs_.back().style != style) {
        if (!runs_.empty() && runs_.back().start == out_.size())
            runs_.back().style = style;
        else
            runs_.push_back(TextRun{out_.size(), style});
    }
    out_.append(p, n);
}

void TextBuilder::flushSpace() {
    if (pendingSpace_ && !lineStart_) put(" ", 1, spaceStyle_);
    pendingSpace_ = false;
}

void TextBuilder::text(const std::string& s, const ComputedStyle& style) {
    if (s.empty()) return;
    const RunStyle rs = runStyleOf(style);
    const char* p = s.data();
    const char* end = p + s.size();
    switch (style.whiteSpace) {
        case WhiteSpace::kPre:
        case WhiteSpace::kPreWrap: {
            flushSpace();
            put(p, s.size(), rs);
            lineStart_ = s.back() == '\n';
            return;
        }
        case WhiteSpace::kNormal:
        case WhiteSpace::kNowrap:
        case WhiteSpace::kPreLine: {
            const bool keepLines = style.whiteSpace == WhiteSpace::kPreLine;
            while (p < end) {
                if (keepLines && *p == '\n') {
                    pendingSpace_ = false;
                    put("\n", 1, rs);
                    lineStart_ = true;
                    ++p;
                } else if (isCollapsible(*p)) {
                    if (!pendingSpace_ && !lineStart_) {
                        pendingSpace_ = true;
                        spaceStyle_ = rs;
                    }
                    ++p;
                } else {
                    const char* q = p;
                    while (q < end && !isCollapsible(*q)) ++q;
                    flushSpace();
                    put(p, static_cast<std::size_t>(q - p), rs);
                    lineStart_ = false;
                    p = q;
                }
            }
            return;
        }
    }
}

void TextBuilder::requiredBreaks(int n) {
    pendingSpace_ = false;
    lineStart_ = true;
    if (n > pendingBreaks_) pendingBreaks_ = n;
}

void TextBuilder::string(const char* s, const RunStyle* style) {
    pendingSpace_ = false;
    const RunStyle rs = style != nullptr ? *style : runs_.empty() ? RunStyle{} : runs_.back().style;
    std::size_t n = 0;
    while (s[n] != '\0') ++n;
    // put() would drop breaks before the first text; a string keeps them only
    // after text, as innerText does.
    put(s, n, rs);
    lineStart_ = true;
}

void TextBuilder::dropSpace() {
    pendingSpace_ = false;
    lineStart_ = true;
}

}  // namespace html
