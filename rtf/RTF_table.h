// The reader's vocabulary: the keyword and property tables, constant data,
// and the indexes through which the scanner finds a keyword's row.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rtf/RTF.h"

// Kind of a keyword.
enum KWD : std::uint8_t { kwdChar = 0, kwdDest = 1, kwdProp = 2, kwdSpec = 3 };
// How a property is written.
enum ACTN : std::uint8_t { actnSpec = 0, actnByte = 1, actnWord = 2 };
// Which record a property belongs to.
enum PROPTYPE : std::uint8_t { propChp = 0, propPap = 1, propSep = 2, propDop = 3 };
// Destinations.
// idestFontTbl reads the font table; idestKeep marks a keyword the reader
// knows and has no use for (a nested table's properties, a character style),
// so that "\*" before it does not skip its group. idestUpr holds the same text
// twice, as ANSI bytes and in its "\ud" branch (idestUd) as Unicode: Word reads
// the Unicode branch only. idestFieldInst is a field's instruction.
enum IDEST : std::uint8_t {
    idestPict = 0,
    idestSkip = 1,
    idestColTab = 2,
    idestFontTbl = 3,
    idestKeep = 4,
    idestUpr = 5,
    idestUd = 6,
    idestFieldInst = 7,
};
// Special keywords.
enum IPFN : std::uint8_t { ipfnBin = 0, ipfnHex = 1, ipfnSkipDest = 2, ipfnCell = 3, ipfnRow = 4 };
// Property numbers, the rows of `rgprop`.
enum IPROP : std::uint8_t {
    ipropBold = 0,
    ipropItalic,
    ipropUnderline,
    ipropContUnderline,
    ipropDblUnderline,
    ipropWordUnderline,
    ipropOutline,
    ipropShadow,
    ipropSmallCaps,
    ipropStrikeThru,
    ipropDblStrikeThru,
    ipropSubscript,
    ipropSuperscript,
    ipropExpanded,
    ipropFontSize,
    ipropFontNumber,
    ipropNoSuperSub,
    ipropColourIndex,
    ipropColourRed,
    ipropColourGreen,
    ipropColourBlue,
    ipropLeftInd,
    ipropRightInd,
    ipropFirstInd,
    ipropCols,
    ipropPgnX,
    ipropPgnY,
    ipropXaPage,
    ipropYaPage,
    ipropXaLeft,
    ipropXaRight,
    ipropYaTop,
    ipropYaBottom,
    ipropPgnStart,
    ipropSbk,
    ipropPgnFormat,
    ipropFacingp,
    ipropLandscape,
    ipropJust,
    ipropPard,
    ipropPlain,
    ipropSectd,
    ipropHidden,
    ipropUnicode,         // "\u": a character by its UTF-16 code
    ipropUnicodeSkip,     // "\uc": fallback units after each "\u"
    ipropAnsiCodePage,    // "\ansicpg"
    ipropCharacterSet,    // "\ansi", "\mac", "\pc", "\pca", as a code page
    ipropFontCharset,     // "\fcharset" of a font table entry
    ipropFontCodePage,    // "\cpg" of a font table entry
    ipropDefaultFont,     // "\deff"
    ipropNoteMark,        // "\chftn": the automatic number of the note that follows
    ipropFootnoteFormat,  // "\ftnnar" ... "\ftnnchi", as an NFC
    ipropEndnoteFormat,   // "\aftnnar" ... "\aftnnchi", as an NFC
    ipropMax
};

// How notes are numbered.
enum NFC : std::uint8_t {
    nfcArabic = 0,
    nfcLowerAlpha = 1,
    nfcUpperAlpha = 2,
    nfcLowerRoman = 3,
    nfcUpperRoman = 4,
    nfcChicago = 5,  // *, †, ‡, §, then each twice, and so on
};

// One row of the keyword table.
struct symbol {
    const char* szKeyword;  // without the backslash
    std::int32_t dflt;      // a property keyword's value when it has no parameter
    bool fPassDflt;         // a property keyword always uses `dflt`
    KWD kwd;
    std::int32_t idx;  // by kind: character code, IDEST, IPROP or IPFN
};

// One row of the property table: the field that a property writes.
struct propmod {
    ACTN actn;
    PROPTYPE prop;
    std::int32_t offset;  // byte offset of the field within the record `prop` names
};

// The size of the record a property belongs to.
constexpr std::size_t cbRecordOf(PROPTYPE prop) {
    return prop == propChp   ? sizeof(char_prop)
           : prop == propPap ? sizeof(para_prop)
           : prop == propSep ? sizeof(sect_prop)
                             : sizeof(doc_prop);
}

extern const symbol rgsymRtf[];
extern const std::int32_t isymMax;
extern const propmod rgprop[ipropMax];

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

// What the scanner's word-at-a-time path does with a control word, as bits:
// write a property field directly, or hand the row to the general route;
// opNamesFont, beside opStore, notes that the text names its font.
enum WordOp : std::uint8_t { opTranslate = 0, opStore = 1, opNamesFont = 2 };

// How a keyword of 1 to 8 bytes acts, found by its bytes as one number. A
// property that writes a field is described as an update of the four bytes
// around the field that lie within its record, so that byte and word fields
// take the same path.
struct WordSlot {
    std::uint64_t key = 0;  // the keyword's bytes, first byte lowest; 0 marks an empty slot
    std::int16_t isym = -1;
    std::uint8_t op = opTranslate;  // WordOp bits
    std::uint8_t record = 0;        // a PROPTYPE: which record the field is in
    std::uint8_t window = 0;        // byte offset of the four bytes within the record
    std::uint8_t shift = 0;         // bit position of the field's value within those four bytes
    std::uint32_t mask = 0;         // the bits of the four bytes that the field occupies
    std::uint32_t dflt = 0;         // the value without a parameter
    std::uint32_t dfltOnly = 0;     // all ones when the value is always `dflt`
    std::uint32_t colour = 0;       // all ones when the value is a colour number, written as its colour
};

constexpr std::size_t cWordSlot = 512;  // a power of two, above twice the row count

constexpr std::size_t wordSlotOf(std::uint64_t key) {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15u) >> 55) & (cWordSlot - 1);
}

// The index of the keywords of 1 to 8 bytes, constant data built at compile time.
struct WordIndex {
    WordSlot slot[cWordSlot] = {};
};
extern const WordIndex kWordIndex;

// Answers the slot of the keyword of 1 to 8 bytes held in `key`, its first
// byte lowest and zeros above its last, or null when the table lacks it.
// Inline: the scanner looks up nearly every control word through it.
inline const WordSlot* pWordSlot(std::uint64_t key) {
    std::size_t s = wordSlotOf(key);
    // Most lookups end at the first slot: the table is sparse.
    if (kWordIndex.slot[s].key == key) return &kWordIndex.slot[s];
    for (;;) {
        if (kWordIndex.slot[s].key == 0) return nullptr;
        s = (s + 1) & (cWordSlot - 1);
        if (kWordIndex.slot[s].key == key) return &kWordIndex.slot[s];
    }
}
// Answers the row for the keyword held in `key`; the same row as isymLookup.
std::int32_t isymLookupWord(std::uint64_t key);
