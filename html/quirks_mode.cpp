#include "html/quirks_mode.h"

#include "html/char_class.h"
#include "html/css_values.h"

namespace html {

bool isQuirksMode(std::string_view document) {
    // What comes before the doctype: white space and comments.
    std::size_t i = 0;
    const std::size_t n = document.size();
    for (;;) {
        while (i < n && isSpace(document[i])) ++i;
        if (i > n || document.compare(i, 4, "<!--") != 0) break;
        const std::size_t end = document.find("-->", i + 4);
        if (end == std::string_view::npos) return true;
        i = end + 3;
    }
    if (i > n || lowerAscii(std::string(document.substr(i, 9))) != "<!doctype") return true;
    const std::size_t close = document.find('>', i);
    if (close == std::string_view::npos) return true;
    const std::string doctype = lowerAscii(std::string(document.substr(i + 9, close - i - 9)));
    std::size_t k = 0;
    while (k < doctype.size() && isSpace(doctype[k])) ++k;
    if (doctype.compare(k, 4, "html") != 0) return true;
    const std::size_t publicAt = doctype.find("public");
    if (publicAt == std::string::npos) return false;  // <!DOCTYPE html>, or with a system identifier only
    // The public identifier, and whether a system identifier follows it.
    const std::size_t open = doctype.find_first_of("\"'", publicAt);
    if (open == std::string::npos) return true;
    const std::size_t shut = doctype.find(doctype[open], open + 1);
    if (shut == std::string::npos) return true;
    const std::string publicId = doctype.substr(open + 1, shut - open - 1);
    const bool hasSystemId = doctype.find_first_of("\"'", shut + 1) != std::string::npos;
    if (publicId.find("xhtml") != std::string::npos) return false;
    if (publicId.find("-//w3c//dtd html 4.01 transitional//") == 0 ||
        publicId.find("-//w3c//dtd html 4.01 frameset//") == 0)
        return !hasSystemId;
    if (publicId.find("-//w3c//dtd html 4.01//") == 0 || publicId.find("-//w3c//dtd html 4.0//") == 0) return false;
    return true;
}

}  // namespace html
