// Splits HTML into tokens as a browser's tokenizer does: text (character
// references decoded, CR LF and CR made LF), start and end tags with their
// attributes, and nothing for comments, doctypes, "<![if ...]>" and
// processing instructions. The contents of script, style and the other
// raw-text elements come as one text token. The input must be valid UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace html {

struct Token {
    enum Kind { kText, kStartTag, kEndTag, kEnd };
    Kind kind = kEnd;
    std::string name;  // tag name in lower case
    // The attributes the reader uses (class, id, style, href, color, size,
    // face, hidden, link, nowrap), names in lower case, the first of each name.
    std::vector<std::pair<std::string, std::string>> attributes;
    bool selfClosing = false;
    std::string text;        // text tokens: the decoded text
    std::size_t offset = 0;  // where the token starts in the input

    // The value of attribute `attr`, or null.
    const std::string* attribute(std::string_view attr) const;
};

class Tokenizer {
  public:
    Tokenizer(const char* data, std::size_t size) : p_(data), begin_(data), end_(data + size) {}

    // Text never spans `offset`: a text token ends there and the next begins.
    void addStop(std::size_t offset) { stops_.push_back(offset); }

    // From now on tokens carry only tag names and the contents of raw-text
    // elements (style sheets among them): text is passed over undecoded and
    // empty, and no attribute is kept. The tokens fall where they did.
    void skimOnly() { skimming_ = true; }

    // Fills `token` with the next token; kEnd at the end of the input.
    void next(Token& token);

  private:
    void text(Token& token);
    void rawText(Token& token);
    bool tag(Token& token);
    void skipTo(const char* terminator);
    std::size_t nextStop(std::size_t from) const;

    const char* p_;
    const char* begin_;
    const char* end_;
    std::string rawEnd_;  // while in a raw-text element, its name
    bool rawDecoded_ = false;
    bool plainText_ = false;
    bool skimming_ = false;
    std::vector<std::size_t> stops_;
};

}  // namespace html
