#include "html/computed_style.h"

#include <string_view>
#include <unordered_map>

#include "html/css_values.h"
#include "html/style_effects.h"

namespace html {

using namespace std::string_view_literals;

namespace {

// The browser's own style sheet for the elements that matter here, read once.
const std::unordered_map<std::string, CompiledBlock>& defaultStyles() {
    static const std::unordered_map<std::string, CompiledBlock> styles = [] {
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
        std::unordered_map<std::string, CompiledBlock> m;
        std::vector<Declaration> declarations;
        auto add = [&](const char* tag, const char* css) {
            declarations.clear();
            parseDeclarations(css, declarations);
            compileBlock(declarations, m[tag]);
        };
        for (const auto& d : kDefaults) add(d[0], d[1]);
        for (const char* b : kBlocks) add(b, "display:block");
        for (const char* h : kHidden) add(h, "display:none");
        return m;
    }();
    return styles;
}

}  // namespace

StyleResolver::StyleResolver(const StyleSheet& sheet) : sheet_(sheet) {}

StyleResolver::~StyleResolver() = default;

void StyleResolver::compileSheet() {
    while (sheetBlocks_.size() < sheet_.blockCount()) {
        sheetBlocks_.emplace_back();
        compileBlock(sheet_.block(sheetBlocks_.size() - 1), sheetBlocks_.back());
    }
}

const CompiledBlock& StyleResolver::inlineStyle(const std::string* attribute) {
    static const CompiledBlock kNone;
    if (attribute == nullptr) return kNone;
    // Documents repeat the same few style attributes on element after
    // element: each is read once, up to a bound on what is kept.
    const auto found = inlineCache_.find(*attribute);
    if (found != inlineCache_.end()) return found->second;
    inline_.clear();
    parseDeclarations(*attribute, inline_);
    if (inlineCache_.size() < kInlineCacheMax && attribute->size() <= kInlineCacheMaxLength) {
        CompiledBlock& block = inlineCache_[*attribute];
        compileBlock(inline_, block);
        return block;
    }
    compileBlock(inline_, inlineEffects_);
    return inlineEffects_;
}

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

    const CompiledBlock* defaults = nullptr;
    if (!recentDefaults_.find(tag.name, defaults)) {
        const auto it = defaultStyles().find(tag.name);
        defaults = it != defaultStyles().end() ? &it->second : nullptr;
        recentDefaults_.keep(tag.name, defaults);
    }
    if (defaults != nullptr)
        for (const Effect& e : defaults->normal) applyEffect(s, parent, e, ownLines, ownAlign);
    const bool isLink = (tag.name == "a"sv || tag.name == "area"sv) && tag.attribute("href") != nullptr;
    if (isLink) {
        s.colour = linkColour_;
        ownLines |= kDecorationUnderline;
    }
    if (quirks_ && tag.name == "table"sv) {
        s.weight = 400;
        s.italic = false;
        s.sizeKeyword = 3;
        s.fontPx = keywordPixels(3, s.monospace);
        s.whiteSpace = WhiteSpace::kNormal;
    }
    if (tag.attribute("hidden") != nullptr) s.display = Display::kNone;

    // Presentational attributes, below every author rule.
    if (tag.name == "font"sv) {
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
    if ((tag.name == "td"sv || tag.name == "th"sv) && tag.attribute("nowrap") != nullptr)
        s.whiteSpace = WhiteSpace::kNowrap;

    // The style sheets' rules and the style attribute, normal ones first.
    if (!sheet_.empty()) {
        compileSheet();
        splitClasses(tag.attribute("class"), classes_);
        sheet_.match(tag.name, classes_, tag.attribute("id"), isLink, ancestors_, matched_);
    } else {
        matched_.clear();
    }
    const CompiledBlock& inlineEffects = inlineStyle(tag.attribute("style"));
    for (int important = 0; important < 2; ++important) {
        for (const MatchedBlock& m : matched_) {
            const CompiledBlock& block = sheetBlocks_[m.block];
            const std::vector<Effect>& effects = important == 1 ? block.important : block.normal;
            // Applying counts against the sheet's budget: a document may
            // make every element match thousands of rules.
            if (!sheet_.spend(effects.size())) continue;
            for (const Effect& e : effects) applyEffect(s, parent, e, ownLines, ownAlign);
        }
        for (const Effect& e : important == 1 ? inlineEffects.important : inlineEffects.normal)
            applyEffect(s, parent, e, ownLines, ownAlign);
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
