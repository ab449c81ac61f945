// The RTF reader: a single-pass, table-driven parser that delivers every text
// character of an RTF document to a callback together with the character,
// paragraph, section and document properties in force at that character.
//
// Each parse keeps its whole state in an object of its own (rtf::Reader,
// rtf/RTF_reader.h): parses on different threads are independent. A callback
// must not start another parse on its own thread's reader, but may start a
// new parse, which gets a reader of its own.
//
// Names follow the reader's prefix convention, by what a name holds or a
// function answers:
//   ec    a result code (functions named ec... answer one)
//   f     a flag: a bool, or a byte that is 0 for off (functions named f... answer bool)
//   grf   a set of flag bits, tested as a whole
//   c     a count of things; cb of bytes, cch of characters
//   i     an index or number of one thing (ifont, iprop, isym: a row of that table)
//   rg    an array ("range"); rgX holds Xs
//   p     a pointer (psave: a pointer to a save record)
//   sz    a NUL-terminated string (functions named sz... answer one)
//   b     a byte; cp a code page
//   l     a parameter as the scanner read it
//   xa/ya a horizontal/vertical length in twips
//   chp, pap, sep, dop    the character, paragraph, section and document records
//   rds, ris              destination and input state
//   kwd, actn, idest, ipfn, iprop   the columns and kinds of the keyword tables
// A function named without a prefix answers nothing.
#pragma once

#include <cstddef>
#include <cstdint>

// Result codes. Any other non-zero result of `ecRtfParse` is the callback's own.
constexpr std::int32_t ecNoError = 0;
constexpr std::int32_t ecGroupUnderflow = 1;      // a "}" with no open group
constexpr std::int32_t ecGroupAllocFailed = 2;    // no memory to open a group
constexpr std::int32_t ecOpenGroupAtEnd = 3;      // the text ended with groups open
constexpr std::int32_t ecBadHexDigit = 4;         // a non-digit inside a "\'" escape
constexpr std::int32_t ecBadTableEntry = 5;       // a table row its routine cannot handle
constexpr std::int32_t ecBadInputState = 6;       // a text byte inside the colour table
constexpr std::int32_t ecInputEndsInKeyword = 7;  // the text ends after "\" or a control word's "-"
constexpr std::int32_t ecBadColourComponent = 8;  // a colour component outside 0 to 255

// Answers the name of a result code ("ecNoError" ... "ecBadColourComponent"),
// or null for a value the reader does not define (a callback's own result).
const char* szEcName(std::int32_t ec);

// Destination state: whether characters are delivered, dropped, or read as
// the names of the font table. rdsUpr drops the ANSI text of a "\upr" group,
// whose "\ud" branch then reads as ordinary text. rdsFieldInst keeps a
// field's instruction, which is not shown, for what a SYMBOL field shows.
enum RDS : std::uint8_t { rdsNorm = 0, rdsSkip = 1, rdsFontTbl = 2, rdsUpr = 3, rdsFieldInst = 4 };
// Input state: how the next bytes are read.
enum RIS : std::uint8_t { risNorm = 0, risBin = 1, risHex = 2, risColTab = 3 };
// Paragraph alignment.
enum JUST : std::uint8_t { justL = 0, justR = 1, justC = 2, justF = 3 };
// Section break.
enum SBK : std::uint8_t { sbkNon = 0, sbkCol = 1, sbkEvn = 2, sbkOdd = 3, sbkPg = 4 };
// Page-number format.
enum PGN : std::uint8_t { pgDec = 0, pgURom = 1, pgLRom = 2, pgULtr = 3, pgLLtr = 4 };

// Character properties. Flags are 0 for off, anything else for on.
struct char_prop {
    std::int8_t fBold;
    std::int8_t fItalic;
    std::int8_t fUnderline;
    std::int8_t fContinuousUnderline;
    std::int8_t fDoubleUnderline;
    std::int8_t fWordUnderline;
    std::int8_t fOutline;
    std::int8_t fShadow;
    std::int8_t fSmallCaps;
    std::int8_t fStrikeThru;
    std::int8_t fDoubleStrikeThru;
    std::int8_t fSubscript;
    std::int8_t fSuperscript;
    std::int8_t fHidden;       // hidden text is read but never delivered
    std::int32_t iExpanded;    // below 0 condensed, above 0 expanded
    std::int32_t iFontSize;    // half-points
    std::int32_t iFontNumber;  // the font's number; its code page is the reader's business
    std::int32_t iColour;      // 0x00RRGGBB, already looked up in the colour table
};

// Paragraph properties; lengths in twips.
struct para_prop {
    std::int32_t xaLeft;
    std::int32_t xaRight;
    std::int32_t xaFirst;
    JUST just;
};

// Section properties; lengths in twips.
struct sect_prop {
    std::int32_t cCols;
    SBK sbk;
    std::int32_t xaPgn;
    std::int32_t yaPgn;
    PGN pgnFormat;
};

// Document properties; lengths in twips.
struct doc_prop {
    std::int32_t xaPage;
    std::int32_t yaPage;
    std::int32_t xaLeft;
    std::int32_t yaTop;
    std::int32_t xaRight;
    std::int32_t yaBottom;
    std::int32_t pgnStart;
    std::int8_t fFacingp;
    std::int8_t fLandscape;
};

// Receives one delivered character. Characters arrive as bytes in the
// process's ANSI code page (GetACP), the code page CF_TEXT is read in,
// converted from the document's code pages; a character of a double-byte code
// page arrives as its two bytes, one call each. `ch` is a byte of the text
// sign-extended from 8 bits (0x80..0xFF arrive as -128..-1), or 0..255 for a
// hexadecimal escape, a "\u" escape or a character keyword; its low 8 bits
// are the byte in every case. The records are copies of the reader's state at that
// character. Answer 0 to go on; any other value ends the parse, and
// `ecRtfParse` returns it.
typedef std::int32_t (*RtfCharCallback)(std::int32_t ch, void* userData, doc_prop dop, sect_prop sep, para_prop pap,
                                        char_prop chp);

// Receives a run of delivered characters that share every property: the `cch`
// bytes at `pch`, at least one, each the low 8 bits of a character as
// RtfCharCallback would receive it. The records are the reader's state for
// all of them and are valid during the call only. The answer is as for
// RtfCharCallback.
typedef std::int32_t (*RtfTextCallback)(const char* pch, std::size_t cch, void* userData, const doc_prop& dop,
                                        const sect_prop& sep, const para_prop& pap, const char_prop& chp);

// Parses the NUL-terminated RTF text `pRTF`, calling `cb` once per delivered
// character, in order, with `data` as its user data. The document ends at the
// "}" that closes its first group; what follows is not read. Returns ecNoError
// when the document was read and every group closed, another result code, or
// the callback's non-zero result. Every parse starts from zero properties, an
// empty group stack and an empty colour table.
std::int32_t ecRtfParse(const char* pRTF, RtfCharCallback cb, void* data);

// The same over at most `cbRTF` bytes from `pRTF`: stops at the first NUL or
// after the last byte, whichever comes first, and never reads beyond it. The
// end of the bytes counts exactly as a NUL there would, so untrusted blocks
// without a terminator give the same results as their terminated copies.
std::int32_t ecRtfParse(const char* pRTF, std::size_t cbRTF, RtfCharCallback cb, void* data);

// The same as the bounded ecRtfParse, delivering the same characters in the
// same order with the same records, but a run of text at a time: consecutive
// text bytes between two control words, braces or line ends arrive in one
// call. A reader of long documents saves a call and four record copies per
// character.
std::int32_t ecRtfParseText(const char* pRTF, std::size_t cbRTF, RtfTextCallback cb, void* data);

// Told of a character that the ANSI code page lacks, right after its
// fallback (best fit or "?", the last `cchFallback` bytes delivered) went to
// the text callback: `codePoint` is the character the document names, by a
// "\u" escape or by a font whose code page has it. The answer is as for
// RtfCharCallback.
typedef std::int32_t (*RtfForeignCallback)(std::uint32_t codePoint, std::size_t cchFallback, void* userData);

// ecRtfParseText, telling `foreignCb` of every character the ANSI code page lacks.
std::int32_t ecRtfParseText(const char* pRTF, std::size_t cbRTF, RtfTextCallback cb, RtfForeignCallback foreignCb,
                            void* data);

// Replaces, for the parses that the calling thread starts from now on, the
// functions that allocate and release the group stack's records (by default
// std::malloc and std::free); null for either restores both defaults. An
// allocation that answers null ends the parse with ecGroupAllocFailed. Other
// threads keep their own choice.
void rtfSetMemoryFunctions(void* (*allocate)(std::size_t), void (*deallocate)(void*));
