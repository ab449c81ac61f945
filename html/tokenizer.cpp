#include "html/tokenizer.h"

#include <cstring>
#include <string_view>

#include "html/char_class.h"
#include "html/char_refs.h"

namespace html {

using namespace std::string_view_literals;

namespace {

// Elements whose contents are not markup, and whether references count there.
struct RawElement {
    std::string_view name;
    bool decoded;
};
const RawElement kRawElements[] = {{"script", false},  {"style", false},    {"xmp", false},  {"iframe", false},
                                   {"noembed", false}, {"noframes", false}, {"title", true}, {"textarea", true}};

// The attributes the reader uses; the others are read past and not kept,
// which bounds both the memory of a tag and the search for a repeated name.
constexpr std::string_view kKept[] = {"class", "id",   "style",  "href", "color",
                                      "size",  "face", "hidden", "link", "nowrap"};

constexpr std::size_t longestKeptName() {
    std::size_t longest = 0;
    for (std::string_view k : kKept) longest = k.size() > longest ? k.size() : longest;
    return longest;
}
constexpr std::size_t kLongestKeptName = longestKeptName();

bool isKept(const std::string& name) {
    for (std::string_view k : kKept)
        if (name == k) return true;
    return false;
}

// Appends [p, end) with CR LF and lone CR made LF and NUL dropped.
void appendNormalised(std::string& out, const char* p, const char* end) {
    while (p < end) {
        const char* q = p;
        while (q < end && *q != '\r' && *q != '\0') ++q;
        out.append(p, static_cast<std::size_t>(q - p));
        if (q == end) return;
        if (*q == '\r') {
            out.push_back('\n');
            if (q + 1 < end && q[1] == '\n') ++q;
        }
        p = q + 1;
    }
}

void appendText(std::string& out, const char* p, const char* end, bool decoded, bool inAttribute = false) {
    if (!decoded) {
        appendNormalised(out, p, end);
        return;
    }
    if (std::memchr(p, '\r', static_cast<std::size_t>(end - p)) == nullptr &&
        std::memchr(p, '\0', static_cast<std::size_t>(end - p)) == nullptr) {
        appendDecoded(p, end, inAttribute, out);  // nothing to normalise: no copy
        return;
    }
    std::string raw;
    appendNormalised(raw, p, end);
    appendDecoded(raw.data(), raw.data() + raw.size(), inAttribute, out);
}

}  // namespace

const std::string* Token::attribute(std::string_view attr) const {
    for (const auto& a : attributes)
        if (a.first == attr) return &a.second;
    return nullptr;
}

std::size_t Tokenizer::nextStop(std::size_t from) const {
    std::size_t best = static_cast<std::size_t>(end_ - begin_);
    for (std::size_t s : stops_)
        if (s > from && s < best) best = s;
    return best;
}

void Tokenizer::skipTo(const char* terminator) {
    const std::size_t n = std::strlen(terminator);
    while (p_ < end_) {
        if (static_cast<std::size_t>(end_ - p_) >= n && std::memcmp(p_, terminator, n) == 0) {
            p_ += n;
            return;
        }
        ++p_;
    }
}

void Tokenizer::next(Token& token) {
    token.kind = Token::kEnd;
    token.name.clear();
    token.attributes.clear();
    token.text.clear();
    token.selfClosing = false;
    while (p_ < end_) {
        token.offset = static_cast<std::size_t>(p_ - begin_);
        if (plainText_) {
            token.kind = Token::kText;
            if (!skimming_) appendText(token.text, p_, end_, false);
            p_ = end_;
            return;
        }
        if (!rawEnd_.empty()) {
            rawText(token);
            return;
        }
        if (*p_ != '<') {
            text(token);
            return;
        }
        if (tag(token)) return;
    }
    token.offset = static_cast<std::size_t>(end_ - begin_);
}

void Tokenizer::text(Token& token) {
    // Up to the next "<" that starts markup, or the next stop.
    const std::size_t here = static_cast<std::size_t>(p_ - begin_);
    const char* limit = begin_ + nextStop(here);
    const char* q = p_ + 1;
    while (q < limit && *q != '<') ++q;
    token.kind = Token::kText;
    if (!skimming_) appendText(token.text, p_, q, true);
    p_ = q;
}

void Tokenizer::rawText(Token& token) {
    // Up to "</name" followed by a space, "/" or ">", whatever the case.
    const std::size_t n = rawEnd_.size();
    const char* q = p_;
    for (; q < end_; ++q) {
        if (*q != '<' || static_cast<std::size_t>(end_ - q) < n + 2 || q[1] != '/') continue;
        bool same = true;
        for (std::size_t i = 0; i < n && same; ++i) same = toLowerAscii(q[2 + i]) == rawEnd_[i];
        if (!same) continue;
        if (static_cast<std::size_t>(end_ - q) == n + 2) break;
        const char after = q[2 + n];
        if (isSpace(after) || after == '/' || after == '>') break;
    }
    token.kind = Token::kText;
    appendText(token.text, p_, q, rawDecoded_);
    p_ = q;
    rawEnd_.clear();
}

bool Tokenizer::tag(Token& token) {
    // p_ points at "<".
    const char* q = p_ + 1;
    if (q >= end_) {
        token.kind = Token::kText;
        token.text = "<";
        p_ = end_;
        return true;
    }
    if (*q == '!') {
        if (end_ - q >= 3 && q[1] == '-' && q[2] == '-') {
            // A comment: "<!-->" and "<!--->" end at once; otherwise at "-->",
            // or "--!>", or the end of the input.
            p_ = q + 3;
            if (p_ < end_ && *p_ == '>') {
                ++p_;
                return false;
            }
            if (end_ - p_ >= 2 && p_[0] == '-' && p_[1] == '>') {
                p_ += 2;
                return false;
            }
            while (p_ < end_) {
                if (end_ - p_ >= 3 && p_[0] == '-' && p_[1] == '-' && p_[2] == '>') {
                    p_ += 3;
                    return false;
                }
                if (end_ - p_ >= 4 && std::memcmp(p_, "--!>", 4) == 0) {
                    p_ += 4;
                    return false;
                }
                ++p_;
            }
            return false;
        }
        p_ = q;
        skipTo(">");  // doctype, "<![if ...]>", "<![endif]>", CDATA: nothing
        return false;
    }
    if (*q == '?') {
        p_ = q;
        skipTo(">");
        return false;
    }
    const bool endTag = *q == '/';
    if (endTag) {
        ++q;
        if (q < end_ && *q == '>') {  // "</>": nothing
            p_ = q + 1;
            return false;
        }
        if (q >= end_) {
            token.kind = Token::kText;
            token.text = "</";
            p_ = end_;
            return true;
        }
        if (!isAsciiAlpha(*q)) {
            p_ = q;
            skipTo(">");
            return false;
        }
    } else if (!isAsciiAlpha(*q)) {
        token.kind = Token::kText;
        token.text = "<";
        ++p_;
        return true;
    }
    // The name and the attributes go straight into the token, whose room
    // stays from one tag to the next; next() has emptied it.
    std::string& name = token.name;
    while (q < end_ && !isSpace(*q) && *q != '/' && *q != '>') {
        if (*q != '\0') name.push_back(toLowerAscii(*q));
        ++q;
    }
    std::vector<std::pair<std::string, std::string>>& attributes = token.attributes;
    bool selfClosing = false;
    for (;;) {
        while (q < end_ && isSpace(*q)) ++q;
        if (q >= end_) {
            p_ = end_;  // a tag the input ends in is dropped
            name.clear();
            attributes.clear();
            return false;
        }
        if (*q == '>') {
            ++q;
            break;
        }
        if (*q == '/') {
            ++q;
            if (q < end_ && *q == '>') {
                selfClosing = true;
                ++q;
                break;
            }
            continue;
        }
        const char* attrStart = q++;  // the first character may be "="
        while (q < end_ && !isSpace(*q) && *q != '/' && *q != '>' && *q != '=') ++q;
        const std::size_t attrLength = static_cast<std::size_t>(q - attrStart);
        while (q < end_ && isSpace(*q)) ++q;
        // The value's bytes are found first and decoded only for an attribute
        // the reader keeps: Word's markup is mostly attributes it does not.
        const char* valueStart = q;
        const char* valueEnd = q;
        if (q < end_ && *q == '=') {
            ++q;
            while (q < end_ && isSpace(*q)) ++q;
            if (q < end_ && (*q == '"' || *q == '\'')) {
                const char quote = *q++;
                const void* close = std::memchr(q, quote, static_cast<std::size_t>(end_ - q));
                if (close == nullptr) {
                    p_ = end_;
                    name.clear();
                    attributes.clear();
                    return false;
                }
                valueStart = q;
                valueEnd = static_cast<const char*>(close);
                q = valueEnd + 1;
            } else {
                valueStart = q;
                while (q < end_ && !isSpace(*q) && *q != '>') ++q;
                valueEnd = q;
            }
        }
        if (skimming_ || attrLength > kLongestKeptName) continue;
        std::string attrName(attrStart, attrLength);
        for (char& c : attrName) c = toLowerAscii(c);
        if (!isKept(attrName)) continue;
        std::string value;
        appendText(value, valueStart, valueEnd, true, true);
        bool seen = false;
        for (const auto& a : attributes) seen = seen || a.first == attrName;
        if (!seen) attributes.emplace_back(std::move(attrName), std::move(value));
    }
    p_ = q;
    token.kind = endTag ? Token::kEndTag : Token::kStartTag;
    if (endTag) {
        attributes.clear();  // an end tag's attributes mean nothing
    } else {
        token.selfClosing = selfClosing;
        for (const RawElement& raw : kRawElements) {
            if (token.name == raw.name) {
                rawEnd_ = raw.name;
                rawDecoded_ = raw.decoded;
            }
        }
        if (token.name == "plaintext"sv) plainText_ = true;
    }
    return true;
}

}  // namespace html
