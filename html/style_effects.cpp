#include "html/style_effects.h"

#include <cstdlib>
#include <string>

namespace html {

namespace {

int bolder(int w) { return w < 350 ? 400 : w < 550 ? 700 : w < 900 ? 900 : w; }
int lighter(int w) { return w < 100 ? w : w < 550 ? 100 : w < 750 ? 400 : 700; }

int resolveWeight(const WeightValue& w, int parentWeight) {
    switch (w.kind) {
        case WeightValue::kBolder:
            return bolder(parentWeight);
        case WeightValue::kLighter:
            return lighter(parentWeight);
        case WeightValue::kAbsolute:
            break;
    }
    return w.weight;
}

// Reads a font-weight value (lower case); false when it is none.
bool parseWeight(const std::string& v, WeightValue& out) {
    if (v == "normal") {
        out = WeightValue{WeightValue::kAbsolute, 400};
    } else if (v == "bold") {
        out = WeightValue{WeightValue::kAbsolute, 700};
    } else if (v == "bolder") {
        out = WeightValue{WeightValue::kBolder, 0};
    } else if (v == "lighter") {
        out = WeightValue{WeightValue::kLighter, 0};
    } else {
        if (v.empty() || v.size() > 7) return false;
        char* after = nullptr;
        const double n = std::strtod(v.c_str(), &after);
        if (after == v.c_str() || *after != '\0' || !(n >= 1 && n <= 1000)) return false;
        out = WeightValue{WeightValue::kAbsolute, static_cast<int>(n)};
    }
    return true;
}

bool isMonospaceFamily(const std::string& v) { return lowerAscii(trimmed(v)) == "monospace"; }

std::uint8_t decorationLines(const std::string& value) {
    std::uint8_t lines = 0;
    for (const std::string& part : splitValue(value)) {
        if (part == "underline") lines |= kDecorationUnderline;
        if (part == "line-through") lines |= kDecorationLineThrough;
    }
    return lines;
}

// Reads the font shorthand: style and weight keywords, a size (with a line
// height) and a family, which must be there; false when it is not that.
bool compileFontShorthand(const std::string& value, Effect& e) {
    const std::vector<std::string> parts = splitValue(value);
    e.italic = false;
    e.weight = WeightValue{};
    std::size_t i = 0;
    for (; i < parts.size(); ++i) {
        const std::string p = lowerAscii(parts[i]);
        WeightValue weight;
        if (p == "italic" || p == "oblique") {
            e.italic = true;
        } else if (p == "normal" || p == "small-caps" || p.find("condensed") != std::string::npos ||
                   p.find("expanded") != std::string::npos) {
        } else if (parseWeight(p, weight) && parseFontSize(p).kind == FontSize::kInvalid) {
            e.weight = weight;
        } else {
            break;
        }
    }
    if (i >= parts.size()) return false;
    std::string sizeText = parts[i];
    const std::size_t slash = sizeText.find('/');
    if (slash != std::string::npos) sizeText.resize(slash);
    e.size = parseFontSize(sizeText);
    if (e.size.kind == FontSize::kInvalid) return false;
    // The family follows the size (and a line height), and must be there.
    std::size_t familyAt = i + 1;
    if (slash == std::string::npos && familyAt < parts.size() && parts[familyAt][0] == '/')
        familyAt += parts[familyAt] == "/" ? 2 : 1;
    if (familyAt >= parts.size()) return false;
    std::string family;
    for (std::size_t k = familyAt; k < parts.size(); ++k) family += parts[k] == "," ? "," : parts[k];
    e.monospace = isMonospaceFamily(family);
    return true;
}

// Reads a display value; false for one the reader does not know.
bool parseDisplay(const std::string& v, Display& out) {
    if (v == "none")
        out = Display::kNone;
    else if (v == "block" || v == "flex" || v == "grid" || v == "flow-root" || v == "table-caption")
        out = Display::kBlock;
    else if (v == "inline" || v == "inline-block" || v == "inline-flex" || v == "inline-grid" || v == "contents" ||
             v == "inline-table")
        out = Display::kInline;
    else if (v == "list-item")
        out = Display::kListItem;
    else if (v == "table")
        out = Display::kTable;
    else if (v == "table-row-group" || v == "table-header-group" || v == "table-footer-group")
        out = Display::kRowGroup;
    else if (v == "table-row")
        out = Display::kRow;
    else if (v == "table-cell")
        out = Display::kCell;
    else
        return false;
    return true;
}

bool parseWhiteSpace(const std::string& v, WhiteSpace& out) {
    if (v == "normal")
        out = WhiteSpace::kNormal;
    else if (v == "nowrap")
        out = WhiteSpace::kNowrap;
    else if (v == "pre")
        out = WhiteSpace::kPre;
    else if (v == "pre-wrap" || v == "break-spaces")
        out = WhiteSpace::kPreWrap;
    else if (v == "pre-line")
        out = WhiteSpace::kPreLine;
    else
        return false;
    return true;
}

// Reads one declaration; false when its value is not one its property takes,
// so that it would change nothing.
bool compileDeclaration(const Declaration& d, Effect& e) {
    const std::string v = lowerAscii(d.value);
    const bool inherit = v == "inherit";
    const bool initial = v == "initial";
    const bool unset = v == "unset" || v == "revert" || v == "revert-layer";
    e.id = d.id;
    e.important = d.important;
    e.fromParent = inherit || unset;
    switch (d.id) {
        case Property::kFontWeight:
            if (initial) e.weight = WeightValue{};
            return e.fromParent || initial || parseWeight(v, e.weight);
        case Property::kFontStyle:
            if (e.fromParent) return true;
            e.italic = v == "italic" || v.compare(0, 7, "oblique") == 0;
            return initial || v == "normal" || e.italic;
        case Property::kTextDecoration:
        case Property::kTextDecorationLine:
            // Only inherit takes the parent's lines; unset sets none.
            e.fromParent = inherit;
            if (!inherit) e.lines = decorationLines(v);
            return true;
        case Property::kVerticalAlign:
            e.fromParent = false;
            e.align = v == "super" ? VerticalAlign::kSuper
                      : v == "sub" ? VerticalAlign::kSub
                                   : VerticalAlign::kBaseline;
            return true;
        case Property::kFontSize:
            if (e.fromParent) return true;
            e.size = parseFontSize(initial ? std::string("medium") : v);
            return e.size.kind != FontSize::kInvalid;
        case Property::kFontFamily:
            if (!e.fromParent) e.monospace = isMonospaceFamily(v);
            return true;
        case Property::kFont:
            return e.fromParent || compileFontShorthand(d.value, e);
        case Property::kColor: {
            if (e.fromParent || initial) return true;
            const Colour c = parseColour(v);
            if (c.kind == Colour::kCurrentColour) e.fromParent = true;
            e.colour = c.rgb;
            return c.kind != Colour::kInvalid;
        }
        case Property::kDisplay:
            e.fromParent = inherit;
            if (initial || unset) {
                e.display = Display::kInline;
                return true;
            }
            return inherit || parseDisplay(v, e.display);
        case Property::kWhiteSpace:
            if (e.fromParent) return true;
            return parseWhiteSpace(initial ? std::string("normal") : v, e.whiteSpace);
    }
    return false;
}

}  // namespace

void compileBlock(const std::vector<Declaration>& block, CompiledBlock& out) {
    out.normal.clear();
    out.important.clear();
    // From the last declaration back, keeping the first of each property and
    // importance met: every later one of the same property overrides what an
    // earlier one set, whatever the parent.
    bool seen[2][16] = {};
    std::vector<Effect> kept;
    for (std::size_t i = block.size(); i-- > 0;) {
        Effect e;
        if (!compileDeclaration(block[i], e)) continue;
        bool& already = seen[e.important ? 1 : 0][static_cast<std::size_t>(e.id)];
        if (already) continue;
        already = true;
        kept.push_back(e);
    }
    for (std::size_t i = kept.size(); i-- > 0;) (kept[i].important ? out.important : out.normal).push_back(kept[i]);
}

void applyFontSize(ComputedStyle& s, const ComputedStyle& parent, const FontSize& size) {
    switch (size.kind) {
        case FontSize::kInvalid:
            return;
        case FontSize::kKeyword:
            s.sizeKeyword = size.keyword;
            s.fontPx = keywordPixels(size.keyword, s.monospace);
            return;
        case FontSize::kPixels:
            s.fontPx = size.value;
            break;
        case FontSize::kFactor:
            s.fontPx = parent.fontPx * size.value;
            break;
        case FontSize::kRootFactor:
            s.fontPx = 16 * size.value;
            break;
        case FontSize::kSmaller:
            s.fontPx = parent.fontPx / 1.2;
            break;
        case FontSize::kLarger:
            s.fontPx = parent.fontPx * 1.2;
            break;
    }
    s.sizeKeyword = -1;
}

void applyEffect(ComputedStyle& s, const ComputedStyle& parent, const Effect& e, std::uint8_t& ownLines,
                 VerticalAlign& ownAlign) {
    switch (e.id) {
        case Property::kFontWeight:
            s.weight = e.fromParent ? parent.weight : resolveWeight(e.weight, parent.weight);
            break;
        case Property::kFontStyle:
            s.italic = e.fromParent ? parent.italic : e.italic;
            break;
        case Property::kTextDecoration:
        case Property::kTextDecorationLine:
            ownLines = e.fromParent ? parent.decorations : e.lines;  // inherit: as close as it gets
            break;
        case Property::kVerticalAlign:
            ownAlign = e.align;
            break;
        case Property::kFontSize:
            if (e.fromParent) {
                s.fontPx = parent.fontPx;
                s.sizeKeyword = parent.sizeKeyword;
            } else {
                applyFontSize(s, parent, e.size);
            }
            break;
        case Property::kFontFamily:
            s.monospace = e.fromParent ? parent.monospace : e.monospace;
            break;
        case Property::kFont:
            if (e.fromParent) {
                s.weight = parent.weight;
                s.italic = parent.italic;
                s.fontPx = parent.fontPx;
                s.sizeKeyword = parent.sizeKeyword;
                s.monospace = parent.monospace;
            } else {
                applyFontSize(s, parent, e.size);
                s.monospace = e.monospace;
                s.italic = e.italic;
                s.weight = resolveWeight(e.weight, parent.weight);
            }
            break;
        case Property::kColor:
            s.colour = e.fromParent ? parent.colour : e.colour;
            break;
        case Property::kDisplay:
            s.display = e.fromParent ? parent.display : e.display;
            break;
        case Property::kWhiteSpace:
            s.whiteSpace = e.fromParent ? parent.whiteSpace : e.whiteSpace;
            break;
    }
}

}  // namespace html
