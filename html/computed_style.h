// The style a browser computes for an element, as far as the text and its
// runs need it: weight, slant, text decorations (propagated to descendants),
// vertical alignment, font size, colour, display and white-space. Computed
// from the parent's, the browser's defaults for the element, presentational
// attributes (<font color size>), the style sheets and the style attribute.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "html/css_rules.h"
#include "html/css_values.h"
#include "html/tokenizer.h"

namespace html {

enum class Display : std::uint8_t { kInline, kBlock, kListItem, kTable, kRowGroup, kRow, kCell, kNone };
enum class WhiteSpace : std::uint8_t { kNormal, kNowrap, kPre, kPreWrap, kPreLine };
enum class VerticalAlign : std::uint8_t { kBaseline, kSuper, kSub };

constexpr std::uint8_t kDecorationUnderline = 1;
constexpr std::uint8_t kDecorationLineThrough = 2;

struct ComputedStyle {
    int weight = 400;
    bool italic = false;
    std::uint8_t decorations = 0;                            // this element's and every ancestor's
    VerticalAlign verticalAlign = VerticalAlign::kBaseline;  // in effect here: own or an ancestor's
    double fontPx = 16;
    int sizeKeyword = 3;     // the keyword the size comes from (3 medium), or -1
    bool monospace = false;  // the font family is "monospace" alone
    std::uint32_t colour = 0;
    Display display = Display::kInline;
    WhiteSpace whiteSpace = WhiteSpace::kNormal;
    bool hidden = false;          // display:none here or above
    bool tableStructure = false;  // inside a table but outside its cells
};

// A font weight as declared: a number, or relative to the parent's.
struct WeightValue {
    enum Kind : std::uint8_t { kAbsolute, kBolder, kLighter };
    Kind kind = kAbsolute;
    int weight = 400;
};

// What one declaration does. `fromParent` stands for inherit (and, where
// it means the same, unset); otherwise the fields of its property hold the
// value.
struct Effect {
    Property id = Property::kColor;
    bool important = false;
    bool fromParent = false;
    bool italic = false;     // font-style, font
    bool monospace = false;  // font-family, font
    std::uint8_t lines = 0;  // text-decoration, text-decoration-line
    VerticalAlign align = VerticalAlign::kBaseline;
    Display display = Display::kInline;
    WhiteSpace whiteSpace = WhiteSpace::kNormal;
    WeightValue weight;  // font-weight, font
    FontSize size;       // font-size, font
    std::uint32_t colour = 0;
};

// A block's effects, split by importance, in the order they apply.
struct CompiledBlock {
    std::vector<Effect> normal;
    std::vector<Effect> important;
};

// Computes an element's style. `scratch` is reused between calls.
// The last few names looked up in a table and what each found, tried
// before the table: a document repeats a few tag names element after
// element, and comparing one is cheaper than hashing it.
template <class Value>
class RecentLookups {
  public:
    // Whether `key` is kept; if so, sets `value` to what it found (null for
    // nothing).
    bool find(const std::string& key, const Value*& value) const {
        const Slot& slot = slots_[slotOf(key)];
        if (!slot.used || slot.key != key) return false;
        value = slot.value;
        return true;
    }
    void keep(const std::string& key, const Value* value) {
        Slot& slot = slots_[slotOf(key)];
        slot.key = key;
        slot.value = value;
        slot.used = true;
    }

  private:
    static constexpr std::size_t kSlots = 64;
    static std::size_t slotOf(const std::string& key) {
        if (key.empty()) return 0;
        return (key.size() * 31 + static_cast<unsigned char>(key.front()) * 7 +
                static_cast<unsigned char>(key.back())) %
               kSlots;
    }
    struct Slot {
        std::string key;
        const Value* value = nullptr;
        bool used = false;
    };
    Slot slots_[kSlots];
};

class StyleResolver {
  public:
    explicit StyleResolver(const StyleSheet& sheet);
    ~StyleResolver();
    StyleResolver(const StyleResolver&) = delete;
    StyleResolver& operator=(const StyleResolver&) = delete;
    ComputedStyle compute(const ComputedStyle& parent, const Token& startTag);
    // In quirks mode tables start from the default font (see quirks_mode.h).
    void setQuirksMode(bool quirks) { quirks_ = quirks; }
    // The colour of links, which <body link> sets.
    void setLinkColour(std::uint32_t rgb) { linkColour_ = rgb; }
    // The open ancestors of the element computed next, for selectors with
    // combinators; the reader keeps them up to date.
    void setAncestors(const std::vector<ElementKey>* ancestors) { ancestors_ = ancestors; }

  private:
    // Reads the blocks of the sheet not read yet, each once.
    void compileSheet();
    // What a style attribute does, or nothing for none.
    const CompiledBlock& inlineStyle(const std::string* attribute);

    // Style attributes kept once read: how many, and the longest.
    static constexpr std::size_t kInlineCacheMax = 4096;
    static constexpr std::size_t kInlineCacheMaxLength = 256;

    const StyleSheet& sheet_;
    bool quirks_ = false;
    std::uint32_t linkColour_ = 0x0000EE;
    const std::vector<ElementKey>* ancestors_ = nullptr;
    std::vector<MatchedBlock> matched_;
    std::vector<std::string> classes_;
    std::vector<Declaration> inline_;
    std::vector<CompiledBlock> sheetBlocks_;                      // the sheet's blocks, read
    CompiledBlock inlineEffects_;                                 // a style attribute not kept
    std::unordered_map<std::string, CompiledBlock> inlineCache_;  // style attribute -> what it does
    RecentLookups<CompiledBlock> recentDefaults_;                 // the elements' default styles
};

}  // namespace html
