// Code pages as the clipboard's text uses them: the system's ANSI code page,
// which CF_TEXT is read and written in, the code pages that RTF character
// sets stand for, and single characters converted into a code page.
#pragma once

#include <cstddef>
#include <cstdint>

namespace codepage {

// A code page number as Windows numbers them (1252, 932, 65001, ...).
using CodePage = std::uint32_t;

constexpr CodePage kWindowsLatin1 = 1252;
constexpr CodePage kMacRoman = 10000;
constexpr CodePage kOemUnitedStates = 437;
constexpr CodePage kOemMultilingual = 850;
constexpr CodePage kUtf8 = 65001;

// The code page CF_TEXT is in: the process's ANSI code page.
CodePage ansiCodePage();

// Whether characters of `cp` may take two bytes (932, 936, 949, 950 and the
// Mac Japanese, Chinese and Korean code pages).
bool isDoubleByte(CodePage cp);

// Whether `byte` starts a two-byte character in `cp`.
bool isLeadByte(CodePage cp, unsigned char byte);

// The code page an RTF font character set stands for, or 0 when it names
// none (default 1, symbol 2 and the unknown ones). ANSI, 0, is Western
// Windows whatever the document's code page, as word processors read it.
CodePage charsetCodePage(std::int32_t charset);

// Whether a document may name `cp` for its bytes ("\ansicpg", "\cpg"): the
// ANSI code pages, the OEM ones RTF uses and the Mac ones.
bool isReadable(CodePage cp);

// The RTF font character set of a code page, or 0 (ANSI) for one without.
std::int32_t codePageCharset(CodePage cp);

// Room for one character in any code page.
constexpr std::size_t kMaxCharBytes = 4;

// Writes the character `codePoint` in `cp` to `out` and answers its length
// (1 to kMaxCharBytes): Windows' best-fit character or "?" when `cp` has no
// such character. A code point outside Unicode is written as "?".
std::size_t encode(CodePage cp, std::uint32_t codePoint, char out[kMaxCharBytes]);

// The character that the `cb` bytes at `bytes` are in `cp`, or 0 when they
// are not exactly one character.
std::uint32_t decode(CodePage cp, const char* bytes, int cb);

// Whether encode() writes exactly `codePoint`, not a fallback for it.
bool encodesExactly(CodePage cp, std::uint32_t codePoint, const char* bytes, std::size_t cb);

// The Unicode character that a Symbol font shows for `byte`, or 0 for a byte
// it shows nothing sensible for.
std::uint16_t symbolFontCharacter(unsigned char byte);

// The character a Wingdings font shows for `byte` where Word offers it as a
// list bullet, or 0 for every other byte.
std::uint16_t wingdingsBulletCharacter(unsigned char byte);

}  // namespace codepage
