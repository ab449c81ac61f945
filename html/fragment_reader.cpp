#include "html/fragment_reader.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "html/char_class.h"
#include "html/computed_style.h"
#include "html/css_rules.h"
#include "html/css_values.h"
#include "html/quirks_mode.h"
#include "html/tokenizer.h"
#include "html/tree_rules.h"

namespace html {

using namespace std::string_view_literals;

namespace {

// How far an implied end tag looks for the element it closes.
constexpr std::size_t kImpliedEndReach = 512;
// Distinct element names told apart; the rest share one name.
constexpr std::size_t kMaxNames = 4096;

bool isAllSpace(const std::string& s) {
    for (char c : s)
        if (!isSpace(c)) return false;
    return true;
}

struct TableCount {
    std::size_t rows = 0;
    std::size_t cells = 0;
};

class Reader {
  public:
    Reader(std::string_view doc, std::size_t fragStart, std::size_t fragEnd)
        : doc_(doc), fragStart_(fragStart), fragEnd_(fragEnd), resolver_(sheet_) {}

    FragmentText run();

  private:
    struct Open {
        std::uint16_t name;
        Display display;
        bool styled;
        bool emits;                               // its start gave items, so its end does too
        bool table;                               // counts rows and cells for innerText
        std::shared_ptr<const Token> formatting;  // a formatting element's start tag, to open it again
    };
    // Formatting elements closed only because an element around them was,
    // which a browser opens again before the next text or inline element.
    static constexpr std::size_t kMaxReopened = 16;

    void collectStyleSheets();
    // A copy of `t` to keep, made in a token no longer needed when there is one.
    std::shared_ptr<const Token> keptToken(const Token& t);
    std::uint16_t nameId(const std::string& name, bool add);
    // What the tree builder's rules say of each name told apart.
    enum NameFlag : std::uint8_t {
        kVoid = 1,
        kClosesParagraph = 2,
        kHeading = 4,
        kFormatting = 8,
        kBlockStart = 16,
        kSpecial = 32,  // compared by name in startTag and openElement
    };
    const ComputedStyle& current() const { return styles_.back(); }
    void startTag(const Token& t, bool inFragment);
    void endTag(const Token& t, bool inFragment);
    void pop(bool inFragment, bool explicitly = false);
    void openElement(const Token& t, std::uint16_t id, bool inFragment);
    void reopenFormatting(bool inFragment);
    void popThrough(std::uint16_t id, bool inFragment);
    // Closes the nearest open element named in `targets` unless one named in
    // `boundaries` comes first.
    void closeIfOpen(std::initializer_list<const char*> targets, std::initializer_list<const char*> boundaries,
                     bool inFragment);
    void startItems(const std::string& name, const ComputedStyle& s);
    void endItems(const Open& o);

    std::string_view doc_;
    std::size_t fragStart_;
    std::size_t fragEnd_;
    StyleSheet sheet_;
    StyleResolver resolver_;
    TextBuilder out_;
    std::vector<Open> open_;
    std::vector<ComputedStyle> styles_;
    std::vector<TableCount> tables_;
    std::vector<std::uint32_t> openCount_;
    std::vector<std::string> names_;
    std::vector<std::uint8_t> flags_;
    std::unordered_map<std::string, std::uint16_t> ids_;
    static constexpr std::size_t kRecentIds = 64;
    std::uint16_t recentIds_[kRecentIds] = {};  // 0: none yet
    bool dropLeadingNewline_ = false;
    bool quirks_ = false;
    std::vector<std::shared_ptr<const Token>> reopen_;
    // Copies of start tags that are kept no more, for the next ones: nearly
    // every element of a styled document is a formatting one.
    std::vector<std::shared_ptr<Token>> spareTokens_;
    bool trackKeys_ = false;        // the style sheets have selectors with combinators
    std::vector<ElementKey> keys_;  // of the open styled elements, when tracked
};

std::uint16_t Reader::nameId(const std::string& name, bool add) {
    // A document uses a few names over and over: the last one found for each
    // first letter and length is compared before the table is searched.
    std::uint16_t& recent =
        recentIds_[(static_cast<unsigned char>(name.empty() ? 0 : name[0]) * 8u + name.size()) % kRecentIds];
    if (recent != 0 && names_[recent] == name) return recent;
    const auto it = ids_.find(name);
    if (it != ids_.end()) return recent = it->second;
    if (!add) return 0;
    if (names_.size() >= kMaxNames) return 0;
    const std::uint16_t id = static_cast<std::uint16_t>(names_.size());
    names_.push_back(name);
    openCount_.push_back(0);
    std::uint8_t flags = 0;
    if (isVoid(name)) flags |= kVoid;
    if (closesParagraph(name)) flags |= kClosesParagraph;
    if (isHeading(name)) flags |= kHeading;
    if (isFormatting(name)) flags |= kFormatting;
    if (isBlockStart(name)) flags |= kBlockStart;
    if (isOneOf(name, {"table", "li", "dd", "dt", "td", "th", "tr", "thead", "tbody", "tfoot", "option", "caption",
                       "body", "br", "pre", "listing", "textarea"}))
        flags |= kSpecial;
    flags_.push_back(flags);
    ids_.emplace(name, id);
    return id;
}

// Whether `doc` may hold a style element: it has "<style" in some case, or
// a NUL, which a tag name may hold and the tokenizer drops.
bool mayHoldStyleElement(std::string_view doc) {
    if (doc.find('\0') != std::string_view::npos) return true;
    constexpr std::string_view kStart = "<style";
    for (std::size_t at = doc.find('<'); at != std::string_view::npos; at = doc.find('<', at + 1)) {
        if (doc.size() - at < kStart.size()) return false;
        std::size_t i = 1;
        while (i < kStart.size() && toLowerAscii(doc[at + i]) == kStart[i]) ++i;
        if (i == kStart.size()) return true;
    }
    return false;
}

void Reader::collectStyleSheets() {
    // The sheets apply wherever they stand, so they are all found first, in
    // a pass that keeps nothing else; a document without one needs none.
    if (!mayHoldStyleElement(doc_)) return;
    Tokenizer t(doc_.data(), doc_.size());
    t.skimOnly();
    Token token;
    bool inStyle = false;
    for (t.next(token); token.kind != Token::kEnd; t.next(token)) {
        if (inStyle && token.kind == Token::kText) sheet_.add(token.text);
        inStyle = token.kind == Token::kStartTag && token.name == "style"sv;
    }
}

FragmentText Reader::run() {
    collectStyleSheets();
    quirks_ = isQuirksMode(doc_);
    resolver_.setQuirksMode(quirks_);
    sheet_.setQuirksMode(quirks_);
    sheet_.setWorkBudget(doc_.size());
    trackKeys_ = sheet_.hasCombinators();
    if (trackKeys_) resolver_.setAncestors(&keys_);
    names_.push_back("");  // id 0: every name beyond the ones told apart
    openCount_.push_back(0);
    flags_.push_back(0);
    styles_.emplace_back();
    // Text never takes more bytes than the markup it comes from, give or
    // take the line ends blocks add.
    const std::size_t fragmentEnd = std::min(fragEnd_, doc_.size());
    out_.reserve(fragmentEnd > fragStart_ ? fragmentEnd - fragStart_ : 0);
    Tokenizer t(doc_.data(), doc_.size());
    t.addStop(fragStart_);
    t.addStop(fragEnd_);
    Token token;
    for (t.next(token); token.kind != Token::kEnd; t.next(token)) {
        if (token.offset >= fragEnd_) break;
        const bool inFragment = token.offset >= fragStart_;
        const bool dropNewline = dropLeadingNewline_;
        dropLeadingNewline_ = false;
        switch (token.kind) {
            case Token::kText: {
                std::string& text = token.text;
                if (dropNewline && !text.empty() && text[0] == '\n') text.erase(0, 1);
                if (text.empty()) break;
                if (current().tableStructure && isAllSpace(text)) break;
                reopenFormatting(inFragment);
                const ComputedStyle& s = current();
                if (!inFragment || s.hidden) break;
                out_.text(text, s);
                break;
            }
            case Token::kStartTag:
                startTag(token, inFragment);
                break;
            case Token::kEndTag:
                endTag(token, inFragment);
                break;
            case Token::kEnd:
                break;
        }
    }
    FragmentText result;
    result.text = out_.takeResult();
    result.runs = out_.takeRuns();
    return result;
}

void Reader::closeIfOpen(std::initializer_list<const char*> targets, std::initializer_list<const char*> boundaries,
                         bool inFragment) {
    // Only when one is open: each search then stops at an element pushed
    // since the last one, which keeps the searches linear in the input.
    std::uint16_t target[8];
    std::size_t nTargets = 0;
    bool anyOpen = false;
    for (const char* n : targets) {
        if (nTargets == 8) break;
        target[nTargets] = nameId(n, true);
        anyOpen = anyOpen || openCount_[target[nTargets]] > 0;
        ++nTargets;
    }
    if (!anyOpen) return;
    std::uint16_t boundary[16];
    std::size_t nBoundaries = 0;
    for (const char* n : boundaries)
        if (nBoundaries < 16) boundary[nBoundaries++] = nameId(n, true);
    const std::size_t reach = std::min(open_.size(), kImpliedEndReach);
    for (std::size_t k = 0; k < reach; ++k) {
        const std::uint16_t id = open_[open_.size() - 1 - k].name;
        if (std::find(boundary, boundary + nBoundaries, id) != boundary + nBoundaries) return;
        if (std::find(target, target + nTargets, id) != target + nTargets) {
            const std::size_t keep = open_.size() - 1 - k;
            while (open_.size() > keep) pop(inFragment);
            return;
        }
    }
}

void Reader::startTag(const Token& t, bool inFragment) {
    const std::string& name = t.name;
    const std::uint16_t id = nameId(name, true);
    const std::uint8_t flags = flags_[id];
    const bool special = (flags & kSpecial) != 0;
    // The end tags a start tag implies.
    if ((flags & kClosesParagraph) || (special && name == "table"sv && !quirks_))
        closeIfOpen({"p"}, {"table", "td", "th", "caption", "html", "button", "object", "marquee", "applet"},
                    inFragment);
    if ((flags & kHeading) && !open_.empty() && (flags_[open_.back().name] & kHeading)) pop(inFragment);
    if (special) {
        if (name == "li"sv) closeIfOpen({"li"}, {"ul", "ol", "table", "td", "th"}, inFragment);
        if (name == "dd"sv || name == "dt"sv) closeIfOpen({"dd", "dt"}, {"dl", "table", "td", "th"}, inFragment);
        if (name == "td"sv || name == "th"sv) closeIfOpen({"td", "th"}, {"tr", "table"}, inFragment);
        if (name == "tr"sv) closeIfOpen({"tr"}, {"table"}, inFragment);
        if (name == "thead"sv || name == "tbody"sv || name == "tfoot"sv)
            closeIfOpen({"thead", "tbody", "tfoot"}, {"table"}, inFragment);
        if (name == "option"sv) closeIfOpen({"option"}, {"select", "table"}, inFragment);
        if (isOneOf(name, {"td", "th", "caption", "table"})) reopen_.clear();  // formatting stays outside cells
    }
    if (!(flags & kBlockStart)) reopenFormatting(inFragment);
    openElement(t, id, inFragment);
}

std::shared_ptr<const Token> Reader::keptToken(const Token& t) {
    if (spareTokens_.empty()) return std::make_shared<const Token>(t);
    std::shared_ptr<Token> kept = std::move(spareTokens_.back());
    spareTokens_.pop_back();
    *kept = t;  // into the room its strings already have
    return kept;
}

void Reader::reopenFormatting(bool inFragment) {
    if (reopen_.empty()) return;
    std::vector<std::shared_ptr<const Token>> tokens;
    tokens.swap(reopen_);
    for (const auto& token : tokens) openElement(*token, nameId(token->name, true), inFragment);
}

void Reader::openElement(const Token& t, std::uint16_t id, bool inFragment) {
    const std::string& name = t.name;
    const std::uint8_t flags = flags_[id];
    const bool styled = styles_.size() < kMaxStyledDepth;
    if (flags & kVoid) {
        if (!inFragment || current().hidden || !styled) return;
        const ComputedStyle s = resolver_.compute(current(), t);
        if (s.hidden) return;
        if (name == "br"sv) {
            const RunStyle rs = runStyleOf(s);
            out_.string("\n", &rs);
        } else if (s.display != Display::kInline) {
            out_.requiredBreaks(1);
        }
        return;
    }
    ++openCount_[id];
    Open o{id, Display::kInline, styled, false, false, nullptr};
    if (styled && (flags & kFormatting)) o.formatting = keptToken(t);
    if (styled) {
        if ((flags & kSpecial) && name == "body"sv) {
            std::uint32_t rgb;
            const std::string* link = t.attribute("link");
            if (link != nullptr && parseLegacyColour(*link, rgb)) resolver_.setLinkColour(rgb);
        }
        styles_.push_back(resolver_.compute(current(), t));
        if (trackKeys_) {
            ElementKey key;
            key.tag = name;
            splitClasses(t.attribute("class"), key.classes);
            const std::string* elementId = t.attribute("id");
            if (elementId != nullptr) key.id = *elementId;
            key.link = (name == "a"sv || name == "area"sv) && t.attribute("href") != nullptr;
            keys_.push_back(std::move(key));
        }
        const ComputedStyle& s = styles_.back();
        o.display = s.display;
        // A table's rows and cells count whatever display the table itself has.
        o.table = name == "table"sv || s.display == Display::kTable;
        if (o.table) tables_.emplace_back();
        if (inFragment && !s.hidden) {
            o.emits = true;
            startItems(name, s);
        }
    }
    open_.push_back(std::move(o));
    if ((flags & kSpecial) && (name == "pre"sv || name == "listing"sv || name == "textarea"sv))
        dropLeadingNewline_ = true;
}

void Reader::startItems(const std::string& name, const ComputedStyle& s) {
    switch (s.display) {
        case Display::kBlock:
        case Display::kListItem:
        case Display::kTable:
            out_.requiredBreaks(name == "p"sv ? 2 : 1);
            break;
        case Display::kRow:
            if (!tables_.empty()) {
                if (tables_.back().rows++ > 0) out_.string("\n", nullptr);
                tables_.back().cells = 0;
            }
            out_.dropSpace();
            break;
        case Display::kCell:
            if (!tables_.empty() && tables_.back().cells++ > 0) out_.string("\t", nullptr);
            out_.dropSpace();
            break;
        default:
            break;
    }
}

void Reader::endItems(const Open& o) {
    switch (o.display) {
        case Display::kBlock:
        case Display::kListItem:
        case Display::kTable:
            out_.requiredBreaks(names_[o.name] == "p"sv ? 2 : 1);
            break;
        case Display::kCell:
        case Display::kRow:
            out_.dropSpace();
            break;
        default:
            break;
    }
}

void Reader::pop(bool inFragment, bool explicitly) {
    Open o = std::move(open_.back());  // moved: no count of the token's owners to change
    open_.pop_back();
    --openCount_[o.name];
    if (!o.styled) return;
    if (o.formatting && !explicitly && reopen_.size() < kMaxReopened)
        reopen_.insert(reopen_.begin(), std::move(o.formatting));
    if (o.formatting && o.formatting.use_count() == 1 && spareTokens_.size() < kMaxReopened)
        spareTokens_.push_back(std::const_pointer_cast<Token>(std::move(o.formatting)));
    if (o.display == Display::kCell || names_[o.name] == "table"sv || names_[o.name] == "caption"sv) reopen_.clear();
    styles_.pop_back();
    if (trackKeys_ && !keys_.empty()) keys_.pop_back();
    if (inFragment && o.emits) endItems(o);
    if (o.table && !tables_.empty()) tables_.pop_back();
}

void Reader::popThrough(std::uint16_t id, bool inFragment) {
    while (!open_.empty()) {
        const bool last = open_.back().name == id;
        pop(inFragment, last);
        if (last) return;
    }
}

void Reader::endTag(const Token& t, bool inFragment) {
    // A name never seen is id 0, which the names beyond the ones told apart share.
    const std::uint16_t id = nameId(t.name, false);
    if (openCount_[id] > 0) {
        popThrough(id, inFragment);
        return;
    }
    // A formatting element waiting to be opened again is forgotten instead.
    for (std::size_t k = reopen_.size(); k-- > 0;) {
        if (reopen_[k]->name == t.name) {
            reopen_.erase(reopen_.begin() + static_cast<std::ptrdiff_t>(k));
            return;
        }
    }
    // "</p>" with no open paragraph is an empty one; "</br>" is a <br>.
    if (t.name == "p"sv || t.name == "br"sv) {
        Token start;
        start.kind = Token::kStartTag;
        start.name = t.name;
        startTag(start, inFragment);
        if (t.name == "p"sv) endTag(t, inFragment);
    }
}

}  // namespace

FragmentText readFragment(std::string_view document, std::size_t fragmentStart, std::size_t fragmentEnd) {
    Reader reader(document, fragmentStart, fragmentEnd);
    return reader.run();
}

}  // namespace html
