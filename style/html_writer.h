// The "HTML Format" writer: styled text as a fragment whose outer element
// keeps white space and states every attribute once (weight, style,
// decoration, vertical alignment, and the runs' most common size and
// colour), so that the place it is pasted into lends the runs nothing. Each
// run states only what differs from that, as compactly as Chromium computes
// it the same: <b>, <i>, <u> and <s>, and a span for size, colour and
// vertical alignment. Independent of any clipboard.
#pragma once

#include <string>
#include <vector>

#include "codepage/code_page.h"
#include "style/style_runs.h"

// Answers the fragment of `text`, in code page `cp`, styled by `runs`: the
// text in UTF-8 with "&", "<", ">", quotes and control characters other than
// tab escaped, each line end as <br>, NUL bytes left out. Text before the
// first run has the outer element's style; a run of no text gives no
// element, and neighbouring runs that look the same share one. A run that
// starts outside the text or before the previous one's start is clamped, so
// every character is written exactly once. Faces other than bold, italic,
// underline, line-through, superscript and subscript are not written.
std::string htmlFragment(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp);

// Answers the whole "HTML Format" block (header included, no terminating
// NUL) around htmlFragment(text, runs, cp).
std::string htmlBlock(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp);
