// Delivery of the document's text: from the code pages the document is written
// in to the code page CF_TEXT is read in, "\u" escapes and their fallbacks,
// table cells, hidden text, and the font table that says which code page
// each font's bytes are in.
#include <cstdint>
#include <cstring>

#include "codepage/code_page.h"
#include "codepage/transcoder.h"
#include "rtf/RTF.h"
#include "rtf/RTF_reader.h"

namespace rtf {

namespace {

using codepage::CodePage;

bool fKnownCodePage(CodePage cp) { return codepage::isReadable(cp); }

}  // namespace

void Reader::updateSlowPath() {
    grfTextSlowPath = static_cast<std::uint32_t>(cUnicodeSkip > 0) | static_cast<std::uint32_t>(fCellPending) |
                      static_cast<std::uint32_t>(highSurrogate != 0) |
                      static_cast<std::uint32_t>(transcoder.leadPending()) |
                      static_cast<std::uint32_t>(depthSymbolField >= 0);
}

// The font table changed what fonts mean: resolve the current font again.
void Reader::fontsChanged() {
    iFontTranscoder = iFontNone;
    for (std::int64_t& iFont : rgiFontPassThrough) iFont = iFontNone;
}

const Font* Reader::pFontFind(std::int32_t iFont) const {
    auto it = ifontByNumber.find(iFont);
    return it == ifontByNumber.end() ? nullptr : &rgfont[it->second];
}

CodePage Reader::cpDocument() const {
    if (cpAnsi != 0) return cpAnsi;
    if (cpCharacterSet != 0) return cpCharacterSet;
    return codepage::kWindowsLatin1;
}

const Font* Reader::pFontOrDefault(std::int32_t iFont) const {
    const Font* font = pFontFind(iFont);
    if (font == nullptr && fFontDefault) font = pFontFind(iFontDefault);
    return font;
}

// The code page of the bytes of `font`, from pFontOrDefault(): its character
// set's, else its own code page, else the document's.
CodePage Reader::cpSource(const Font* font) const {
    if (font != nullptr) {
        if (font->charset == 2 && font->fSymbolName) return codepage::kSymbolFont;
        const CodePage cp = codepage::charsetCodePage(font->charset);
        if (cp != 0) return cp;
        if (font->cp != 0) return font->cp;
    }
    return cpDocument();
}

bool Reader::fFontPassesThrough(std::int32_t iFont) const {
    const Font* font = pFontOrDefault(iFont);
    return cpSource(font) == transcoder.target() && (font == nullptr || !font->fWingdingsName);
}

// Word names a glyph of a symbol font by U+F000 plus its byte; what the
// reader delivers is the character the glyph shows.
std::uint32_t Reader::codePointOfFontGlyph(std::uint32_t codePoint) const {
    const Font* font = pFontOrDefault(iFontText());
    if (font == nullptr) return codePoint;
    const unsigned char b = static_cast<unsigned char>(codePoint & 0xFF);
    std::uint32_t shown = 0;
    if (font->charset == 2 && font->fSymbolName)
        shown = codepage::symbolFontCharacter(b);
    else if (font->fWingdingsName)
        shown = codepage::wingdingsBulletCharacter(b);
    return shown != 0 ? shown : codePoint;
}

// Sets the transcoder up for the current font, which is not the one it is
// set up for.
void Reader::selectFont() {
    const std::int32_t iFontNow = iFontText();
    const Font* font = pFontOrDefault(iFontNow);
    transcoder.setSource(cpSource(font));
    iFontTranscoder = iFontNow;
    fWingdingsTranscoder = font != nullptr && font->fWingdingsName;
    // fTextPassesThrough() knows the font by the record's number, which is 0
    // both after "\f0" and in text that names no font, whose font is the
    // default one: number 0 passes only when both fonts do.
    const std::int32_t iFontRecord = chp.iFontNumber;
    bool fPasses = transcoder.source() == transcoder.target() && !fWingdingsTranscoder;
    if (fPasses && iFontRecord == 0 && iFontDefault != 0)
        fPasses = fFontPassesThrough(iFontNow == 0 ? iFontDefault : 0);
    if (fPasses) rgiFontPassThrough[static_cast<std::uint32_t>(iFontRecord) % cFontPassThrough] = iFontRecord;
    updateSlowPath();
}

// Delivers what must come before the next character: a pending cell's tab
// and a high surrogate that no low one followed.
std::int32_t Reader::ecFlushPending() {
    if (highSurrogate != 0) {
        highSurrogate = 0;
        updateSlowPath();
        const std::int32_t ec = ecEmit("?", 1, false);
        if (ec != ecNoError) return ec;
    }
    if (fCellPending) {
        fCellPending = false;
        updateSlowPath();
        const std::int32_t ec = ecEmit("\t", 1, false);
        if (ec != ecNoError) return ec;
    }
    return ecNoError;
}

// Converts and delivers bytes in the code page the transcoder is set up for.
inline std::int32_t Reader::ecTranscode(const char* pch, std::size_t cch, bool fFromText) {
    if (transcoder.passesThrough()) return ecEmit(pch, cch, fFromText);
    char buffer[256];
    const char* p = pch;
    const char* const pEnd = pch + cch;
    while (p < pEnd) {
        const std::size_t n = transcoder.convert(p, pEnd, buffer, sizeof buffer);
        if (n > 0) {
            const std::int32_t ec = ecEmit(buffer, n, false);
            if (ec != ecNoError) return ec;
        }
        if (transcoder.lossy() != 0) {
            const std::int32_t ec = ecTellForeign(transcoder.lossy(), transcoder.lossyLength());
            if (ec != ecNoError) return ec;
        }
    }
    updateSlowPath();
    return ecNoError;
}

// Ends a lead byte of the font the transcoder is set up for and sets it up
// for the text's font, when that has changed.
inline std::int32_t Reader::ecFollowFont() {
    if (iFontText() == iFontTranscoder) return ecNoError;
    const std::int32_t ec = ecFlushLead();
    if (ec != ecNoError) return ec;
    selectFont();
    return ecNoError;
}

// Converts and delivers bytes of the current font's code page, which
// ecFollowFont() has set the transcoder up for.
std::int32_t Reader::ecConvert(const char* pch, std::size_t cch, bool fFromText) {
    fSymbolFieldResult = true;
    if (fWingdingsTranscoder) return ecConvertWingdings(pch, cch, fFromText);
    return ecTranscode(pch, cch, fFromText);
}

// Delivers bytes of a Wingdings font: its list bullets as the characters
// they show, every other byte as the font's code page has it.
std::int32_t Reader::ecConvertWingdings(const char* pch, std::size_t cch, bool fFromText) {
    const char* p = pch;
    const char* const pEnd = pch + cch;
    while (p < pEnd) {
        const char* q = p;
        while (q < pEnd && codepage::wingdingsBulletCharacter(static_cast<unsigned char>(*q)) == 0) ++q;
        std::int32_t ec = ecNoError;
        if (q > p && (ec = ecTranscode(p, static_cast<std::size_t>(q - p), fFromText)) != ecNoError) return ec;
        if (q == pEnd) break;
        if ((ec = ecDeliverUnicode(codepage::wingdingsBulletCharacter(static_cast<unsigned char>(*q)))) != ecNoError)
            return ec;
        p = q + 1;
    }
    return ecNoError;
}

// Ends a lead byte that waits in the transcoder, before a character that is
// not its trail byte.
std::int32_t Reader::ecFlushLead() {
    char question[1];
    if (transcoder.flush(question) == 0) return ecNoError;
    updateSlowPath();
    return ecEmit(question, 1, false);
}

// Drops up to `cch` fallback units of a "\u"; answers how many it dropped.
std::size_t Reader::cchDropFallback(std::size_t cch) {
    const std::size_t n = cch < static_cast<std::size_t>(cUnicodeSkip) ? cch : static_cast<std::size_t>(cUnicodeSkip);
    cUnicodeSkip -= static_cast<std::int32_t>(n);
    updateSlowPath();
    return n;
}

void Reader::beginText() {
    rgfont.clear();
    ifontByNumber.clear();
    ifontDefining = iFontNotDefining;
    iFontDefault = 0;
    fFontDefault = false;
    cpAnsi = 0;
    cpCharacterSet = 0;
    const CodePage target = codepage::ansiCodePage();
    if (transcoder.target() != target) transcoder = codepage::Transcoder(target);
    transcoder.reset();
    transcoder.setSource(target);
    fontsChanged();
    highSurrogate = 0;
    fCellPending = false;
    cbUnicodeFallback = 1;
    cUnicodeSkip = 0;
    fFontNamed = 0;
    pGroupStart = nullptr;
    cchFieldInst = 0;
    depthSymbolField = -1;
    fSymbolFieldResult = false;
    updateSlowPath();
}

std::int32_t Reader::ecDeliverTextSlow(const char* pch, std::size_t cch) {
    if (rds == rdsFontTbl) {
        for (std::size_t i = 0; i < cch; ++i) fontNameByte(static_cast<unsigned char>(pch[i]));
        return ecNoError;
    }
    if (rds == rdsFieldInst) {
        keepFieldInstruction(pch, cch);
        return ecNoError;
    }
    if (rds != rdsNorm) return ecNoError;
    updateSlowPath();  // a brace may have ended what was pending
    if (cUnicodeSkip > 0) {
        const std::size_t dropped = cchDropFallback(cch);
        pch += dropped;
        cch -= dropped;
        if (cch == 0) return ecNoError;
    }
    if (chp.fHidden) return ecNoError;
    std::int32_t ec = ecFlushPending();
    if (ec != ecNoError) return ec;
    if ((ec = ecFollowFont()) != ecNoError) return ec;
    return ecConvert(pch, cch, true);
}

std::int32_t Reader::ecDeliverEscapedByteSlow(unsigned char b) {
    if (rds == rdsFontTbl) {
        fontNameByte(b);
        return ecNoError;
    }
    if (rds == rdsFieldInst) {
        const char byte = static_cast<char>(b);
        keepFieldInstruction(&byte, 1);
        return ecNoError;
    }
    if (rds != rdsNorm) return ecNoError;
    updateSlowPath();
    if (cUnicodeSkip > 0) {
        cchDropFallback(1);
        return ecNoError;
    }
    if (chp.fHidden) return ecNoError;
    std::int32_t ec = ecFlushPending();
    if (ec != ecNoError) return ec;
    if ((ec = ecFollowFont()) != ecNoError) return ec;
    const char byte = static_cast<char>(b);
    return ecConvert(&byte, 1, false);
}

std::int32_t Reader::ecDeliverUnicode(std::uint32_t codePoint) {
    if (rds != rdsNorm || chp.fHidden) {
        // A field instruction's switches come as escaped backslashes.
        if (rds == rdsFieldInst && codePoint < 0x80) {
            const char ch = static_cast<char>(codePoint);
            keepFieldInstruction(&ch, 1);
        }
        return ecNoError;
    }
    fSymbolFieldResult = true;
    if (codePoint - 0xF020 <= 0xF0FF - 0xF020) codePoint = codePointOfFontGlyph(codePoint);
    std::int32_t ec = ecFlushLead();
    if (ec != ecNoError) return ec;
    if ((ec = ecFlushPending()) != ecNoError) return ec;
    char bytes[codepage::kMaxCharBytes];
    const std::size_t n = codepage::encode(transcoder.target(), codePoint, bytes);
    if ((ec = ecEmit(bytes, n, false)) != ecNoError) return ec;
    if (foreignCallback == nullptr || codepage::encodesExactly(transcoder.target(), codePoint, bytes, n))
        return ecNoError;
    return ecTellForeign(codePoint, n);
}

std::int32_t Reader::ecTellForeign(std::uint32_t codePoint, std::size_t cchFallback) {
    if (foreignCallback == nullptr) return ecNoError;
    return foreignCallback(codePoint, cchFallback, userData);
}

std::int32_t Reader::ecUnicodeEscape(std::int32_t val) {
    if (rds != rdsNorm) return ecNoError;
    // A signed 16-bit number: negative values stand for 32768 to 65535.
    const std::uint32_t unit = static_cast<std::uint32_t>(val) & 0xFFFFu;
    std::int32_t ec = ecNoError;
    if (unit >= 0xDC00 && unit <= 0xDFFF && highSurrogate != 0) {
        const std::uint32_t codePoint = 0x10000 + ((highSurrogate - 0xD800) << 10) + (unit - 0xDC00);
        highSurrogate = 0;
        updateSlowPath();
        ec = ecDeliverUnicode(codePoint);
    } else if (unit >= 0xD800 && unit <= 0xDBFF) {
        if (!chp.fHidden) {
            if ((ec = ecFlushLead()) != ecNoError || (ec = ecFlushPending()) != ecNoError) return ec;
            highSurrogate = unit;
        }
    } else if (unit != 0) {
        ec = ecDeliverUnicode(unit);
    }
    cUnicodeSkip = cbUnicodeFallback;
    updateSlowPath();
    return ec;
}

std::int32_t Reader::ecEndCell() {
    if (rds != rdsNorm) return ecNoError;
    // The tab is written only when another cell follows in the row.
    std::int32_t ec = ecFlushLead();
    if (ec != ecNoError) return ec;
    if (fCellPending && !chp.fHidden) {
        if ((ec = ecFlushPending()) != ecNoError) return ec;
    }
    fCellPending = true;
    updateSlowPath();
    return ecNoError;
}

std::int32_t Reader::ecEndRow() {
    if (rds != rdsNorm) return ecNoError;
    fCellPending = false;
    updateSlowPath();
    return ecDeliverUnicode('\n');
}

void Reader::defineFont(std::int32_t iFont) {
    fontsChanged();
    auto it = ifontByNumber.find(iFont);
    if (it != ifontByNumber.end()) {
        ifontDefining = static_cast<std::int32_t>(it->second);
        rgfont[it->second] = Font{};
        return;
    }
    if (rgfont.size() >= cFontMax) {
        ifontDefining = iFontNotDefining;
        return;
    }
    rgfont.emplace_back();
    ifontDefining = static_cast<std::int32_t>(rgfont.size() - 1);
    ifontByNumber.emplace(iFont, static_cast<std::uint32_t>(ifontDefining));
}

void Reader::setFontCharset(std::int32_t charset) {
    if (ifontDefining == iFontNotDefining) return;
    rgfont[static_cast<std::size_t>(ifontDefining)].charset = charset;
    fontsChanged();
}

void Reader::setFontCodePage(std::int32_t cp) {
    if (ifontDefining == iFontNotDefining || cp <= 0 || !fKnownCodePage(static_cast<CodePage>(cp))) return;
    rgfont[static_cast<std::size_t>(ifontDefining)].cp = static_cast<CodePage>(cp);
    fontsChanged();
}

void Reader::fontNameByte(unsigned char b) {
    if (ifontDefining == iFontNotDefining) return;
    static constexpr char kSymbol[] = "Symbol";
    static constexpr char kWingdings[] = "Wingdings";
    constexpr std::size_t cchSymbol = sizeof kSymbol - 1;
    constexpr std::size_t cchWingdings = sizeof kWingdings - 1;
    Font& font = rgfont[static_cast<std::size_t>(ifontDefining)];
    if (b == ';') {
        // "Wingdings 2" and "Wingdings 3" draw other shapes at the same bytes.
        font.fWingdingsName = font.fWingdingsPrefix && font.cchName == cchWingdings;
        if (font.fWingdingsName) fontsChanged();
        ifontDefining = iFontNotDefining;  // the entry's name is complete
        return;
    }
    if (font.cchName == 0 && b == ' ') return;
    const std::size_t i = font.cchName;
    if (i < cchWingdings && static_cast<char>(b) != kWingdings[i]) font.fWingdingsPrefix = false;
    if (i < cchSymbol) {
        if (static_cast<char>(b) != kSymbol[i]) font.fSymbolPrefix = false;
        font.fSymbolName = font.fSymbolPrefix && i + 1 == cchSymbol;
        if (font.fSymbolName) fontsChanged();
    }
    if (font.cchName < 255) ++font.cchName;
}

void Reader::setDefaultFont(std::int32_t iFont) {
    iFontDefault = iFont;
    fFontDefault = true;
    fontsChanged();
}

void Reader::setDocumentCodePage(std::int32_t cp, bool fExplicit) {
    if (cp <= 0 || !fKnownCodePage(static_cast<CodePage>(cp))) return;
    if (fExplicit)
        cpAnsi = static_cast<CodePage>(cp);
    else
        cpCharacterSet = static_cast<CodePage>(cp);
    fontsChanged();
}

bool Reader::fAtGroupStart(const char* pBackslash) const {
    if (pGroupStart == nullptr || pBackslash < pGroupStart) return false;
    const char* p = pBackslash;
    while (p > pGroupStart && (p[-1] == '\r' || p[-1] == '\n')) --p;
    return p == pGroupStart;
}

}  // namespace rtf
