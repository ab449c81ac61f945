// The control-word scanner's general form, for words of any length.
#include <climits>
#include <cstddef>
#include <cstdint>

#include "rtf/RTF_scan.h"

namespace rtf {

namespace {
inline bool fAsciiLetter(unsigned char c) { return static_cast<unsigned char>((c | 0x20) - 'a') < 26; }
inline bool fAsciiDigit(unsigned char c) { return static_cast<unsigned char>(c - '0') < 10; }
}  // namespace

std::int32_t Reader::ecControlSymbol(char ch, const char* pBackslash) {
    // "\*" marks an optional destination only right after its "{"; elsewhere
    // it is a symbol that does nothing.
    if (ch == '*' && !fAtGroupStart(pBackslash)) return ecTranslateSymbol(-1, 0, false);
    const char padded[cchKeywordPadded] = {ch};
    return ecTranslateSymbol(isymLookupPadded(padded, 1, 0), 0, false);
}

std::int32_t Reader::ecParseRtfKeyword(const char*& pRTF, const char* pEnd) {
    const Scanned word = scanKeyword(pRTF, pEnd);
    pRTF = word.p;
    return word.ec != ecNoError ? ecFinishKeyword(word.ec, word.p, pEnd) : ecNoError;
}

std::int32_t Reader::ecFinishKeyword(std::int32_t ec, const char* pAfter, const char* pEnd) {
    if (!fNoteMarkPending) return ec;
    fNoteMarkPending = false;
    return ecNoteMark(pAfter, pEnd);
}

Scanned Reader::scanKeyword(const char* p, const char* pEnd) {
    if (p == pEnd || *p == '\0') return Scanned{p, ecInputEndsInKeyword};
    const unsigned char first = static_cast<unsigned char>(*p++);

    if (!fAsciiLetter(first)) {
        // A control symbol: nothing after it is consumed, not even a space.
        return Scanned{p, ecControlSymbol(static_cast<char>(first), p - 2)};
    }

    // A word longer than the buffer is read to its end and kept truncated; it
    // then matches no row of the table, whose keywords are all far shorter.
    static_assert(cchKeywordMax >= cchKeywordPadded, "the lookup reads a padded keyword from the buffer");
    char szKeyword[cchKeywordMax] = {};
    std::size_t cch = 0;
    bool fTooLong = false;
    std::uint32_t hash = keywordHashStep(keywordHashStart, first);
    szKeyword[cch++] = static_cast<char>(first);
    for (; p < pEnd && fAsciiLetter(static_cast<unsigned char>(*p)); ++p) {
        if (cch < cchKeywordMax - 1) {
            szKeyword[cch++] = *p;
            hash = keywordHashStep(hash, static_cast<unsigned char>(*p));
        } else {
            fTooLong = true;
        }
    }

    bool fNeg = false;
    if (p < pEnd && *p == '-') {
        fNeg = true;
        ++p;
        if (p == pEnd || *p == '\0') return Scanned{p, ecInputEndsInKeyword};
    }

    bool fParam = false;
    std::int32_t param = 0;
    if (p < pEnd && fAsciiDigit(static_cast<unsigned char>(*p))) {
        fParam = true;
        // Numbers of any length are read to their end; a value outside the
        // int32 range saturates at the nearest limit.
        constexpr std::int64_t magnitudeMax = std::int64_t{INT32_MAX} + 1;
        std::int64_t magnitude = 0;
        for (; p < pEnd && fAsciiDigit(static_cast<unsigned char>(*p)); ++p) {
            magnitude = magnitude * 10 + (*p - '0');
            if (magnitude > magnitudeMax) magnitude = magnitudeMax;
        }
        if (fNeg)
            param = static_cast<std::int32_t>(-magnitude);
        else
            param = static_cast<std::int32_t>(magnitude < magnitudeMax ? magnitude : INT32_MAX);
        lParam = param;
    }

    // A space delimiter belongs to the control word; any other byte is text.
    if (p < pEnd && *p == ' ') ++p;

    return Scanned{p, ecTranslateSymbol(fTooLong ? -1 : isymLookupPadded(szKeyword, cch, hash), param, fParam)};
}

}  // namespace rtf
