// The reader object: the whole state of one parse, and the routines that act
// on it. Its methods are spread over the files of rtf/ by what they do: the
// main loop and group stack (RTF_readr.cpp), the control-word scanner
// (RTF_scan.h, RTF_scan.cpp), the keyword actions and the colour table
// (RTF_actn.cpp), the delivery of text with the font table (RTF_text.cpp),
// note marks (RTF_notes.cpp) and field instructions (RTF_field.cpp).
// Users of the reader include RTF.h only; tests use this header to drive a
// reader's routines and to look at the state a parse leaves behind.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "codepage/code_page.h"
#include "codepage/transcoder.h"
#include "rtf/RTF.h"
#include "rtf/RTF_table.h"

namespace rtf {

// One entry of the group stack: the state saved at a "{".
struct save {
    save* psaveNext;  // the entry below, null at the bottom
    char_prop chp;
    para_prop pap;
    sect_prop sep;
    doc_prop dop;
    RDS rds;
    RIS ris;
    std::uint8_t fFontNamed;
    std::int32_t cbUnicodeFallback;
};

// Capacity of the colour table: colour numbers 0 to 99.
constexpr std::int16_t cColourMax = 100;
// Capacity of the control-word buffer: 29 letters and a NUL.
constexpr std::size_t cchKeywordMax = 30;
// Fonts whose bytes pass to the callback unchanged, by font number modulo
// this size; an entry holds the number or iFontNone. Documents switch among a
// few fonts of one code page, so each is looked up once.
constexpr std::size_t cFontPassThrough = 64;
constexpr std::int64_t iFontNone = INT64_MIN;

// Where a scan stopped and what it answered.
struct Scanned {
    const char* p;
    std::int32_t ec;
};

// What the action of "\chftn" answers, so that the scanner, which alone
// knows where the control word ends, takes the cold route of a failed
// keyword to ecFinishKeyword. A parse never ends with it: fNoteMarkPending
// tells it apart from a callback's own result of the same value, which
// passes unchanged.
constexpr std::int32_t ecNoteMarkPending = -1;

// One font of the font table; 0 for what it does not say.
struct Font {
    std::int32_t charset = -1;
    codepage::CodePage cp = 0;
    bool fSymbolName = false;      // its name begins "Symbol"
    bool fWingdingsName = false;   // its name is "Wingdings", known at the ";" that ends it
    bool fSymbolPrefix = true;     // the name so far agrees with "Symbol"
    bool fWingdingsPrefix = true;  // the name so far agrees with "Wingdings"
    std::uint8_t cchName = 0;      // name bytes seen, up to 255
};

class Reader {
  public:
    // A reader that delivers characters to `cb` or, when `textCb` is given,
    // runs of text to `textCb`, with `data` as the callback's user data. The
    // group stack's records come from the functions that
    // rtfSetMemoryFunctions chose for this thread.
    Reader(RtfCharCallback cb, RtfTextCallback textCb, void* data);
    ~Reader();
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // Parses at most `cbRTF` bytes from `pRTF`, as ecRtfParse and
    // ecRtfParseText describe, from zero state; the state it ends in stays
    // here to be looked at.
    std::int32_t ecParse(const char* pRTF, std::size_t cbRTF);

    // Puts every field a parse reads back to zero, so that nothing a stopped
    // parse left (properties, a pending "\*", a binary count, open groups)
    // reaches the next one.
    void reset();

    // --- Group stack (RTF_readr.cpp).
    std::int32_t ecPushRtfState();
    std::int32_t ecPopRtfState();

    // --- Scanner (RTF_scan.h, RTF_scan.cpp).

    // Scans the control word or symbol that starts at `pRTF`, just after its
    // backslash, leaves `pRTF` after its delimiter, and acts on it. Reads no byte
    // at or beyond `pEnd`, which counts as a NUL.
    std::int32_t ecParseRtfKeyword(const char*& pRTF, const char* pEnd);
    // The same, answering where it stopped.
    Scanned scanKeyword(const char* p, const char* pEnd);
    // Does what scanKeyword does in the common cases, a control symbol or a
    // control word of 1 to 7 letters and at most 7 digits, when at least
    // cchKeywordWindow bytes remain from `p`; answers a null position when
    // neither case applies.
    inline Scanned scanShortKeyword(const char* p);
    // Acts on the control symbol `ch` whose backslash is at `pBackslash`.
    std::int32_t ecControlSymbol(char ch, const char* pBackslash);

    // --- Keyword actions and the colour table (RTF_actn.cpp).

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
    // A ";" of the colour table: the entry being built is finished.
    void endColourTrio();

    // --- Text delivery (RTF_text.cpp).

    // Calls the callback with the current state for `cch` bytes of the target
    // code page; `fFromText` bytes reach a character callback sign-extended.
    inline std::int32_t ecEmit(const char* pch, std::size_t cch, bool fFromText);
    // The font whose code page the text is in: the one "\f" named last, or
    // the default font ("\deff") while none has been named since the start or
    // "\plain". The records keep the number "\f" gave, 0 when none, which is
    // also iFontDefault without a "\deff".
    std::int32_t iFontText() const { return fFontNamed ? chp.iFontNumber : iFontDefault; }
    // Whether text of the current font passes to the callback unchanged, with
    // nothing waiting before it: the case of nearly every run of text.
    inline bool fTextPassesThrough() const;
    // Delivers text bytes of the document, in the current font's code page.
    inline std::int32_t ecDeliverText(const char* pch, std::size_t cch);
    std::int32_t ecDeliverTextSlow(const char* pch, std::size_t cch);
    // Delivers the byte of a "\'hh" escape, in the current font's code page.
    inline std::int32_t ecDeliverEscapedByte(unsigned char b);
    std::int32_t ecDeliverEscapedByteSlow(unsigned char b);
    // Delivers a character named by its Unicode code point.
    std::int32_t ecDeliverUnicode(std::uint32_t codePoint);
    // Tells the foreign callback, if any, of the character whose fallback
    // was just delivered.
    std::int32_t ecTellForeign(std::uint32_t codePoint, std::size_t cchFallback);
    // "\u": delivers the UTF-16 unit `val` (negative values count from 65536),
    // pairing surrogates, and starts dropping its fallback.
    std::int32_t ecUnicodeEscape(std::int32_t val);
    // --- Note marks (RTF_notes.cpp).

    // "\chftn": delivers the automatic number of the note that follows it,
    // from `pAfter`, where the control word ends, reading no byte at or
    // beyond `pEnd`.
    std::int32_t ecNoteMark(const char* pAfter, const char* pEnd);
    // Whether the note group that starts at `p` (after blanks) is an endnote:
    // a "\footnote" group whose own level holds "\ftnalt".
    static bool fEndnoteFollows(const char* p, const char* pEnd);
    // Finishes a control word that ends at `pAfter` and whose action
    // answered `ec`, not ecNoError: a "\chftn", whose number depends on what
    // follows the word, answers ecNoteMarkPending for the scanner to call
    // back here. Any other result stands.
    std::int32_t ecFinishKeyword(std::int32_t ec, const char* pAfter, const char* pEnd);
    // --- Field instructions (RTF_field.cpp).

    // "\fldinst": the group's text is kept as the instruction, not shown.
    void beginFieldInstruction();
    // Keeps instruction bytes, as far as there is room for them.
    void keepFieldInstruction(const char* pch, std::size_t cch);
    // The instruction's group ends: a SYMBOL field waits to see whether its
    // field shows a result.
    std::int32_t ecEndFieldInstruction();
    // The group of a SYMBOL field ends: with no result, its character shows.
    std::int32_t ecEndSymbolField();

    // "\cell" and "\row": cells are separated by a tab, rows end a line.
    std::int32_t ecEndCell();
    std::int32_t ecEndRow();
    // Font table entries and the document's code page.
    void defineFont(std::int32_t iFont);
    void setFontCharset(std::int32_t charset);
    void setFontCodePage(std::int32_t cp);
    void setDefaultFont(std::int32_t iFont);
    void setDocumentCodePage(std::int32_t cp, bool fExplicit);
    // Takes a byte of a font name in the font table.
    void fontNameByte(unsigned char b);
    // Whether the "\*" whose backslash is at `pBackslash` follows its "{".
    bool fAtGroupStart(const char* pBackslash) const;
    // Routes a byte of binary data or of a hexadecimal escape: counts down
    // binary data, drops the byte in a skipped destination, delivers it
    // otherwise, in the current font's code page.
    inline std::int32_t ecParseChar(std::int32_t ch);
    // Calls the callback with the current state, as a character of the text would.
    inline std::int32_t ecPrintChar(std::int32_t ch);

    // --- The parse's state.

    RtfCharCallback callback = nullptr;      // null while a parse delivers runs of text
    RtfTextCallback textCallback = nullptr;  // null while a parse delivers characters
    void* userData = nullptr;
    RtfForeignCallback foreignCallback = nullptr;  // null: characters the target lacks go untold

    std::int32_t groupDepth = 0;  // groups opened and not yet closed in this parse
    save* psave = nullptr;        // top of the group stack, null when empty
    RDS rds = rdsNorm;
    RIS ris = risNorm;
    // Not 0 once "\f" has named a font since the start or "\plain", kept per
    // group; in the padding before chp, beside the other per-group bytes, as
    // in a save record. A byte, so that the word-at-a-time path can set it
    // with the bit of its WordOp.
    std::uint8_t fFontNamed = 0;
    char_prop chp = {};
    para_prop pap = {};
    sect_prop sep = {};
    doc_prop dop = {};
    std::int32_t cbBin = 0;       // bytes of binary data still to come while ris is risBin
    std::int32_t lParam = 0;      // parameter of the latest control word that had one
    bool fSkipDestIfUnk = false;  // "\*" seen: an unknown next keyword skips its group
    std::int32_t rgColour[cColourMax] = {};
    std::int16_t cColour = 0;  // finished entries; rgColour[cColour] is being built

    std::int32_t cbUnicodeFallback = 1;  // "\uc": units of fallback after each "\u", kept per group
    std::int32_t cUnicodeSkip = 0;       // fallback units still to drop; a brace ends the dropping
    const char* pGroupStart = nullptr;   // the byte after the latest "{", where "\*" may stand
    // Zero while nothing waits to be delivered before the next text or dropped
    // among it: a fallback, a cell's tab, half of a character.
    std::uint32_t grfTextSlowPath = 0;
    std::int64_t rgiFontPassThrough[cFontPassThrough] = {};

  private:
    template <bool kSpans>
    std::int32_t ecParseBytes(const char* pRTF, const char* pEnd);
    template <bool kSpans>
    inline std::int32_t ecDeliverRun(const char* pch, std::size_t cch);
    void releaseList(save*& psaveHead);

    // Text delivery's own steps (RTF_text.cpp).
    void beginText();
    void updateSlowPath();
    void fontsChanged();
    const Font* pFontFind(std::int32_t iFont) const;
    // Font `iFont`, or the default font when the table lacks it, or null.
    const Font* pFontOrDefault(std::int32_t iFont) const;
    // Whether bytes of font `iFont` reach the callback unchanged.
    bool fFontPassesThrough(std::int32_t iFont) const;
    // The character that the Symbol or Wingdings font of the text shows for
    // the private-use `codePoint` (U+F020 to U+F0FF) by which Word names its
    // glyphs, or `codePoint`.
    std::uint32_t codePointOfFontGlyph(std::uint32_t codePoint) const;
    std::int32_t ecConvertWingdings(const char* pch, std::size_t cch, bool fFromText);
    inline std::int32_t ecTranscode(const char* pch, std::size_t cch, bool fFromText);
    codepage::CodePage cpDocument() const;
    codepage::CodePage cpSource(const Font* font) const;
    void selectFont();
    inline std::int32_t ecFollowFont();
    std::int32_t ecFlushPending();
    std::int32_t ecConvert(const char* pch, std::size_t cch, bool fFromText);
    std::int32_t ecFlushLead();
    std::size_t cchDropFallback(std::size_t cch);

    // Records popped in this parse, kept for the next "{" so that a document
    // allocates only as many records as its deepest nesting needs.
    save* psaveFree = nullptr;
    void* (*pfnAllocate)(std::size_t);
    void (*pfnRelease)(void*);
    // The four records by PROPTYPE, for the word-at-a-time property writes.
    unsigned char* const rgpbRecord[4];

    // Fonts are few in real documents; a hostile one cannot grow the table
    // past cFontMax, and lookups stay constant-time through the index.
    static constexpr std::size_t cFontMax = 4096;
    static constexpr std::int32_t iFontNotDefining = -1;
    std::vector<Font> rgfont;
    std::unordered_map<std::int32_t, std::uint32_t> ifontByNumber;  // font number -> entry of `rgfont`
    std::int32_t ifontDefining = iFontNotDefining;                  // the entry the font table is describing
    std::int32_t iFontDefault = 0;                                  // "\deff", 0 without one
    bool fFontDefault = false;
    codepage::CodePage cpAnsi = 0;          // "\ansicpg", when it names a code page we know
    codepage::CodePage cpCharacterSet = 0;  // "\ansi", "\mac", "\pc", "\pca"
    codepage::Transcoder transcoder;
    std::int64_t iFontTranscoder = iFontNone;  // the font the transcoder is set up for
    bool fWingdingsTranscoder = false;         // that font is Wingdings, whose bullets need a look each
    std::uint32_t highSurrogate = 0;           // a "\u" high surrogate waiting for its low one
    bool fCellPending = false;                 // a "\cell" tab waits for the next character

    // Note marks ("\chftn"), rare enough to be kept apart from the members
    // the main loop reads.
    bool fNoteMarkPending = false;  // a "\chftn" waits for the scanner to tell where it ends
    std::int32_t cFootnote = 0;     // footnote marks numbered so far
    std::int32_t cEndnote = 0;      // endnote marks numbered so far
    NFC nfcFootnote = nfcArabic;
    NFC nfcEndnote = nfcLowerRoman;

    // The instruction of the field being read, its first bytes only: what a
    // SYMBOL field says fits well within them.
    static constexpr std::size_t cchFieldInstMax = 160;
    char rgchFieldInst[cchFieldInstMax] = {};
    std::size_t cchFieldInst = 0;
    // The SYMBOL field whose result is being read: its group's depth (-1 when
    // none), the character it shows without a result, and whether text came.
    std::int32_t depthSymbolField = -1;
    std::uint32_t codePointSymbolField = 0;
    bool fSymbolFieldResult = false;
};

inline std::int32_t Reader::ecEmit(const char* pch, std::size_t cch, bool fFromText) {
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

// The record's font number stands for the text's font here: selectFont()
// lets number 0 pass only when the default font, which text that names no
// font is in, passes as well.
inline bool Reader::fTextPassesThrough() const {
    return (grfTextSlowPath | static_cast<std::uint32_t>(rds) | static_cast<std::uint32_t>(chp.fHidden)) == 0 &&
           rgiFontPassThrough[static_cast<std::uint32_t>(chp.iFontNumber) % cFontPassThrough] == chp.iFontNumber;
}

inline std::int32_t Reader::ecDeliverText(const char* pch, std::size_t cch) {
    if (fTextPassesThrough()) {
        if (textCallback != nullptr) return textCallback(pch, cch, userData, dop, sep, pap, chp);
        return ecEmit(pch, cch, true);
    }
    return ecDeliverTextSlow(pch, cch);
}

inline std::int32_t Reader::ecDeliverEscapedByte(unsigned char b) {
    if (fTextPassesThrough()) {
        if (textCallback != nullptr) {
            const char byte = static_cast<char>(b);
            return textCallback(&byte, 1, userData, dop, sep, pap, chp);
        }
        return callback(b, userData, dop, sep, pap, chp);
    }
    return ecDeliverEscapedByteSlow(b);
}

inline std::int32_t Reader::ecParseChar(std::int32_t ch) {
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

inline std::int32_t Reader::ecPrintChar(std::int32_t ch) {
    const char byte = static_cast<char>(ch);
    return ecEmit(&byte, 1, ch < 0);
}

}  // namespace rtf
