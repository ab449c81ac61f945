// The "HTML Format" writer: styled text as a fragment whose outer element
// keeps white space and states every attribute once (weight, style,
// decoration, vertical alignment, and the runs' most common size and
// colour), so that the place it is pasted into lends the runs nothing. Each
// run states only what differs from that, as compactly as Chromium computes
// it the same: <b>, <i>, <u> and <s>, and a span for size, colour and
// vertical alignment. Independent of any clipboard.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "codepage/byte_utf8_table.h"
#include "codepage/code_page.h"
#include "codepage/foreign_chars.h"
#include "style/style_runs.h"
#include "style/two_parts.h"

// A block prepared for writing: its runs' looks and its exact size found,
// so that it can be written straight into room of that size (a clipboard
// block) without being held twice. Holds references to the text and runs,
// which must outlive it unchanged.
class HtmlDocument {
  public:
    // What a run looks like in the block: what differs between runs.
    struct Look {
        int face;
        std::int16_t size;  // 0: none
        std::uint32_t colour;
        bool operator==(const Look& o) const { return face == o.face && size == o.size && colour == o.colour; }
    };

    // Prepares the block of `text` (in code page `cp`), the characters of it
    // that the code page lacks (`foreign`, which may be null) and `runs`;
    // text of `twoPartsFrom` bytes or more is written in two parts, by two
    // threads where a second can be had. The block is the same either way.
    HtmlDocument(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp,
                 const codepage::ForeignChars* foreign = nullptr, std::size_t twoPartsFrom = kTwoPartTextBytes);

    // The block's length in bytes, header included, without a terminating
    // NUL; counted the first time it is asked for.
    std::size_t size() const;
    // Writes exactly size() bytes at `out`.
    void writeTo(char* out) const;
    // The block as a string, in one pass.
    std::string block() const;

    // Where the walk over the runs is taken up by the second part.
    struct ResumePoint {
        std::size_t nextRun;   // the first run not yet looked at
        std::size_t position;  // the latest clamped start
        std::size_t start;     // the run that waits: its start and look
        Look look;
    };

  private:
    template <class Sink>
    void writePart(Sink& out, int part) const;
    std::size_t fragmentSize() const;

    const std::string& text_;
    const std::vector<StyleRuns::Run>& runs_;
    codepage::CodePage cp_;
    const codepage::ForeignChars* foreign_;
    std::int16_t defaultSize_ = 0;
    std::uint32_t defaultColour_ = 0;
    const codepage::ByteUtf8Table& table_;
    std::optional<ResumePoint> split_;  // none: one part holds the whole fragment
    // Counted by the survey where it can be, else when first asked for.
    mutable bool counted_ = false;
    mutable std::size_t partSizes_[2] = {0, 0};
};

// Answers the fragment of `text`, in code page `cp`, styled by `runs`: the
// text in UTF-8 with "&", "<", ">", quotes and control characters other than
// tab escaped, each line end as <br>, NUL bytes left out, and each character
// of `foreign` in place of its fallback. Text before the
// first run has the outer element's style; a run of no text gives no
// element, and neighbouring runs that look the same share one. A run that
// starts outside the text or before the previous one's start is clamped, so
// every character is written exactly once. Faces other than bold, italic,
// underline, line-through, superscript and subscript are not written.
std::string htmlFragment(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp,
                         const codepage::ForeignChars* foreign = nullptr);

// Answers the whole "HTML Format" block (header included, no terminating
// NUL) around htmlFragment(text, runs, cp, foreign).
std::string htmlBlock(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp,
                      const codepage::ForeignChars* foreign = nullptr);
