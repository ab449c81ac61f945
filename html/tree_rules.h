// The HTML tree builder's rules the reader follows, by element name: void
// elements, the elements that end an open paragraph, headings, and the
// formatting elements that a browser opens again after an end tag closed
// them along with another element.
#pragma once

#include <initializer_list>
#include <string>

namespace html {

bool isVoid(const std::string& name);
bool isOneOf(const std::string& name, std::initializer_list<const char*> names);
bool closesParagraph(const std::string& name);
bool isHeading(const std::string& name);
bool isFormatting(const std::string& name);
// Elements whose start does not open the formatting elements again first.
bool isBlockStart(const std::string& name);

}  // namespace html
