// Where a document puts what Wine's RichEdit reads otherwise than the
// plug-in: each manual line break, each run of hidden text, each field result,
// each automatic note number, and each run of the kinds of underline RichEdit
// does not know. A small scan of the RTF of its own, apart
// from the plug-in's reader, for the rules of the real-world comparison
// (richedit_rules.h): each mark comes with the visible ASCII text right
// before it, by which a rule finds its place in RichEdit's text.
#pragma once

#include <string>
#include <vector>

namespace realworld {

struct RtfMark {
    enum Kind { kLineBreak, kHidden, kFieldResult, kNoteNumber, kOtherUnderline, kSymbolField, kKinds };
    Kind kind;
    // Up to kContext visible characters right before the mark, within its
    // paragraph: ASCII as itself, any other character as kAnyCharacter.
    std::string before;
    std::string text;   // the hidden or underlined text, or the field result
    bool ascii = true;  // false when `text` held characters beyond ASCII, which stand as '?'
};

constexpr std::size_t kContext = 24;
constexpr char kAnyCharacter = '\x01';

// The marks of `rtf` in the order they show.
std::vector<RtfMark> scanMarks(const std::string& rtf);

}  // namespace realworld
