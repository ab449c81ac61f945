// Field instructions. A field shows its result, which the reader delivers as
// text; its instruction is not shown. A SYMBOL field saved without a result
// (Word can write one so) shows the character its instruction names, in the
// font the instruction names: the reader keeps the instruction's first bytes
// to find that character.
#include <cstring>

#include "rtf/RTF_reader.h"

namespace rtf {

namespace {

enum class SymbolFont : std::uint8_t { text, symbol, wingdings };
enum class SymbolCode : std::uint8_t { ansi, unicode, shiftJis };

struct SymbolInstruction {
    std::uint32_t code = 0;
    SymbolCode kind = SymbolCode::ansi;
    SymbolFont font = SymbolFont::text;
};

bool fBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

bool fSameWord(const char* p, const char* pEnd, const char* sz) {
    const std::size_t cch = std::strlen(sz);
    if (static_cast<std::size_t>(pEnd - p) != cch) return false;
    for (std::size_t i = 0; i < cch; ++i)
        if (lower(p[i]) != lower(sz[i])) return false;
    return true;
}

// Reads a decimal or "0x" hexadecimal number at `p`; false when there is
// none or it is beyond Unicode.
bool fReadNumber(const char*& p, const char* pEnd, std::uint32_t& value) {
    unsigned base = 10;
    if (pEnd - p > 2 && p[0] == '0' && lower(p[1]) == 'x') {
        base = 16;
        p += 2;
    }
    const char* const pStart = p;
    value = 0;
    for (; p < pEnd; ++p) {
        const char c = lower(*p);
        unsigned digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else
            break;
        value = value * base + digit;
        if (value > 0x10FFFF) return false;
    }
    return p > pStart;
}

// Reads "SYMBOL number [switches]": "\f" names the font (quoted or not),
// "\u" and "\j" say the number is Unicode or Shift-JIS rather than ANSI, and
// the size and spacing switches change nothing in the text.
bool fParseSymbolInstruction(const char* p, const char* pEnd, SymbolInstruction& out) {
    while (p < pEnd && fBlank(*p)) ++p;
    const char* word = p;
    while (p < pEnd && !fBlank(*p)) ++p;
    if (!fSameWord(word, p, "SYMBOL")) return false;
    while (p < pEnd && fBlank(*p)) ++p;
    if (!fReadNumber(p, pEnd, out.code)) return false;
    while (p < pEnd) {
        if (*p != '\\' || pEnd - p < 2) {
            ++p;
            continue;
        }
        const char sw = lower(p[1]);
        p += 2;
        if (sw == 'u') {
            out.kind = SymbolCode::unicode;
        } else if (sw == 'j') {
            out.kind = SymbolCode::shiftJis;
        } else if (sw == 'f') {
            while (p < pEnd && fBlank(*p)) ++p;
            const bool fQuoted = p < pEnd && *p == '"';
            if (fQuoted) ++p;
            const char* name = p;
            while (p < pEnd && (fQuoted ? *p != '"' : !fBlank(*p) && *p != '\\')) ++p;
            if (fSameWord(name, p, "Symbol"))
                out.font = SymbolFont::symbol;
            else if (fSameWord(name, p, "Wingdings"))
                out.font = SymbolFont::wingdings;
            else
                out.font = SymbolFont::text;
            if (fQuoted && p < pEnd) ++p;
        }
    }
    return true;
}

// The character a symbol font shows for the glyph `code` names, by its byte
// or by the private-use code Word gives the glyph; 0 when `code` is neither.
std::uint32_t codePointOfGlyph(std::uint32_t code, SymbolFont font) {
    std::uint32_t byte = code;
    if (code >= 0xF020 && code <= 0xF0FF) byte = code - 0xF000;
    if (byte > 0xFF) return 0;
    const std::uint32_t shown = font == SymbolFont::symbol
                                    ? codepage::symbolFontCharacter(static_cast<unsigned char>(byte))
                                    : codepage::wingdingsBulletCharacter(static_cast<unsigned char>(byte));
    // A glyph with no Unicode character keeps the private-use code it has
    // in Word, where the same font shows it again.
    return shown != 0 ? shown : 0xF000 | byte;
}

// The bytes of a one- or two-byte character code, high byte first.
std::uint32_t decodeCharacterCode(codepage::CodePage cp, std::uint32_t code) {
    if (code > 0xFFFF) return 0;
    const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    return code > 0xFF ? codepage::decode(cp, bytes, 2) : codepage::decode(cp, bytes + 1, 1);
}

}  // namespace

void Reader::beginFieldInstruction() {
    rds = rdsFieldInst;
    cchFieldInst = 0;
}

void Reader::keepFieldInstruction(const char* pch, std::size_t cch) {
    const std::size_t cchRoom = cchFieldInstMax - cchFieldInst;
    if (cch > cchRoom) cch = cchRoom;
    std::memcpy(rgchFieldInst + cchFieldInst, pch, cch);
    cchFieldInst += cch;
}

std::int32_t Reader::ecEndFieldInstruction() {
    SymbolInstruction symbol;
    if (!fParseSymbolInstruction(rgchFieldInst, rgchFieldInst + cchFieldInst, symbol)) return ecNoError;
    std::uint32_t codePoint = 0;
    if (symbol.font != SymbolFont::text) codePoint = codePointOfGlyph(symbol.code, symbol.font);
    if (codePoint == 0 && symbol.kind == SymbolCode::shiftJis)
        codePoint = decodeCharacterCode(932, symbol.code);
    else if (codePoint == 0 && symbol.kind == SymbolCode::ansi)
        codePoint = decodeCharacterCode(cpSource(pFontOrDefault(iFontText())), symbol.code);
    if (codePoint == 0 && symbol.kind != SymbolCode::shiftJis) codePoint = symbol.code;
    if (codePoint == 0 || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return ecNoError;
    // The instruction's group is closing; the field's own group holds it. A
    // SYMBOL field inside another's result replaces it: that one has a result.
    depthSymbolField = groupDepth - 1;
    codePointSymbolField = codePoint;
    fSymbolFieldResult = false;
    updateSlowPath();  // text of the result must be seen to be counted
    return ecNoError;
}

std::int32_t Reader::ecEndSymbolField() {
    depthSymbolField = -1;
    updateSlowPath();
    if (fSymbolFieldResult) return ecNoError;
    return ecDeliverUnicode(codePointSymbolField);
}

}  // namespace rtf
