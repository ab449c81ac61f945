// The RTF writer: styled text as a small single-font document, one group per
// run, declaring the code page its text is in. Independent of any clipboard.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "codepage/code_page.h"
#include "codepage/foreign_chars.h"
#include "style/style_runs.h"
#include "style/two_parts.h"

// A document prepared for writing: its colour table made and its exact size
// counted, so that it can be written straight into room of that size (a
// clipboard block) without a copy. Holds references to the text and runs,
// which must outlive it unchanged.
class RtfDocument {
  public:
    // Entries of the colour table, black included.
    static constexpr std::int32_t kColourTableSize = 100;

    // Prepares the document of `text` (in code page `cp`), the characters
    // of it that the code page lacks (`foreign`, which may be null) and `runs`;
    // text of `twoPartsFrom` bytes or more is counted and written in two
    // parts, by two threads where a second can be had. The document is the
    // same either way.
    RtfDocument(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp,
                const codepage::ForeignChars* foreign = nullptr, std::size_t twoPartsFrom = kTwoPartTextBytes);

    // The document's length in bytes, without a terminating NUL.
    std::size_t size() const { return partSizes_[0] + partSizes_[1]; }
    // Writes exactly size() bytes at `out`.
    void writeTo(char* out) const;

  private:
    template <class Sink>
    void writePart(Sink& out, int part) const;
    // Where `run` starts in the text, at `position` or after it.
    std::size_t clampedStart(const StyleRuns::Run& run, std::size_t position) const;
    // Answers the table index of `colour`, adding it while there is room; a
    // full table answers its last entry.
    std::int32_t addColour(std::uint32_t colour);
    // The index addColour answered for `colour` while preparing.
    std::int32_t colourIndex(std::uint32_t colour) const;

    const std::string& text_;
    const std::vector<StyleRuns::Run>& runs_;
    codepage::CodePage cp_;
    const codepage::ForeignChars* foreign_;
    std::int32_t colourCount_ = 0;
    std::uint32_t colours_[kColourTableSize] = {};
    std::string colourTable_;
    std::size_t splitRun_ = SIZE_MAX;  // the first run of part 1; SIZE_MAX: one part
    std::size_t splitPosition_ = 0;    // where the text stands when part 1 begins
    std::size_t partSizes_[2] = {0, 0};
};

// Answers the RTF document of `text`, in code page `cp`, styled by `runs`:
// "\", "{", "}" and NUL escaped, bytes from 0x80 up as "\'hh" in a double-byte
// code page, every line end as "\par ". A character of `foreign` is written
// as "\uN" (two of them, a surrogate pair, beyond U+FFFF) followed by its
// fallback byte, or "?" for a longer fallback, after a "\uc1" in the header;
// so is every character beyond ASCII when `cp` is UTF-8, which RTF has no
// bytes for. A run that starts outside the text or before the previous one's
// start is clamped, so every character is written exactly once.
std::string rtfDocument(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp,
                        const codepage::ForeignChars* foreign = nullptr);
