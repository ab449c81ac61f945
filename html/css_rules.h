// CSS declarations ("font-weight:bold; color:red !important") and style
// sheets of rules with simple selectors: an element name, classes and an id
// (p, .MsoNormal, p.MsoNormal, #x, *, a:link) and chains of them with the
// descendant and child combinators (div.note p, ul > li), in lists. A
// selector with a sibling combinator, an attribute or another pseudo-class
// never matches; at-rules
// (@media, @page, @font-face, @list) are skipped whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace html {

// The properties the reader computes; declarations of any other are not kept.
enum class Property : std::uint8_t {
    kFontWeight,
    kFontStyle,
    kTextDecoration,
    kTextDecorationLine,
    kVerticalAlign,
    kFontSize,
    kFontFamily,
    kFont,
    kColor,
    kDisplay,
    kWhiteSpace
};

struct Declaration {
    Property id;
    std::string property;  // lower case
    std::string value;     // trimmed, without "!important"
    bool important = false;
};

// The declarations of a style attribute or of a rule's block, in order,
// of the properties the reader computes.
void parseDeclarations(const std::string& block, std::vector<Declaration>& out);

// What selectors see of an element.
struct ElementKey {
    std::string tag;  // lower case
    std::vector<std::string> classes;
    std::string id;
    bool link = false;
};

// Splits a class attribute into `out`, at most StyleSheet::kMaxClasses names.
void splitClasses(const std::string* attribute, std::vector<std::string>& out);

// Where a matching rule's declarations stand in the cascade: compared by
// importance, then specificity, then order.
struct MatchedBlock {
    std::size_t block;
    unsigned specificity;
    std::size_t order;
};

class StyleSheet {
  public:
    // Selectors kept at most: beyond them a sheet's rules are not read, which
    // keeps the matching of each element to a bounded cost.
    static constexpr std::size_t kMaxSelectors = 4096;
    // Classes of one element that take part in matching.
    static constexpr std::size_t kMaxClasses = 32;
    // Compounds of one selector.
    static constexpr std::size_t kMaxCompounds = 8;
    // The work that styling one document may take, in units of one candidate
    // selector examined, one class or ancestor compared, or one declaration
    // applied: a base, and more for each byte of the document. Beyond it no
    // rule of the sheet matches, so that no document, however its rules are
    // made, takes more than time linear in its size. Real documents use a
    // small part of it.
    static constexpr std::size_t kWorkBudgetBase = 4000000;
    static constexpr std::size_t kWorkBudgetPerByte = 16;

    // Reads the rules of `css` after the ones already read.
    void add(const std::string& css);
    bool empty() const { return selectors_.empty(); }
    // Whether a selector looks at ancestors, which then must be given to match.
    bool hasCombinators() const { return combinators_; }
    // In quirks mode classes and ids match whatever their case.
    void setQuirksMode(bool quirks) { quirks_ = quirks; }
    // Sets the work budget for styling a document of `documentBytes` bytes.
    void setWorkBudget(std::size_t documentBytes) const {
        budget_ = kWorkBudgetBase + kWorkBudgetPerByte * documentBytes;
    }
    // Takes `units` of work from the budget; false, taking nothing, when too
    // little is left.
    bool spend(std::size_t units) const {
        if (budget_ < units) {
            budget_ = 0;
            return false;
        }
        budget_ -= units;
        return true;
    }

    // The blocks whose selectors match an element, in cascade order.
    // `isLink`: the element is a link (:link and :any-link match it);
    // `ancestors`: its open ancestors, the parent last (may be null).
    void match(const std::string& tag, const std::vector<std::string>& classes, const std::string* id, bool isLink,
               const std::vector<ElementKey>* ancestors, std::vector<MatchedBlock>& out) const;
    const std::vector<Declaration>& block(std::size_t i) const { return blocks_[i]; }
    std::size_t blockCount() const { return blocks_.size(); }

  private:
    // One compound of a chain, with the combinator to its right.
    struct Step {
        std::string tag;
        std::vector<std::string> classes;  // each once, in quirks mode in lower case
        std::string id;
        bool link = false;
        bool child = false;  // ">" rather than a descendant
    };
    struct Selector {
        std::string tag;                   // empty: any element
        std::vector<std::string> classes;  // each once, in quirks mode in lower case
        std::string id;
        bool link = false;        // :link or :any-link
        std::vector<Step> steps;  // the compounds left of the subject, the nearest first
        unsigned specificity;
        std::size_t block;
        std::size_t order;
    };
    void addRule(const std::string& selectorText, const std::string& declarations);
    void index(std::size_t selector);
    bool sameName(const std::string& a, const std::string& b) const;
    bool hasClasses(const std::vector<std::string>& wanted, const std::vector<std::string>& classes,
                    std::size_t nClasses) const;
    bool stepMatches(const Step& step, const ElementKey& e) const;
    bool ancestorsMatch(const Selector& s, std::size_t step, const std::vector<ElementKey>& ancestors,
                        std::size_t below) const;

    std::vector<Selector> selectors_;
    std::vector<std::vector<Declaration>> blocks_;
    std::unordered_map<std::string, std::vector<std::size_t>> byKey_;  // "#id", ".class", "tag" or "*", lower case
    std::unordered_map<std::string, std::size_t> ruleIndex_;           // selector and block -> its selector
    std::size_t nextOrder_ = 0;
    mutable std::string keyScratch_;  // room for the key match() looks up
    bool quirks_ = false;
    bool combinators_ = false;
    mutable std::size_t budget_ = kWorkBudgetBase;
};

}  // namespace html
