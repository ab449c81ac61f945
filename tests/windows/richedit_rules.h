// The named rules by which Wine's RichEdit reads a real program's document
// otherwise than the plug-in, each a transformation of RichEdit's reading
// (its text and, where it must, which of its formats are judged) made before
// the comparison. tests/realworld/rtf/richedit_rules.txt lists the rules of
// each document, one a line:
//
//   document | locale | rule
//
// locale: a LANG the comparison runs under, or * for all of them. After its
// rules RichEdit's text must equal the plug-in's exactly, and a rule that
// changes nothing for its document fails the comparison.
#pragma once

#include <string>
#include <vector>

#include "windows/realworld_reading.h"

namespace realworld {

// RichEdit's reading as the rules leave it: `judged` is false for the
// characters whose formats RichEdit does not give (text it left out, or the
// marks of table cells and rows, which take the control's default format).
struct Mended {
    std::string text;
    std::vector<Attributes> attributes;
    std::vector<bool> judged;
};

Mended unmended(const Reading& r);

// One line of the list.
struct RuleLine {
    std::string document, locale, rule;
    int line = 0;
};

// The lines of `path`; `error` tells of the lines that are not rules.
std::vector<RuleLine> readRules(const std::string& path, std::string& error);

// The rules of `document` that hold in `locale`.
std::vector<std::string> rulesFor(const std::vector<RuleLine>& lines, const std::string& document,
                                  const std::string& locale);

// Whether `rules` set RichEdit's reading aside for the text written by hand.
bool usesTextByHand(const std::vector<std::string>& rules);

// The text written by hand in `path` (UTF-8), its line ends made CR as
// paragraph marks are; false where the file cannot be read.
bool readTextByHand(const std::string& path, std::wstring& text);

// The names the list may use.
const std::vector<std::string>& ruleNames();

// Applies the `rules` of one document to RichEdit's reading `mended`; `rtf`
// is the document and `expectedPath` the file of its text written by hand
// (for the rule that needs one). Answers false with `error` set when a rule
// changed nothing or could not find its place.
bool applyRules(const std::vector<std::string>& rules, const std::string& rtf, const std::string& expectedPath,
                Mended& mended, std::string& error);

}  // namespace realworld
