// The reader's module-wide state and the routines that its two halves call
// across: the scanner and group stack (RTF_readr.cpp) and the keyword and
// property actions (RTF_actn.cpp). Users of the reader include RTF.h only;
// tests include this header to look at the state a parse leaves behind.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>

#include "rtf/RTF.h"

// One entry of the group stack: the state saved at a "{".
struct save {
    save* pNext;  // the entry below, null at the bottom
    char_prop chp;
    para_prop pap;
    sect_prop sep;
    doc_prop dop;
    RDS rds;
    RIS ris;
    std::int32_t cbUnicodeFallback;
};

// Capacity of the colour table: colour numbers 0 to 99.
constexpr std::int16_t cColourMax = 100;
// Capacity of the control-word buffer: 29 letters and a NUL.
constexpr std::size_t cchKeywordMax = 30;

extern RtfCharCallback callback;      // null while a parse delivers runs of text
extern RtfTextCallback textCallback;  // null while a parse delivers characters
extern void* userData;
extern std::int32_t groupDepth;  // groups opened and not yet closed in this parse
extern save* psave;              // top of the group stack, null when empty
extern RDS rds;
extern RIS ris;
extern char_prop chp;
extern para_prop pap;
extern sect_prop sep;
extern doc_prop dop;
extern std::int32_t cbBin;   // bytes of binary data still to come while ris is risBin
extern std::int32_t lParam;  // parameter of the latest control word that had one
extern bool fSkipDestIfUnk;  // "\*" seen: an unknown next keyword skips its group
extern std::int32_t colTab[cColourMax];
extern std::int16_t colTabCount;  // finished entries; colTab[colTabCount] is being built

// Text delivery (RTF_text.cpp).
extern std::int32_t cbUnicodeFallback;  // "\uc": units of fallback after each "\u", kept per group
extern std::int32_t cUnicodeSkip;       // fallback units still to drop; a brace ends the dropping
extern const char* pGroupStart;         // the byte after the latest "{", where "\*" may stand
// Zero while nothing waits to be delivered before the next text or dropped
// among it: a fallback, a cell's tab, half of a character.
extern std::uint32_t fTextSlowPath;
// Fonts whose bytes pass to the callback unchanged, by font number modulo
// its size; an entry holds the number or kNoFont. Documents switch among a
// few fonts of one code page, so each is looked up once.
constexpr std::size_t cFontPassThrough = 64;
extern std::int64_t rgiFontPassThrough[cFontPassThrough];

constexpr std::int64_t kNoFont = INT64_MIN;

// Scanner and group stack (RTF_readr.cpp).
std::int32_t ecPushRtfState();
std::int32_t ecPopRtfState();
// Scans the control word or symbol that starts at `pRTF`, just after its
// backslash, leaves `pRTF` after its delimiter, and acts on it. Reads no byte
// at or beyond `pEnd`, which counts as a NUL.
std::int32_t ecParseRtfKeyword(const char*& pRTF, const char* pEnd);

// Calls the callback with the current state for `cch` bytes of the target
// code page; `fFromText` bytes reach a character callback sign-extended.
inline std::int32_t ecEmit(const char* pch, std::size_t cch, bool fFromText) {
    if (textCallback != nullptr) return textCallback(pch, cch, userData, dop, sep, pap, chp);
    const RtfCharCallback cb = callback;  // a callback cannot change the reader's state
    void* const data = userData;
    for (std::size_t i = 0; i < cch; ++i) {
        const unsigned char b = static_cast<unsigned char>(pch[i]);
        const std::int32_t ch = fFromText ? static_cast<std::int32_t>(static_cast<signed char>(b)) : b;
        const std::int32_t ec = cb(ch, data, dop, sep, pap, chp);
        if (ec != ecNoError) return ec;
    }
    return ecNoError;
}

// Starts delivery for a parse: the target code page, an empty font table.
void rtfBeginText();
// Whether text of the current font passes to the callback unchanged, with
// nothing waiting before it: the case of nearly every run of text.
inline bool fTextPassesThrough() {
    return (fTextSlowPath | static_cast<std::uint32_t>(rds) | static_cast<std::uint32_t>(chp.fHidden)) == 0 &&
           rgiFontPassThrough[static_cast<std::uint32_t>(chp.iFontNumber) % cFontPassThrough] == chp.iFontNumber;
}
// Delivers text bytes of the document, in the current font's code page.
std::int32_t ecDeliverTextSlow(const char* pch, std::size_t cch);
inline std::int32_t ecDeliverText(const char* pch, std::size_t cch) {
    if (fTextPassesThrough()) {
        if (textCallback != nullptr) return textCallback(pch, cch, userData, dop, sep, pap, chp);
        return ecEmit(pch, cch, true);
    }
    return ecDeliverTextSlow(pch, cch);
}
// Delivers the byte of a "\'hh" escape, in the current font's code page.
std::int32_t ecDeliverEscapedByteSlow(unsigned char b);
inline std::int32_t ecDeliverEscapedByte(unsigned char b) {
    if (fTextPassesThrough()) {
        if (textCallback != nullptr) {
            const char byte = static_cast<char>(b);
            return textCallback(&byte, 1, userData, dop, sep, pap, chp);
        }
        return callback(b, userData, dop, sep, pap, chp);
    }
    return ecDeliverEscapedByteSlow(b);
}
// Delivers a character named by its Unicode code point.
std::int32_t ecDeliverUnicode(std::uint32_t codePoint);
// "\u": delivers the UTF-16 unit `val` (negative values count from 65536),
// pairing surrogates, and starts dropping its fallback.
std::int32_t ecUnicodeEscape(std::int32_t val);
// "\cell" and "\row": cells are separated by a tab, rows end a line.
std::int32_t ecEndCell();
std::int32_t ecEndRow();
// Font table entries and the document's code page.
void rtfDefineFont(std::int32_t iFont);
void rtfSetFontCharset(std::int32_t charset);
void rtfSetFontCodePage(std::int32_t cp);
void rtfSetDefaultFont(std::int32_t iFont);
void rtfSetDocumentCodePage(std::int32_t cp, bool fExplicit);
// Takes a byte of a font name in the font table.
void rtfFontNameByte(unsigned char b);
// Whether the "\*" whose backslash is at `pBackslash` follows its "{".
bool fAtGroupStart(const char* pBackslash);

// Routes a byte of binary data or of a hexadecimal escape: counts down
// binary data, drops the byte in a skipped destination, delivers it
// otherwise, in the current font's code page.
inline std::int32_t ecParseChar(std::int32_t ch) {
    const bool fBinary = ris == risBin;
    if (fBinary) {
        // A count taken from "\bin-2147483648" must not wrap around.
        if (cbBin > INT32_MIN) --cbBin;
        if (cbBin <= 0) ris = risNorm;  // the byte that ends the count is still binary data
    }
    if (rds == rdsSkip) return ecNoError;
    const char byte = static_cast<char>(ch);
    return fBinary ? ecDeliverText(&byte, 1) : ecDeliverEscapedByte(static_cast<unsigned char>(byte));
}

// Calls the callback with the current state, as a character of the text would.
inline std::int32_t ecPrintChar(std::int32_t ch) {
    const char byte = static_cast<char>(ch);
    return ecEmit(&byte, 1, ch < 0);
}

// Keyword table and actions (RTF_actn.cpp).

// Answers the row of `rgsymRtf` whose keyword is exactly the `cch` bytes at
// `sz`, or -1. Gives the same row as a linear search of the table.
std::int32_t isymLookup(const char* sz, std::size_t cch);

// The scanner's fast path to the same answer: it hashes the letters as it
// reads them and keeps them zero-padded to `cchKeywordPadded` bytes, so that
// a keyword compares as two machine words. Every keyword of the table is
// shorter than that.
constexpr std::size_t cchKeywordPadded = 16;
constexpr std::uint32_t keywordHashStart = 2166136261u;
constexpr std::uint32_t keywordHashStep(std::uint32_t h, unsigned char c) { return (h ^ c) * 16777619u; }
// Answers the row for the `cch` bytes at `padded`, followed by zeros up to
// `cchKeywordPadded` bytes, whose hash is `hash`.
std::int32_t isymLookupPadded(const char* padded, std::size_t cch, std::uint32_t hash);
// Answers the row for the keyword of 1 to 8 bytes held in `key`, its first
// byte lowest and zeros above its last; the same row as isymLookup.
std::int32_t isymLookupWord(std::uint64_t key);
// Acts on the keyword held in `key` as ecTranslateSymbol(isymLookupWord(key),
// param, fParam) does, writing a plain property field without branching on
// which field it is.
std::int32_t ecTranslateWord(std::uint64_t key, std::int32_t param, bool fParam);
// Acts on the keyword `szKeyword` (NUL-terminated, without its backslash).
std::int32_t ecTranslateKeyword(const char* szKeyword, std::int32_t param, bool fParam);
// Acts on the keyword of row `isym` of `rgsymRtf`, or on a keyword that is not
// in the table when `isym` is -1.
std::int32_t ecTranslateSymbol(std::int32_t isym, std::int32_t param, bool fParam);
std::int32_t ecApplyPropChange(IPROP iprop, std::int32_t val);
std::int32_t ecParseSpecialProperty(IPROP iprop, std::int32_t val);
std::int32_t ecChangeDest(IDEST idest);
std::int32_t ecEndGroupAction(RDS rdsEnding);
std::int32_t ecParseSpecialKeyword(IPFN ipfn);
std::int32_t ecParseColourComponent(IPROP iprop, std::int32_t param);
void ecEndColourTrio();
