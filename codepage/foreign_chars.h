// Characters a text holds that its code page lacks. The text itself stays in
// the code page, as CF_TEXT needs it: each such character stands there as
// its fallback (Windows' best fit or "?"), and a ForeignChar beside the text
// says which character that fallback stands for. Every other byte of the
// text is exactly its character, so the text and the list together give the
// whole Unicode text without a second copy of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "codepage/code_page.h"

namespace codepage {

struct ForeignChar {
    std::uint32_t pos;        // the fallback's first byte in the text
    std::uint32_t cb;         // the fallback's length in bytes, at least 1
    std::uint32_t codePoint;  // the character it stands for

    bool operator==(const ForeignChar& o) const { return pos == o.pos && cb == o.cb && codePoint == o.codePoint; }
};

// In the order of their positions, none overlapping another.
using ForeignChars = std::vector<ForeignChar>;

// Walks pieces of a text in order, splitting them where foreign characters
// stand. The pieces asked for must not go backwards; an entry out of order,
// or reaching past the piece it starts in, is taken as plain bytes, so a
// malformed list never writes a character twice or leaves one out.
class ForeignWalk {
  public:
    // `foreign` may be null or empty: every byte is then plain.
    explicit ForeignWalk(const ForeignChars* foreign) : foreign_(foreign) {}

    // Calls plain(from, to) for each run of plain bytes of text[from, to) and
    // character(entry) for each foreign character in it, in order.
    template <class Plain, class Character>
    void walk(std::size_t from, std::size_t to, Plain&& plain, Character&& character) {
        std::size_t at = from;
        if (foreign_ != nullptr) {
            const std::size_t count = foreign_->size();
            while (next_ < count && (*foreign_)[next_].pos < at) ++next_;
            while (next_ < count) {
                const ForeignChar& entry = (*foreign_)[next_];
                if (entry.pos >= to) break;
                ++next_;
                if (entry.cb == 0 || entry.cb > to - entry.pos) continue;
                if (entry.pos > at) plain(at, static_cast<std::size_t>(entry.pos));
                character(entry);
                at = entry.pos + entry.cb;
                while (next_ < count && (*foreign_)[next_].pos < at) ++next_;
            }
        }
        if (to > at) plain(at, to);
    }

  private:
    const ForeignChars* foreign_;
    std::size_t next_ = 0;
};

// Whether a list holds anything a writer must know of.
inline bool hasForeign(const ForeignChars* foreign) { return foreign != nullptr && !foreign->empty(); }

// The foreign characters of a Unicode text that is beside `bytes` (in code
// page `cp`) on the clipboard: when `wide` converted to `cp` gives exactly
// `bytes`, the characters of `wide` that stand there as a fallback are
// appended to `out` and the answer is true. Otherwise `wide` is another
// text than `bytes`, nothing is appended and the answer is false.
bool foreignCharsOfWideText(std::string_view bytes, const std::uint16_t* wide, std::size_t cchWide, CodePage cp,
                            ForeignChars& out);

// Whether every unit of the `cchWide` little-endian UTF-16 units at `wide`,
// up to the first NUL, is a character single-byte code page `cp` has
// exactly, so that a text of them holds no foreign character; false when
// that cannot be told so cheaply (a code page of more than one byte a
// character and a unit beyond ASCII). One pass, in place: the quick answer
// for large texts, which nearly always stay within their code page.
bool everyUnitInCodePage(const unsigned char* wide, std::size_t cchWide, CodePage cp);

// Whether `wide` holds a character that does not survive a trip through
// code page `cp` and back: a text the code page cannot carry whole.
bool wideTextLeavesCodePage(const std::uint16_t* wide, std::size_t cchWide, CodePage cp);

// Appends the UTF-8 bytes [p, p + n) to `out` in code page `cp`, as
// appendAnsiFromUtf8 does for the ANSI code page, and notes in `foreign`
// each character that became a fallback, at its place in `out`.
void appendFromUtf8Noting(std::string& out, const char* p, std::size_t n, CodePage cp, ForeignChars& foreign);

// Moves the positions of `foreign` as a line-end rewrite of the text they
// belong to moves them: every CR LF, CR and LF of `before` becomes one byte.
// Answers the list for the rewritten text.
ForeignChars foreignAfterLineEndsMadeSingle(std::string_view before, const ForeignChars& foreign);

}  // namespace codepage
