// The reader's vocabulary: the keyword table, the property table, and the
// indexes through which the scanner finds a keyword's row.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "rtf/RTF.h"
#include "rtf/RTF_table.h"

namespace {
constexpr symbol prop(const char* sz, std::int32_t dflt, bool fPassDflt, IPROP iprop) {
    return symbol{sz, dflt, fPassDflt, kwdProp, iprop};
}
constexpr symbol chr(const char* sz, std::int32_t code) { return symbol{sz, 0, false, kwdChar, code}; }
constexpr symbol dest(const char* sz, IDEST idest) { return symbol{sz, 0, false, kwdDest, idest}; }
constexpr symbol special(const char* sz, IPFN ipfn) { return symbol{sz, 0, false, kwdSpec, ipfn}; }
}  // namespace

constexpr symbol rgsymRtf[] = {
    prop("b", 1, false, ipropBold),
    prop("i", 1, false, ipropItalic),
    // Every kind of underline reads as plain underline.
    prop("ul", 1, false, ipropUnderline),
    prop("uldb", 1, false, ipropUnderline),
    prop("ulw", 1, false, ipropUnderline),
    // Dotted, dashed, wavy and thick lines are underline all the same.
    prop("uld", 1, false, ipropUnderline),
    prop("uldash", 1, false, ipropUnderline),
    prop("uldashd", 1, false, ipropUnderline),
    prop("uldashdd", 1, false, ipropUnderline),
    prop("ulhwave", 1, false, ipropUnderline),
    prop("ulldash", 1, false, ipropUnderline),
    prop("ulth", 1, false, ipropUnderline),
    prop("ulthd", 1, false, ipropUnderline),
    prop("ulthdash", 1, false, ipropUnderline),
    prop("ulthdashd", 1, false, ipropUnderline),
    prop("ulthdashdd", 1, false, ipropUnderline),
    prop("ulthldash", 1, false, ipropUnderline),
    prop("ululdbwave", 1, false, ipropUnderline),
    prop("ulwave", 1, false, ipropUnderline),
    prop("ulnone", 0, true, ipropUnderline),
    prop("outl", 1, false, ipropOutline),
    prop("shad", 1, false, ipropShadow),
    prop("scaps", 1, false, ipropSmallCaps),
    prop("strike", 1, false, ipropStrikeThru),
    prop("striked1", 1, false, ipropDblStrikeThru),
    prop("sub", 1, false, ipropSubscript),
    prop("super", 1, false, ipropSuperscript),
    prop("expnd", 0, true, ipropExpanded),
    prop("expndtw", 0, true, ipropExpanded),
    prop("fs", 12, false, ipropFontSize),
    prop("f", 0, false, ipropFontNumber),
    prop("cf", 0, false, ipropColourIndex),
    prop("nosupersub", 0, false, ipropNoSuperSub),
    prop("plain", 0, false, ipropPlain),
    prop("li", 0, false, ipropLeftInd),
    prop("ri", 0, false, ipropRightInd),
    prop("fi", 0, false, ipropFirstInd),
    prop("cols", 1, false, ipropCols),
    prop("sbknone", sbkNon, true, ipropSbk),
    prop("sbkcol", sbkCol, true, ipropSbk),
    prop("sbkeven", sbkEvn, true, ipropSbk),
    prop("sbkodd", sbkOdd, true, ipropSbk),
    prop("sbkpage", sbkPg, true, ipropSbk),
    prop("pgnx", 0, false, ipropPgnX),
    prop("pgny", 0, false, ipropPgnY),
    prop("pgndec", pgDec, true, ipropPgnFormat),
    prop("pgnucrm", pgURom, true, ipropPgnFormat),
    prop("pgnlcrm", pgLRom, true, ipropPgnFormat),
    prop("pgnucltr", pgULtr, true, ipropPgnFormat),
    prop("pgnlcltr", pgLLtr, true, ipropPgnFormat),
    prop("qc", justC, true, ipropJust),
    prop("ql", justL, true, ipropJust),
    prop("qr", justR, true, ipropJust),
    prop("qj", justF, true, ipropJust),
    prop("paperw", 12240, false, ipropXaPage),
    prop("paperh", 15480, false, ipropYaPage),
    prop("margl", 1800, false, ipropXaLeft),
    prop("margr", 1800, false, ipropXaRight),
    prop("margt", 1440, false, ipropYaTop),
    prop("margb", 1440, false, ipropYaBottom),
    prop("pgnstart", 1, true, ipropPgnStart),
    prop("facingp", 1, true, ipropFacingp),
    prop("landscape", 1, true, ipropLandscape),
    prop("red", 0, false, ipropColourRed),
    prop("green", 0, false, ipropColourGreen),
    prop("blue", 0, false, ipropColourBlue),
    prop("v", 1, false, ipropHidden),
    prop("u", 0, false, ipropUnicode),
    prop("uc", 1, false, ipropUnicodeSkip),
    prop("ansicpg", 0, false, ipropAnsiCodePage),
    prop("ansi", 1252, true, ipropCharacterSet),
    prop("mac", 10000, true, ipropCharacterSet),
    prop("pc", 437, true, ipropCharacterSet),
    prop("pca", 850, true, ipropCharacterSet),
    prop("fcharset", 0, false, ipropFontCharset),
    prop("cpg", 0, false, ipropFontCodePage),
    prop("deff", 0, false, ipropDefaultFont),
    prop("chftn", 0, true, ipropNoteMark),
    prop("ftnnar", nfcArabic, true, ipropFootnoteFormat),
    prop("ftnnalc", nfcLowerAlpha, true, ipropFootnoteFormat),
    prop("ftnnauc", nfcUpperAlpha, true, ipropFootnoteFormat),
    prop("ftnnrlc", nfcLowerRoman, true, ipropFootnoteFormat),
    prop("ftnnruc", nfcUpperRoman, true, ipropFootnoteFormat),
    prop("ftnnchi", nfcChicago, true, ipropFootnoteFormat),
    prop("aftnnar", nfcArabic, true, ipropEndnoteFormat),
    prop("aftnnalc", nfcLowerAlpha, true, ipropEndnoteFormat),
    prop("aftnnauc", nfcUpperAlpha, true, ipropEndnoteFormat),
    prop("aftnnrlc", nfcLowerRoman, true, ipropEndnoteFormat),
    prop("aftnnruc", nfcUpperRoman, true, ipropEndnoteFormat),
    prop("aftnnchi", nfcChicago, true, ipropEndnoteFormat),

    // Characters by their Unicode code points, delivered in the target code page.
    chr("par", 10),
    chr("\n", 10),
    chr("\r", 10),
    chr("line", 10),
    chr("page", 10),
    chr("sect", 10),
    chr("column", 10),
    chr("tab", 9),
    chr("ldblquote", 0x201C),
    chr("rdblquote", 0x201D),
    chr("{", 123),
    chr("}", 125),
    chr("\\", 92),
    chr("emdash", 0x2014),
    chr("endash", 0x2013),
    chr("_", 0x2011),
    chr("~", 0x00A0),
    chr("emspace", 0x2003),
    chr("enspace", 0x2002),
    chr("qmspace", 0x2005),
    chr("bullet", 0x2022),
    chr("lquote", 0x2018),
    chr("rquote", 0x2019),

    special("bin", ipfnBin),
    special("*", ipfnSkipDest),
    special("'", ipfnHex),
    special("cell", ipfnCell),
    special("nestcell", ipfnCell),
    special("row", ipfnRow),
    special("nestrow", ipfnRow),

    dest("colortbl", idestColTab),
    dest("author", idestSkip),
    dest("buptim", idestSkip),
    dest("comment", idestSkip),
    dest("creatim", idestSkip),
    dest("doccomm", idestSkip),
    dest("fonttbl", idestFontTbl),
    dest("fldinst", idestFieldInst),
    // A field's result is what Word shows of it, marked optional or not.
    dest("fldrslt", idestKeep),
    dest("nonesttables", idestSkip),
    dest("upr", idestUpr),
    dest("ud", idestUd),
    dest("nesttableprops", idestKeep),
    dest("cs", idestKeep),
    dest("footer", idestSkip),
    dest("footerf", idestSkip),
    dest("footerl", idestSkip),
    dest("footerr", idestSkip),
    dest("footnote", idestSkip),
    dest("ftncn", idestSkip),
    dest("ftnsep", idestSkip),
    dest("ftnsepc", idestSkip),
    dest("header", idestSkip),
    dest("headerf", idestSkip),
    dest("headerl", idestSkip),
    dest("headerr", idestSkip),
    dest("info", idestSkip),
    dest("keywords", idestSkip),
    dest("operator", idestSkip),
    dest("pict", idestSkip),
    dest("printim", idestSkip),
    dest("private1", idestSkip),
    dest("revtim", idestSkip),
    dest("rxe", idestSkip),
    dest("stylesheet", idestSkip),
    dest("subject", idestSkip),
    dest("tc", idestSkip),
    dest("title", idestSkip),
    dest("txe", idestSkip),
    dest("xe", idestSkip),
};

constexpr std::int32_t isymMax = static_cast<std::int32_t>(sizeof rgsymRtf / sizeof rgsymRtf[0]);
static_assert(isymMax == 160, "the keyword table has 160 rows");

#define CHP_FIELD(field) static_cast<std::int32_t>(offsetof(char_prop, field))
#define PAP_FIELD(field) static_cast<std::int32_t>(offsetof(para_prop, field))
#define SEP_FIELD(field) static_cast<std::int32_t>(offsetof(sect_prop, field))
#define DOP_FIELD(field) static_cast<std::int32_t>(offsetof(doc_prop, field))

constexpr propmod rgprop[ipropMax] = {
    {actnByte, propChp, CHP_FIELD(fBold)},                 // ipropBold
    {actnByte, propChp, CHP_FIELD(fItalic)},               // ipropItalic
    {actnByte, propChp, CHP_FIELD(fUnderline)},            // ipropUnderline
    {actnByte, propChp, CHP_FIELD(fContinuousUnderline)},  // ipropContUnderline
    {actnByte, propChp, CHP_FIELD(fDoubleUnderline)},      // ipropDblUnderline
    {actnByte, propChp, CHP_FIELD(fWordUnderline)},        // ipropWordUnderline
    {actnByte, propChp, CHP_FIELD(fOutline)},              // ipropOutline
    {actnByte, propChp, CHP_FIELD(fShadow)},               // ipropShadow
    {actnByte, propChp, CHP_FIELD(fSmallCaps)},            // ipropSmallCaps
    {actnByte, propChp, CHP_FIELD(fStrikeThru)},           // ipropStrikeThru
    {actnByte, propChp, CHP_FIELD(fDoubleStrikeThru)},     // ipropDblStrikeThru
    {actnByte, propChp, CHP_FIELD(fSubscript)},            // ipropSubscript
    {actnByte, propChp, CHP_FIELD(fSuperscript)},          // ipropSuperscript
    {actnWord, propChp, CHP_FIELD(iExpanded)},             // ipropExpanded
    {actnWord, propChp, CHP_FIELD(iFontSize)},             // ipropFontSize
    {actnWord, propChp, CHP_FIELD(iFontNumber)},           // ipropFontNumber
    {actnSpec, propChp, 0},                                // ipropNoSuperSub
    {actnSpec, propChp, 0},                                // ipropColourIndex
    {actnSpec, propChp, 0},                                // ipropColourRed
    {actnSpec, propChp, 0},                                // ipropColourGreen
    {actnSpec, propChp, 0},                                // ipropColourBlue
    {actnWord, propPap, PAP_FIELD(xaLeft)},                // ipropLeftInd
    {actnWord, propPap, PAP_FIELD(xaRight)},               // ipropRightInd
    {actnWord, propPap, PAP_FIELD(xaFirst)},               // ipropFirstInd
    {actnWord, propSep, SEP_FIELD(cCols)},                 // ipropCols
    {actnWord, propSep, SEP_FIELD(xaPgn)},                 // ipropPgnX
    {actnWord, propSep, SEP_FIELD(yaPgn)},                 // ipropPgnY
    {actnWord, propDop, DOP_FIELD(xaPage)},                // ipropXaPage
    {actnWord, propDop, DOP_FIELD(yaPage)},                // ipropYaPage
    {actnWord, propDop, DOP_FIELD(xaLeft)},                // ipropXaLeft
    {actnWord, propDop, DOP_FIELD(xaRight)},               // ipropXaRight
    {actnWord, propDop, DOP_FIELD(yaTop)},                 // ipropYaTop
    {actnWord, propDop, DOP_FIELD(yaBottom)},              // ipropYaBottom
    {actnWord, propDop, DOP_FIELD(pgnStart)},              // ipropPgnStart
    {actnByte, propSep, SEP_FIELD(sbk)},                   // ipropSbk
    {actnByte, propSep, SEP_FIELD(pgnFormat)},             // ipropPgnFormat
    {actnByte, propDop, DOP_FIELD(fFacingp)},              // ipropFacingp
    {actnByte, propDop, DOP_FIELD(fLandscape)},            // ipropLandscape
    {actnByte, propPap, PAP_FIELD(just)},                  // ipropJust
    {actnSpec, propPap, 0},                                // ipropPard
    {actnSpec, propChp, 0},                                // ipropPlain
    {actnSpec, propSep, 0},                                // ipropSectd
    {actnByte, propChp, CHP_FIELD(fHidden)},               // ipropHidden
    {actnSpec, propChp, 0},                                // ipropUnicode
    {actnSpec, propChp, 0},                                // ipropUnicodeSkip
    {actnSpec, propDop, 0},                                // ipropAnsiCodePage
    {actnSpec, propDop, 0},                                // ipropCharacterSet
    {actnSpec, propChp, 0},                                // ipropFontCharset
    {actnSpec, propChp, 0},                                // ipropFontCodePage
    {actnSpec, propDop, 0},                                // ipropDefaultFont
    {actnSpec, propChp, 0},                                // ipropNoteMark
    {actnSpec, propDop, 0},                                // ipropFootnoteFormat
    {actnSpec, propDop, 0},                                // ipropEndnoteFormat
};

#undef CHP_FIELD
#undef PAP_FIELD
#undef SEP_FIELD
#undef DOP_FIELD

namespace {

// An exact index of the keyword table: a hash of the keyword's bytes into an
// open-addressed table of row numbers, and a direct table for one-byte
// keywords. Every keyword occurs once, so it finds the row a linear search
// would.
constexpr std::size_t cSlot = 512;  // a power of two, well above the row count
static_assert(isymMax < static_cast<std::int32_t>(cSlot) / 2, "keep the hash table sparse");

constexpr std::size_t slotOf(std::uint32_t hash) { return (hash ^ (hash >> 16)) & (cSlot - 1); }

struct KeywordIndex {
    std::int16_t slot[cSlot] = {};
    std::int16_t oneByte[256] = {};
    std::uint8_t length[isymMax] = {};
    char padded[isymMax][cchKeywordPadded] = {};

    constexpr KeywordIndex() {
        for (std::size_t i = 0; i < cSlot; ++i) slot[i] = -1;
        for (std::size_t i = 0; i < 256; ++i) oneByte[i] = -1;
        for (std::int32_t isym = 0; isym < isymMax; ++isym) {
            const char* sz = rgsymRtf[isym].szKeyword;
            std::size_t cch = 0;
            std::uint32_t hash = keywordHashStart;
            for (; sz[cch] != '\0'; ++cch) {
                padded[isym][cch] = sz[cch];
                hash = keywordHashStep(hash, static_cast<unsigned char>(sz[cch]));
            }
            length[isym] = static_cast<std::uint8_t>(cch);
            if (cch == 1) {
                oneByte[static_cast<unsigned char>(sz[0])] = static_cast<std::int16_t>(isym);
                continue;
            }
            std::size_t s = slotOf(hash);
            while (slot[s] >= 0) s = (s + 1) & (cSlot - 1);
            slot[s] = static_cast<std::int16_t>(isym);
        }
    }
};
constexpr KeywordIndex kIndex;

constexpr bool keywordsFit() {
    for (std::int32_t isym = 0; isym < isymMax; ++isym)
        if (kIndex.length[isym] >= cchKeywordPadded) return false;
    return true;
}
static_assert(keywordsFit(), "every keyword must fit its padded form with room for a zero");

inline std::uint64_t word(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

}  // namespace

std::int32_t isymLookupPadded(const char* padded, std::size_t cch, std::uint32_t hash) {
    if (cch == 1) return kIndex.oneByte[static_cast<unsigned char>(padded[0])];
    if (cch == 0 || cch >= cchKeywordPadded) return -1;
    for (std::size_t s = slotOf(hash);; s = (s + 1) & (cSlot - 1)) {
        const std::int32_t isym = kIndex.slot[s];
        if (isym < 0) return -1;
        const char* keyword = kIndex.padded[isym];
        if (kIndex.length[isym] == cch && word(keyword) == word(padded) && word(keyword + 8) == word(padded + 8))
            return isym;
    }
}

namespace {

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr bool kBigEndian = true;
#else
constexpr bool kBigEndian = false;
#endif

static_assert(isymMax < static_cast<std::int32_t>(cWordSlot) / 2, "keep the word table sparse");

// Describes in `slot` how row `isym` writes its field, when it is a property
// that simply writes one.
constexpr void describeStore(WordSlot& slot, std::int32_t isym) {
    const symbol& sym = rgsymRtf[isym];
    if (sym.kwd != kwdProp || sym.idx < 0 || sym.idx >= ipropMax) return;
    const propmod& pm = rgprop[sym.idx];
    const std::size_t cbRecord = cbRecordOf(pm.prop);
    if (cbRecord < 4 || cbRecord > 255 || pm.offset < 0) return;
    std::size_t offset = static_cast<std::size_t>(pm.offset);
    std::size_t width = 0;
    if (pm.actn == actnByte) {
        width = 1;
    } else if (pm.actn == actnWord) {
        width = 4;
    } else if (sym.idx == ipropColourIndex) {
        width = 4;
        offset = offsetof(char_prop, iColour);
        slot.colour = 0xFFFFFFFFu;
    } else {
        return;
    }
    if (offset + width > cbRecord) return;
    const std::size_t window = offset + 4 <= cbRecord ? offset : cbRecord - 4;
    const std::size_t byteInWindow = offset - window;
    const std::size_t shift = 8 * (kBigEndian ? 4 - width - byteInWindow : byteInWindow);
    slot.op = sym.idx == ipropFontNumber ? opStore | opNamesFont : opStore;
    slot.record = static_cast<std::uint8_t>(pm.prop);
    slot.window = static_cast<std::uint8_t>(window);
    slot.shift = static_cast<std::uint8_t>(shift);
    slot.mask = (width == 4 ? 0xFFFFFFFFu : 0xFFu) << shift;
    slot.dflt = static_cast<std::uint32_t>(sym.dflt);
    slot.dfltOnly = sym.fPassDflt ? 0xFFFFFFFFu : 0;
}

// The keyword of 1 to 8 bytes at `sz` as one number, first byte lowest; 0
// for a longer or empty one.
constexpr std::uint64_t wordKey(const char* sz) {
    std::uint64_t k = 0;
    std::size_t cch = 0;
    for (; sz[cch] != '\0' && cch < 9; ++cch)
        if (cch < 8) k |= std::uint64_t{static_cast<unsigned char>(sz[cch])} << (8 * cch);
    return cch == 0 || cch > 8 ? 0 : k;
}

// The keywords that styled text repeats most. They enter the index first, so
// that a keyword added to the table later cannot push one of them off the
// slot where a lookup looks first.
constexpr const char* rgszFrequentWord[] = {"b",      "i",    "ul",    "ulnone", "f",      "fs",    "cf",
                                            "par",    "line", "plain", "u",      "super",  "sub",   "nosupersub",
                                            "strike", "cell", "row",   "lquote", "rquote", "bullet"};

// Enters row `isym` into the index unless its keyword is there already.
constexpr void indexWord(WordIndex& index, std::int32_t isym) {
    const std::uint64_t k = wordKey(rgsymRtf[isym].szKeyword);
    if (k == 0) return;
    WordSlot* const slot = index.slot;
    std::size_t s = wordSlotOf(k);
    for (; slot[s].key != 0; s = (s + 1) & (cWordSlot - 1))
        if (slot[s].key == k) return;
    slot[s].key = k;
    slot[s].isym = static_cast<std::int16_t>(isym);
    describeStore(slot[s], isym);
}

// Builds the exact index of the keywords of 1 to 8 bytes by their bytes as
// one number: open addressing over a multiplicative hash.
constexpr WordIndex wordIndex() {
    WordIndex index;
    for (const char* sz : rgszFrequentWord)
        for (std::int32_t i = 0; i < isymMax; ++i)
            if (wordKey(rgsymRtf[i].szKeyword) == wordKey(sz)) indexWord(index, i);
    for (std::int32_t i = 0; i < isymMax; ++i) indexWord(index, i);
    return index;
}

}  // namespace

constexpr WordIndex kWordIndex = wordIndex();

namespace {

constexpr bool fFrequentWordsFirstProbe() {
    for (const char* sz : rgszFrequentWord) {
        const std::uint64_t k = wordKey(sz);
        if (kWordIndex.slot[wordSlotOf(k)].key != k) return false;
    }
    return true;
}
static_assert(fFrequentWordsFirstProbe(), "two frequent keywords share a slot: the index needs another hash or size");

}  // namespace

std::int32_t isymLookupWord(std::uint64_t key) {
    const WordSlot* slot = pWordSlot(key);
    return slot != nullptr ? slot->isym : -1;
}

std::int32_t isymLookup(const char* sz, std::size_t cch) {
    if (cch == 0 || cch >= cchKeywordPadded) return -1;
    char padded[cchKeywordPadded] = {};
    std::uint32_t hash = keywordHashStart;
    for (std::size_t i = 0; i < cch; ++i) {
        padded[i] = sz[i];
        hash = keywordHashStep(hash, static_cast<unsigned char>(sz[i]));
    }
    return isymLookupPadded(padded, cch, hash);
}
