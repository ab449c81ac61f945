#include "html/computed_style.h"

#include <unordered_map>

#include "html/css_values.h"

namespace html {

namespace {

// The browser's own style sheet for the elements that matter here.
const std::unordered_map<std::string, std::vector<Declaration>>& defaultStyles() {
    static const std::unordered_map<std::string, std::vector<Declaration>> styles = [] {
        const char* const kDefaults[][2] = {
            {"b", "font-weight:bold"},
            {"strong", "font-weight:bold"},
            {"th", "display:table-cell;font-weight:bold"},
            {"i", "font-style:italic"},
            {"em", "font-style:italic"},
            {"cite", "font-style:italic"},
            {"var", "font-style:italic"},
            {"dfn", "font-style:italic"},
            {"address", "display:block;font-style:italic"},
            {"u", "text-decoration:underline"},
            {"ins", "text-decoration:underline"},
            {"s", "text-decoration:line-through"},
            {"strike", "text-decoration:line-through"},
            {"del", "text-decoration:line-through"},
            {"sup", "vertical-align:super;font-size:smaller"},
            {"sub", "vertical-align:sub;font-size:smaller"},
            {"big", "font-size:larger"},
            {"small", "font-size:smaller"},
            {"h1", "display:block;font-size:2em;font-weight:bold"},
            {"h2", "display:block;font-size:1.5em;font-weight:bold"},
            {"h3", "display:block;font-size:1.17em;font-weight:bold"},
            {"h4", "display:block;font-weight:bold"},
            {"h5", "display:block;font-size:0.83em;font-weight:bold"},
            {"h6", "display:block;font-size:0.67em;font-weight:bold"},
            {"code", "font-family:monospace"},
            {"kbd", "font-family:monospace"},
            {"samp", "font-family:monospace"},
            {"tt", "font-family:monospace"},
            {"pre", "display:block;white-space:pre;font-family:monospace"},
            {"xmp", "display:block;white-space:pre;font-family:monospace"},
            {"listing", "display:block;white-space:pre;font-family:monospace"},
            {"plaintext", "display:block;white-space:pre;font-family:monospace"},
            {"nobr", "white-space:nowrap"},
            {"p", "display:block"},
            {"li", "display:list-item"},
            {"table", "display:table"},
            {"thead", "display:table-row-group"},
            {"tbody", "display:table-row-group"},
            {"tfoot", "display:table-row-group"},
            {"tr", "display:table-row"},
            {"td", "display:table-cell"},
            {"caption", "display:block"},
        };
        static const char* const kBlocks[] = {"article",  "aside",      "blockquote", "body",    "center", "dd",
                                              "details",  "dialog",     "dir",        "div",     "dl",     "dt",
                                              "fieldset", "figcaption", "figure",     "footer",  "form",   "header",
                                              "hgroup",   "hr",         "html",       "legend",  "main",   "menu",
                                              "nav",      "ol",         "section",    "summary", "ul",     "optgroup"};
        static const char* const kHidden[] = {
            "head",     "script",   "style",  "title",   "meta",     "link",  "base",     "template", "noscript",
            "area",     "datalist", "param",  "noembed", "noframes", "rp",    "textarea", "select",   "col",
            "colgroup", "iframe",   "object", "svg",     "math",     "audio", "video",    "canvas"};
        std::unordered_map<std::string, std::vector<Declaration>> m;
        for (const auto& d : kDefaults) parseDeclarations(d[1], m[d[0]]);
        for (const char* b : kBlocks) parseDeclarations("display:block", m[b]);
        for (const char* h : kHidden) parseDeclarations("display:none", m[h]);
        return m;
    }();
    return styles;
}

int bolder(int w) { return w < 350 ? 400 : w < 550 ? 700 : w < 900 ? 900 : w; }
int lighter(int w) { return w < 100 ? w : w < 550 ? 100 : w < 750 ? 400 : 700; }

// A font-weight value, or 0 when it is none.
int weightOf(const std::string& v, int parentWeight) {
    if (v == "normal") return 400;
    if (v == "bold") return 700;
    if (v == "bolder") return bolder(parentWeight);
    if (v == "lighter") return lighter(parentWeight);
    if (v.empty() || v.size() > 7) return 0;
    char* after = nullptr;
    const double n = std::strtod(v.c_str(), &after);
    if (after == v.c_str() || *after != '\0' || !(n >= 1 && n <= 1000)) return 0;
    return static_cast<int>(n);
}

// Applies a font size to `s`; false when the value is none.
bool applyFontSize(ComputedStyle& s, const ComputedStyle& parent, const std::string& value) {
    const FontSize size = parseFontSize(value);
    switch (size.kind) {
        case FontSize::kInvalid:
            return false;
        case FontSize::kKeyword:
            s.sizeKeyword = size.keyword;
            s.fontPx = keywordPixels(size.keyword, s.monospace);
            return true;
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
    return true;
}

bool isMonospaceFamily(const std::string& v) { return lowerAscii(trimmed(v)) == "monospace"; }

std::uint8_t decorationLines(const std::string& value) {
    std::uint8_t lines = 0;
    for (const std::string& part : splitValue(lowerAscii(value))) {
        if (part == "underline") lines |= kDecorationUnderline;
        if (part == "line-through") lines |= kDecorationLineThrough;
    }
    return lines;
}

void applyFontShorthand(ComputedStyle& s, const ComputedStyle& parent, const std::string& value) {
    const std::vector<std::string> parts = splitValue(value);
    bool italic = false;
    int weight = 400;
    std::size_t i = 0;
    for (; i < parts.size(); ++i) {
        const std::string p = lowerAscii(parts[i]);
        if (p == "italic" || p == "oblique") {
            italic = true;
        } else if (p == "normal" || p == "small-caps" || p.find("condensed") != std::string::npos ||
                   p.find("expanded") != std::string::npos) {
        } else if (weightOf(p, parent.weight) != 0 && parseFontSize(p).kind == FontSize::kInvalid) {
            weight = weightOf(p, parent.weight);
        } else {
            break;
        }
    }
    if (i >= parts.size()) return;
    std::string sizeText = parts[i];
    const std::size_t slash = sizeText.find('/');
    if (slash != std::string::npos) sizeText.resize(slash);
    ComputedStyle trial = s;
    if (!applyFontSize(trial, parent, sizeText)) return;
    // The family follows the size (and a line height), and must be there.
    std::size_t familyAt = i + 1;
    if (slash == std::string::npos && familyAt < parts.size() && parts[familyAt][0] == '/')
        familyAt += parts[familyAt] == "/" ? 2 : 1;
    if (familyAt >= parts.size()) return;
    std::string family;
    for (std::size_t k = familyAt; k < parts.size(); ++k) family += parts[k] == "," ? "," : parts[k];
    trial.monospace = isMonospaceFamily(family);
    trial.italic = italic;
    trial.weight = weight;
    s = trial;
}

Display displayOf(const std::string& v, Display current) {
    if (v == "none") return Display::kNone;
    if (v == "block" || v == "flex" || v == "grid" || v == "flow-root" || v == "table-caption") return Display::kBlock;
    if (v == "inline" || v == "inline-block" || v == "inline-flex" || v == "inline-grid" || v == "contents" ||
        v == "inline-table")
        return Display::kInline;
    if (v == "list-item") return Display::kListItem;
    if (v == "table") return Display::kTable;
    if (v == "table-row-group" || v == "table-header-group" || v == "table-footer-group") return Display::kRowGroup;
    if (v == "table-row") return Display::kRow;
    if (v == "table-cell") return Display::kCell;
    return current;
}

// Applies one declaration; `own` collects the element's own decoration lines
// and vertical alignment.
void apply(ComputedStyle& s, const ComputedStyle& parent, const Declaration& d, std::uint8_t& ownLines,
           VerticalAlign& ownAlign) {
    const std::string v = lowerAscii(d.value);
    const bool inherit = v == "inherit";
    const bool initial = v == "initial";
    const bool unset = v == "unset" || v == "revert" || v == "revert-layer";
    switch (d.id) {
        case Property::kFontWeight:
            if (inherit || unset)
                s.weight = parent.weight;
            else if (initial)
                s.weight = 400;
            else if (weightOf(v, parent.weight) != 0)
                s.weight = weightOf(v, parent.weight);
            break;
        case Property::kFontStyle:
            if (inherit || unset)
                s.italic = parent.italic;
            else if (initial || v == "normal")
                s.italic = false;
            else if (v == "italic" || v.compare(0, 7, "oblique") == 0)
                s.italic = true;
            break;
        case Property::kTextDecoration:
        case Property::kTextDecorationLine:
            if (inherit)
                ownLines = parent.decorations;  // as close as it gets
            else
                ownLines = decorationLines(v);
            break;
        case Property::kVerticalAlign:
            if (v == "super")
                ownAlign = VerticalAlign::kSuper;
            else if (v == "sub")
                ownAlign = VerticalAlign::kSub;
            else
                ownAlign = VerticalAlign::kBaseline;
            break;
        case Property::kFontSize:
            if (inherit || unset) {
                s.fontPx = parent.fontPx;
                s.sizeKeyword = parent.sizeKeyword;
            } else if (initial) {
                applyFontSize(s, parent, "medium");
            } else {
                applyFontSize(s, parent, v);
            }
            break;
        case Property::kFontFamily:
            s.monospace = inherit || unset ? parent.monospace : isMonospaceFamily(v);
            break;
        case Property::kFont:
            if (inherit || unset) {
                s.weight = parent.weight;
                s.italic = parent.italic;
                s.fontPx = parent.fontPx;
                s.sizeKeyword = parent.sizeKeyword;
                s.monospace = parent.monospace;
            } else {
                applyFontShorthand(s, parent, d.value);
            }
            break;
        case Property::kColor:
            if (inherit || unset) {
                s.colour = parent.colour;
            } else if (initial) {
                s.colour = 0;
            } else {
                const Colour c = parseColour(v);
                if (c.kind == Colour::kRgb) s.colour = c.rgb;
                if (c.kind == Colour::kCurrentColour) s.colour = parent.colour;
            }
            break;
        case Property::kDisplay:
            s.display = inherit ? parent.display : initial || unset ? Display::kInline : displayOf(v, s.display);
            break;
        case Property::kWhiteSpace:
            if (inherit || unset)
                s.whiteSpace = parent.whiteSpace;
            else if (initial || v == "normal")
                s.whiteSpace = WhiteSpace::kNormal;
            else if (v == "nowrap")
                s.whiteSpace = WhiteSpace::kNowrap;
            else if (v == "pre")
                s.whiteSpace = WhiteSpace::kPre;
            else if (v == "pre-wrap" || v == "break-spaces")
                s.whiteSpace = WhiteSpace::kPreWrap;
            else if (v == "pre-line")
                s.whiteSpace = WhiteSpace::kPreLine;
            break;
    }
}

}  // namespace

ComputedStyle StyleResolver::compute(const ComputedStyle& parent, const Token& tag) {
    ComputedStyle s;
    s.weight = parent.weight;
    s.italic = parent.italic;
    s.decorations = parent.decorations;
    s.verticalAlign = parent.verticalAlign;
    s.fontPx = parent.fontPx;
    s.sizeKeyword = parent.sizeKeyword;
    s.monospace = parent.monospace;
    s.colour = parent.colour;
    s.whiteSpace = parent.whiteSpace;
    s.hidden = parent.hidden;
    s.tableStructure = parent.tableStructure;
    s.display = Display::kInline;
    std::uint8_t ownLines = 0;
    VerticalAlign ownAlign = VerticalAlign::kBaseline;

    const auto& defaults = defaultStyles();
    const auto it = defaults.find(tag.name);
    if (it != defaults.end())
        for (const Declaration& d : it->second) apply(s, parent, d, ownLines, ownAlign);
    const bool isLink = (tag.name == "a" || tag.name == "area") && tag.attribute("href") != nullptr;
    if (isLink) {
        s.colour = linkColour_;
        ownLines |= kDecorationUnderline;
    }
    if (quirks_ && tag.name == "table") {
        s.weight = 400;
        s.italic = false;
        s.sizeKeyword = 3;
        s.fontPx = keywordPixels(3, s.monospace);
        s.whiteSpace = WhiteSpace::kNormal;
    }
    if (tag.attribute("hidden") != nullptr) s.display = Display::kNone;

    // Presentational attributes, below every author rule.
    if (tag.name == "font") {
        std::uint32_t rgb;
        const std::string* color = tag.attribute("color");
        if (color != nullptr && parseLegacyColour(*color, rgb)) s.colour = rgb;
        const std::string* size = tag.attribute("size");
        if (size != nullptr) {
            std::string v = trimmed(*size);
            int sign = 0;
            if (!v.empty() && (v[0] == '+' || v[0] == '-')) {
                sign = v[0] == '+' ? 1 : -1;
                v.erase(0, 1);
            }
            int n = 0;
            std::size_t k = 0;
            while (k < v.size() && k < 4 && v[k] >= '0' && v[k] <= '9') n = n * 10 + (v[k++] - '0');
            if (k > 0) {
                if (sign != 0) n = 3 + sign * n;
                if (n < 1) n = 1;
                if (n > 7) n = 7;
                static const int kKeywordOfSize[8] = {0, 1, 2, 3, 4, 5, 6, 7};
                s.sizeKeyword = kKeywordOfSize[n];
                s.fontPx = keywordPixels(s.sizeKeyword, s.monospace);
            }
        }
    }
    if ((tag.name == "td" || tag.name == "th") && tag.attribute("nowrap") != nullptr)
        s.whiteSpace = WhiteSpace::kNowrap;

    // The style sheets' rules and the style attribute, normal ones first.
    if (!sheet_.empty()) {
        splitClasses(tag.attribute("class"), classes_);
        sheet_.match(tag.name, classes_, tag.attribute("id"), isLink, ancestors_, matched_);
    } else {
        matched_.clear();
    }
    inline_.clear();
    const std::string* styleAttr = tag.attribute("style");
    if (styleAttr != nullptr) parseDeclarations(*styleAttr, inline_);
    for (int important = 0; important < 2; ++important) {
        for (const MatchedBlock& m : matched_)
            for (const Declaration& d : sheet_.block(m.block))
                if (d.important == (important == 1)) apply(s, parent, d, ownLines, ownAlign);
        for (const Declaration& d : inline_)
            if (d.important == (important == 1)) apply(s, parent, d, ownLines, ownAlign);
    }

    // A size from a keyword follows the family: monospace fonts are smaller.
    if (s.sizeKeyword >= 0) s.fontPx = keywordPixels(s.sizeKeyword, s.monospace);
    s.decorations = static_cast<std::uint8_t>(parent.decorations | ownLines);
    if (ownAlign != VerticalAlign::kBaseline) s.verticalAlign = ownAlign;
    // Vertical alignment raises or lowers inline boxes only: a block starts on the baseline.
    if (s.display != Display::kInline) s.verticalAlign = VerticalAlign::kBaseline;
    if (s.display == Display::kNone) s.hidden = true;
    if (s.display == Display::kTable || s.display == Display::kRowGroup || s.display == Display::kRow)
        s.tableStructure = true;
    if (s.display == Display::kCell || s.display == Display::kBlock || s.display == Display::kListItem)
        s.tableStructure = false;
    return s;
}

}  // namespace html
