// Note marks: "\chftn" shows the automatic number of the note that follows
// it, footnotes and endnotes counted apart, each in the numbering the
// document sets for its kind.
#include <climits>
#include <cstdint>
#include <cstring>

#include "rtf/RTF_reader.h"

namespace rtf {

namespace {

// Numbers past these are written in arabic digits: a hostile document's
// millionth note must not make a mark of a thousand letters.
constexpr std::int32_t nRomanMax = 3999;
constexpr std::int32_t nAlphaMax = 26 * 20;
constexpr std::int32_t nChicagoMax = 4 * 10;
constexpr std::size_t cchNoteNumberMax = 24;

// Writes `n` (at least 1) as a note number in the format `nfc` to `out`, a
// character each; answers how many. Letters go a to z, then aa to zz, and so
// on; the Chicago Manual's symbols go *, †, ‡, §, then **, ††, and so on.
std::size_t cchNoteNumber(std::int32_t n, NFC nfc, std::uint32_t out[cchNoteNumberMax]) {
    std::size_t cch = 0;
    if (nfc == nfcChicago && n <= nChicagoMax) {
        static constexpr std::uint32_t kSymbols[] = {'*', 0x2020, 0x2021, 0xA7};
        for (std::int32_t i = 0; i <= (n - 1) / 4; ++i) out[cch++] = kSymbols[(n - 1) % 4];
        return cch;
    }
    if ((nfc == nfcLowerAlpha || nfc == nfcUpperAlpha) && n <= nAlphaMax) {
        const std::uint32_t letter = static_cast<std::uint32_t>((nfc == nfcLowerAlpha ? 'a' : 'A') + (n - 1) % 26);
        for (std::int32_t i = 0; i <= (n - 1) / 26; ++i) out[cch++] = letter;
        return cch;
    }
    if ((nfc == nfcLowerRoman || nfc == nfcUpperRoman) && n <= nRomanMax) {
        static constexpr struct {
            std::int32_t value;
            const char* sz;
        } kNumerals[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
                         {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
        const char caseBit = nfc == nfcUpperRoman ? 0x20 : 0;
        for (const auto& numeral : kNumerals) {
            for (; n >= numeral.value; n -= numeral.value)
                for (const char* p = numeral.sz; *p != '\0'; ++p) out[cch++] = static_cast<unsigned char>(*p ^ caseBit);
        }
        return cch;
    }
    std::uint32_t digits[cchNoteNumberMax];
    std::size_t cDigits = 0;
    for (; n > 0; n /= 10) digits[cDigits++] = static_cast<std::uint32_t>('0' + n % 10);
    while (cDigits > 0) out[cch++] = digits[--cDigits];
    return cch;
}

}  // namespace

std::int32_t Reader::ecNoteMark(const char* pAfter, const char* pEnd) {
    const bool fEndnote = fEndnoteFollows(pAfter, pEnd);
    std::int32_t& cNote = fEndnote ? cEndnote : cFootnote;
    if (cNote < INT32_MAX) ++cNote;
    std::uint32_t number[cchNoteNumberMax];
    const std::size_t cch = cchNoteNumber(cNote, fEndnote ? nfcEndnote : nfcFootnote, number);
    for (std::size_t i = 0; i < cch; ++i) {
        const std::int32_t ec = ecDeliverUnicode(number[i]);
        if (ec != ecNoError) return ec;
    }
    return ecNoError;
}

bool Reader::fEndnoteFollows(const char* p, const char* pEnd) {
    if (p == nullptr || pEnd == nullptr) return false;
    auto skipBlanks = [pEnd](const char* q) {
        while (q < pEnd && (*q == ' ' || *q == '\r' || *q == '\n')) ++q;
        return q;
    };
    // Reads the control word at `q`, just after its backslash, into `word`; answers where it ends.
    auto readWord = [pEnd](const char* q, const char*& word, std::size_t& cch) {
        word = q;
        while (q < pEnd && static_cast<unsigned char>((*q | 0x20) - 'a') < 26) ++q;
        cch = static_cast<std::size_t>(q - word);
        return q;
    };
    auto fIs = [](const char* word, std::size_t cch, const char* sz) {
        return cch == std::strlen(sz) && std::memcmp(word, sz, cch) == 0;
    };
    p = skipBlanks(p);
    // pandoc and AbiWord put the mark in a group of its own, "{\super\chftn}",
    // before the note: the groups it closes are stepped over.
    while (p < pEnd && *p == '}') p = skipBlanks(p + 1);
    if (p >= pEnd || *p != '{') return false;
    p = skipBlanks(p + 1);
    if (pEnd - p >= 2 && p[0] == '\\' && p[1] == '*') p = skipBlanks(p + 2);
    const char* word = nullptr;
    std::size_t cch = 0;
    if (p >= pEnd || *p != '\\') return false;
    p = readWord(p + 1, word, cch);
    if (!fIs(word, cch, "footnote")) return false;
    // Looks through the note's own level; its inner groups and escaped
    // characters are stepped over. Binary data is not told apart from text:
    // at worst a mark is numbered as the wrong kind of note.
    for (int depth = 1; p < pEnd && *p != '\0';) {
        const char c = *p++;
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0) return false;
        } else if (c == '\\' && p < pEnd) {
            if (static_cast<unsigned char>((*p | 0x20) - 'a') >= 26) {
                ++p;  // a control symbol, such as an escaped brace
                continue;
            }
            p = readWord(p, word, cch);
            if (depth == 1 && fIs(word, cch, "ftnalt")) return true;
        }
    }
    return false;
}

}  // namespace rtf
