// The "HTML Format" writer: styled text as a fragment with one <span> per run
// whose inline style states every attribute, inside a white-space:pre-wrap
// block, and that fragment in the clipboard's header. Independent of any
// clipboard.
#pragma once

#include <string>
#include <vector>

#include "codepage/code_page.h"
#include "style/style_runs.h"

// Answers the fragment of `text`, in code page `cp`, styled by `runs`: the
// text in UTF-8 with "&", "<", ">", quotes and control characters other than
// tab escaped, each line end as <br>, NUL bytes left out. Text before the
// first run stands outside any span, and a run of no text gives no span. A
// run that starts outside the text or before the previous one's start is
// clamped, so every character is written exactly once.
std::string htmlFragment(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp);

// Answers the whole "HTML Format" block (header included, no terminating
// NUL) around htmlFragment(text, runs, cp).
std::string htmlBlock(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp);
