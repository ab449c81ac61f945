#include "html/css_rules.h"

#include <algorithm>
#include <cstring>

#include "html/char_class.h"
#include "html/css_values.h"

namespace html {

namespace {

// Adds a class to a compound's list unless it is there already: repeating a
// class adds specificity, which the caller counts, but nothing to match.
// Counts in `distinctIgnoringCase` the classes that differ in more than
// case, of which an element must have as many to match.
void addClass(std::vector<std::string>& classes, std::string name, std::size_t& distinctIgnoringCase) {
    bool seenIgnoringCase = false;
    for (const std::string& c : classes) {
        if (c == name) return;
        seenIgnoringCase = seenIgnoringCase || equalIgnoringAsciiCase(c, name);
    }
    if (!seenIgnoringCase) ++distinctIgnoringCase;
    classes.push_back(std::move(name));
}

// Without comments, and without the "<!--" and "-->" that hide a sheet from old browsers.
std::string withoutComments(const std::string& css) {
    std::string out;
    out.reserve(css.size());
    std::size_t i = 0;
    while (i < css.size()) {
        if (css.compare(i, 2, "/*") == 0) {
            const std::size_t e = css.find("*/", i + 2);
            if (e == std::string::npos) break;
            i = e + 2;
            out.push_back(' ');
        } else if (css.compare(i, 4, "<!--") == 0) {
            i += 4;
        } else if (css.compare(i, 3, "-->") == 0) {
            i += 3;
        } else if (css[i] == '"' || css[i] == '\'') {
            const char quote = css[i];
            std::size_t e = i + 1;
            while (e < css.size() && css[e] != quote && css[e] != '\n') ++e;
            if (e < css.size()) ++e;
            out.append(css, i, e - i);
            i = e;
        } else {
            out.push_back(css[i++]);
        }
    }
    return out;
}

// The index just past the block that opens at `open` (a "{"), or the end.
std::size_t pastBlock(const std::string& s, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < s.size(); ++i) {
        if (s[i] == '{') ++depth;
        if (s[i] == '}' && --depth == 0) return i + 1;
    }
    return s.size();
}

// The property named [p, p + n) in lower case, if the reader computes it.
bool propertyOf(const char* p, std::size_t n, Property& id) {
    static const struct {
        const char* name;
        Property id;
    } kProperties[] = {{"font-weight", Property::kFontWeight},
                       {"font-style", Property::kFontStyle},
                       {"text-decoration", Property::kTextDecoration},
                       {"text-decoration-line", Property::kTextDecorationLine},
                       {"vertical-align", Property::kVerticalAlign},
                       {"font-size", Property::kFontSize},
                       {"font-family", Property::kFontFamily},
                       {"font", Property::kFont},
                       {"color", Property::kColor},
                       {"display", Property::kDisplay},
                       {"white-space", Property::kWhiteSpace}};
    if (n > 20) return false;
    char name[21];
    for (std::size_t i = 0; i < n; ++i) name[i] = toLowerAscii(p[i]);
    for (const auto& k : kProperties) {
        if (std::strlen(k.name) == n && std::memcmp(k.name, name, n) == 0) {
            id = k.id;
            return true;
        }
    }
    return false;
}

}  // namespace

void parseDeclarations(const std::string& block, std::vector<Declaration>& out) {
    std::size_t i = 0;
    const std::size_t n = block.size();
    while (i < n) {
        // One declaration up to a ";" outside quotes and parentheses.
        std::size_t e = i;
        int depth = 0;
        char quote = 0;
        for (; e < n; ++e) {
            const char c = block[e];
            if (quote != 0) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '(') {
                ++depth;
            } else if (c == ')') {
                if (depth > 0) --depth;
            } else if (c == ';' && depth == 0) {
                break;
            }
        }
        const std::size_t from = i;
        i = e + 1;
        // The name, up to ":", without spaces; only the properties computed are kept.
        std::size_t nameStart = from;
        while (nameStart < e && isSpace(block[nameStart])) ++nameStart;
        std::size_t colon = nameStart;
        while (colon < e && block[colon] != ':') ++colon;
        if (colon == e) continue;
        std::size_t nameEnd = colon;
        while (nameEnd > nameStart && isSpace(block[nameEnd - 1])) --nameEnd;
        Property id;
        if (!propertyOf(block.data() + nameStart, nameEnd - nameStart, id)) continue;
        Declaration d;
        d.id = id;
        d.property = lowerAscii(block.substr(nameStart, nameEnd - nameStart));
        d.value = trimmed(block.substr(colon + 1, e - colon - 1));
        const std::size_t bang = d.value.rfind('!');
        if (bang != std::string::npos && lowerAscii(trimmed(d.value.substr(bang + 1))) == "important") {
            d.important = true;
            d.value = trimmed(d.value.substr(0, bang));
        }
        out.push_back(std::move(d));
    }
}

void StyleSheet::add(const std::string& cssText) {
    const std::string css = withoutComments(cssText);
    std::size_t i = 0;
    while (i < css.size() && selectors_.size() < kMaxSelectors) {
        while (i < css.size() && (isSpace(css[i]) || css[i] == ';' || css[i] == '}')) ++i;
        if (i >= css.size()) break;
        if (css[i] == '@') {
            // An at-rule: up to its ";" or past its block, whichever comes first.
            const std::size_t stop = css.find_first_of(";{", i);
            if (stop == std::string::npos) break;
            i = css[stop] == ';' ? stop + 1 : pastBlock(css, stop);
            continue;
        }
        const std::size_t open = css.find('{', i);
        if (open == std::string::npos) break;
        const std::size_t close = css.find('}', open);
        const std::size_t end = close == std::string::npos ? css.size() : close;
        addRule(css.substr(i, open - i), css.substr(open + 1, end - open - 1));
        i = close == std::string::npos ? css.size() : close + 1;
    }
}

void StyleSheet::addRule(const std::string& selectorText, const std::string& declarations) {
    std::vector<Declaration> decls;
    parseDeclarations(declarations, decls);
    if (decls.empty()) return;
    const std::size_t blockIndex = blocks_.size();
    bool any = false;
    std::size_t from = 0;
    while (from <= selectorText.size() && selectors_.size() < kMaxSelectors) {
        std::size_t comma = selectorText.find(',', from);
        if (comma == std::string::npos) comma = selectorText.size();
        const std::string one = trimmed(selectorText.substr(from, comma - from));
        from = comma + 1;
        // Compounds of simple selectors, [tag|*](.class|#id|:link)*, joined by
        // " " or ">"; the last is the subject.
        std::vector<std::string> parts;
        std::vector<bool> childOf;  // whether ">" stands before part i
        bool ok = !one.empty();
        bool child = false;
        for (std::size_t k = 0; k < one.size() && ok;) {
            if (isSpace(one[k])) {
                ++k;
                continue;
            }
            if (one[k] == '>') {
                if (parts.empty() || child) ok = false;
                child = true;
                ++k;
                continue;
            }
            std::size_t e = k;
            while (e < one.size() && !isSpace(one[e]) && one[e] != '>') ++e;
            parts.push_back(one.substr(k, e - k));
            childOf.push_back(child);
            child = false;
            k = e;
        }
        if (child || parts.empty() || parts.size() > kMaxCompounds) ok = false;
        Selector sel;
        sel.specificity = 0;
        std::vector<Step> steps(parts.size());
        for (std::size_t p = 0; p < parts.size() && ok; ++p) {
            const std::string& part = parts[p];
            Step& step = steps[p];
            std::size_t distinctClasses = 0;
            std::size_t k = 0;
            if (part[0] == '*') {
                k = 1;
            } else {
                while (k < part.size() && isCssNameChar(part[k])) step.tag.push_back(part[k++]);
                step.tag = lowerAscii(step.tag);
                if (!step.tag.empty()) sel.specificity += 1;
            }
            while (ok && k < part.size()) {
                const char kind = part[k++];
                std::string name;
                while (k < part.size() && isCssNameChar(part[k])) name.push_back(part[k++]);
                if (kind == ':' && (lowerAscii(name) == "link" || lowerAscii(name) == "any-link")) {
                    step.link = true;
                    sel.specificity += 0x100;
                } else if (name.empty() || (kind != '.' && kind != '#')) {
                    ok = false;
                } else if (kind == '.') {
                    addClass(step.classes, std::move(name), distinctClasses);
                    sel.specificity += 0x100;
                } else {
                    step.id = name;
                    sel.specificity += 0x10000;
                }
            }
            // An element takes part in matching with at most kMaxClasses
            // classes, so a compound that names more never matches.
            if (distinctClasses > kMaxClasses) ok = false;
            // The combinator right of this compound is the one before the next.
            if (p + 1 < parts.size()) step.child = childOf[p + 1];
        }
        if (ok) {
            Step& subject = steps.back();
            sel.tag = subject.tag;
            sel.classes = subject.classes;
            sel.id = subject.id;
            sel.link = subject.link;
            for (std::size_t p = parts.size() - 1; p-- > 0;) sel.steps.push_back(steps[p]);
            if (!sel.steps.empty()) combinators_ = true;
        }
        if (!ok) continue;
        // The same selector with the same block again overrides its earlier
        // self, whatever stands between them: the earlier one moves to this
        // place in the cascade. Style sheets repeated for every element then
        // cost one selector, not one per element.
        std::string ruleKey = one;
        ruleKey += '{';
        ruleKey += declarations;
        const auto seen = ruleIndex_.find(ruleKey);
        if (seen != ruleIndex_.end()) {
            selectors_[seen->second].order = nextOrder_++;
            continue;
        }
        ruleIndex_.emplace(std::move(ruleKey), selectors_.size());
        sel.block = blockIndex;
        sel.order = nextOrder_++;
        selectors_.push_back(std::move(sel));
        index(selectors_.size() - 1);
        any = true;
    }
    if (any) blocks_.push_back(std::move(decls));
}

void StyleSheet::index(std::size_t i) {
    const Selector& s = selectors_[i];
    std::string key = !s.id.empty()        ? "#" + s.id
                      : !s.classes.empty() ? "." + s.classes[0]
                      : !s.tag.empty()     ? s.tag
                                           : "*";
    byKey_[lowerAscii(key)].push_back(i);
}

void splitClasses(const std::string* attribute, std::vector<std::string>& out) {
    out.clear();
    if (attribute == nullptr) return;
    std::string cur;
    for (char c : *attribute) {
        if (isSpace(c)) {
            if (!cur.empty() && out.size() < StyleSheet::kMaxClasses) out.push_back(cur);
            cur.clear();
        } else {
            cur.push_back(c);
        }
    }
    if (!cur.empty() && out.size() < StyleSheet::kMaxClasses) out.push_back(cur);
}

bool StyleSheet::sameName(const std::string& a, const std::string& b) const {
    return quirks_ ? equalIgnoringAsciiCase(a, b) : a == b;
}

bool StyleSheet::hasClasses(const std::vector<std::string>& wanted, const std::vector<std::string>& classes,
                            std::size_t nClasses) const {
    for (const std::string& c : wanted) {
        if (!spend(nClasses + 1)) return false;
        bool found = false;
        for (std::size_t k = 0; k < nClasses && !found; ++k) found = sameName(classes[k], c);
        if (!found) return false;  // the first class missing decides
    }
    return true;
}

bool StyleSheet::stepMatches(const Step& step, const ElementKey& e) const {
    if (!step.tag.empty() && step.tag != e.tag) return false;
    if (step.link && !e.link) return false;
    if (!step.id.empty() && !sameName(step.id, e.id)) return false;
    return hasClasses(step.classes, e.classes, std::min(e.classes.size(), kMaxClasses));
}

bool StyleSheet::ancestorsMatch(const Selector& s, std::size_t step, const std::vector<ElementKey>& ancestors,
                                std::size_t below) const {
    // Steps [step, end) against the ancestors above index `below` (exclusive).
    if (step == s.steps.size()) return true;
    const Step& st = s.steps[step];
    // The combinator between this step and the compound nearer the subject.
    const bool direct = st.child;
    for (std::size_t k = below; k-- > 0;) {
        if (!spend(1)) return false;
        if (stepMatches(st, ancestors[k]) && ancestorsMatch(s, step + 1, ancestors, k)) return true;
        if (direct) return false;
    }
    return false;
}

void StyleSheet::match(const std::string& tag, const std::vector<std::string>& classes, const std::string* id,
                       bool isLink, const std::vector<ElementKey>* ancestors, std::vector<MatchedBlock>& out) const {
    out.clear();
    if (selectors_.empty()) return;
    const std::size_t nClasses = std::min(classes.size(), kMaxClasses);
    // Keys are looked up in lower case, made in room kept between calls.
    auto consider = [&](char prefix, const std::string& name) {
        std::string& key = keyScratch_;
        key.clear();
        if (prefix != '\0') key.push_back(prefix);
        for (char c : name) key.push_back(toLowerAscii(c));
        const auto it = byKey_.find(key);
        if (it == byKey_.end()) return;
        for (std::size_t i : it->second) {
            if (!spend(1)) return;
            const Selector& s = selectors_[i];
            if (!s.tag.empty() && s.tag != tag) continue;
            if (s.link && !isLink) continue;
            if (!s.id.empty() && (id == nullptr || !sameName(*id, s.id))) continue;
            if (!hasClasses(s.classes, classes, nClasses)) continue;
            if (!s.steps.empty() && (ancestors == nullptr || !ancestorsMatch(s, 0, *ancestors, ancestors->size())))
                continue;
            out.push_back(MatchedBlock{s.block, s.specificity, s.order});
        }
    };
    static const std::string kAny = "*";
    consider('\0', kAny);
    consider('\0', tag);
    if (id != nullptr && !id->empty()) consider('#', *id);
    for (std::size_t c = 0; c < nClasses; ++c) {
        bool repeated = false;
        for (std::size_t d = 0; d < c; ++d) repeated = repeated || classes[d] == classes[c];
        if (!repeated) consider('.', classes[c]);
    }
    std::sort(out.begin(), out.end(), [](const MatchedBlock& a, const MatchedBlock& b) {
        return a.specificity != b.specificity ? a.specificity < b.specificity : a.order < b.order;
    });
    // A selector indexed under one key is seen once; several selectors of one
    // list may share a block, which then applies more than once, harmlessly.
}

}  // namespace html
