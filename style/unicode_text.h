// CF_UNICODETEXT: written for a styled text (its bytes in their code page,
// each foreign character in place of its fallback, line ends as the text
// has them, so that it converts back to exactly the CF_TEXT beside it, as
// FileMaker's block needs), and read to learn whether the copying program
// put a Unicode text of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "codepage/code_page.h"
#include "codepage/foreign_chars.h"
#include "platform/winapi.h"

// The text as UTF-16 units, without a terminating NUL; NUL bytes of the
// text are left out, since a reader would take the first as the end.
std::u16string unicodeText(const std::string& text, codepage::CodePage cp, const codepage::ForeignChars* foreign);

// A new movable block of the same units and a terminating NUL, written
// straight into the block; null when it cannot be had.
HGLOBAL newUnicodeTextBlock(const std::string& text, codepage::CodePage cp, const codepage::ForeignChars* foreign);

// The open clipboard's CF_UNICODETEXT up to its first NUL, bounded by its
// block; empty when there is none.
std::vector<std::uint16_t> clipboardUnicodeText();

// Whether the clipboard, open, holds a CF_UNICODETEXT with a character the
// ANSI code page lacks: one the copying program put itself, since what
// Windows makes from CF_TEXT never holds such a character.
bool clipboardUnicodeTextLeavesAnsi();
