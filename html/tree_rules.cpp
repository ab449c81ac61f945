#include "html/tree_rules.h"

namespace html {

namespace {

const char* const kVoidElements[] = {"area",  "base", "br",   "col",   "embed",  "hr",    "img",
                                     "input", "link", "meta", "param", "source", "track", "wbr"};

}  // namespace

bool isVoid(const std::string& name) {
    for (const char* v : kVoidElements)
        if (name == v) return true;
    return false;
}

bool isOneOf(const std::string& name, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (name == n) return true;
    return false;
}

bool closesParagraph(const std::string& n) {
    return isOneOf(
        n, {"address",  "article",    "aside",   "blockquote", "center", "details", "dialog", "dir",       "div", "dl",
            "fieldset", "figcaption", "figure",  "footer",     "header", "hgroup",  "main",   "menu",      "nav", "ol",
            "p",        "section",    "summary", "ul",         "h1",     "h2",      "h3",     "h4",        "h5",  "h6",
            "pre",      "listing",    "form",    "hr",         "li",     "dd",      "dt",     "plaintext", "xmp"});
}

bool isHeading(const std::string& n) { return isOneOf(n, {"h1", "h2", "h3", "h4", "h5", "h6"}); }

bool isFormatting(const std::string& n) {
    return isOneOf(n,
                   {"a", "b", "big", "code", "em", "font", "i", "nobr", "s", "small", "strike", "strong", "tt", "u"});
}

bool isBlockStart(const std::string& n) {
    return closesParagraph(n) || isOneOf(n, {"table", "caption", "colgroup", "tbody", "thead", "tfoot", "tr", "td",
                                             "th", "body", "html", "head"});
}

}  // namespace html
