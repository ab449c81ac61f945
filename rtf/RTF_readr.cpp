// The scanner, the group stack and the routing of characters to the callback.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "rtf/RTF.h"
#include "rtf/RTF_state.h"

RtfCharCallback callback = nullptr;
void* userData = nullptr;
std::int32_t groupDepth = 0;
save* psave = nullptr;
RDS rds = rdsNorm;
RIS ris = risNorm;
char_prop chp = {};
para_prop pap = {};
sect_prop sep = {};
doc_prop dop = {};
std::int32_t cbBin = 0;
std::int32_t lParam = 0;
bool fSkipDestIfUnk = false;

namespace {

void* (*allocateSave)(std::size_t) = std::malloc;
void (*deallocateSave)(void*) = std::free;

// Records popped in this parse, kept for the next "{" so that a document
// allocates only as many records as its deepest nesting needs.
save* psaveFree = nullptr;

void releaseList(save*& head) {
    while (head != nullptr) {
        save* next = head->pNext;
        deallocateSave(head);
        head = next;
    }
}

// Releases every group record when a parse ends, however it ends.
struct StackRelease {
    StackRelease() = default;
    StackRelease(const StackRelease&) = delete;
    StackRelease& operator=(const StackRelease&) = delete;
    ~StackRelease() {
        releaseList(psave);
        releaseList(psaveFree);
        groupDepth = 0;
    }
};

// Puts every variable a parse reads back to zero, so that nothing a stopped
// parse left (properties, a pending "\*", a binary count, open groups) reaches
// the next one.
void resetState(RtfCharCallback cb, void* data) {
    releaseList(psave);
    releaseList(psaveFree);
    callback = cb;
    userData = data;
    groupDepth = 0;
    rds = rdsNorm;
    ris = risNorm;
    chp = char_prop{};
    pap = para_prop{};
    sep = sect_prop{};
    dop = doc_prop{};
    cbBin = 0;
    lParam = 0;
    fSkipDestIfUnk = false;
    std::memset(colTab, 0, sizeof colTab);
    colTabCount = 0;
}

// Bytes that end a run of ordinary text: NUL, CR, LF, "{", "}" and "\".
struct TextStops {
    bool stop[256] = {};
    constexpr TextStops() {
        stop[0] = true;
        stop[static_cast<unsigned char>('\r')] = true;
        stop[static_cast<unsigned char>('\n')] = true;
        stop[static_cast<unsigned char>('{')] = true;
        stop[static_cast<unsigned char>('}')] = true;
        stop[static_cast<unsigned char>('\\')] = true;
    }
};
constexpr TextStops kTextStops;

inline bool isAsciiLetter(unsigned char c) { return static_cast<unsigned char>((c | 0x20) - 'a') < 26; }
inline bool isAsciiDigit(unsigned char c) { return static_cast<unsigned char>(c - '0') < 10; }

// Answers the value of a hexadecimal digit, or -1.
inline int hexDigitValue(unsigned char c) {
    if (isAsciiDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

void rtfSetMemoryFunctions(void* (*allocate)(std::size_t), void (*deallocate)(void*)) {
    if (allocate == nullptr || deallocate == nullptr) {
        allocateSave = std::malloc;
        deallocateSave = std::free;
    } else {
        allocateSave = allocate;
        deallocateSave = deallocate;
    }
}

std::int32_t ecRtfParse(const char* pRTF, RtfCharCallback cb, void* data) {
    return ecRtfParse(pRTF, pRTF != nullptr ? std::strlen(pRTF) : 0, cb, data);
}

std::int32_t ecRtfParse(const char* pRTF, std::size_t cchRTF, RtfCharCallback cb, void* data) {
    resetState(cb, data);
    StackRelease release;
    if (pRTF == nullptr) return ecNoError;

    const char* p = pRTF;
    const char* const pEnd = pRTF + cchRTF;
    // The hexadecimal accumulator belongs to the parse, not to a group: braces
    // and control words between the two digits of an escape keep their meaning.
    std::int32_t b = 0;
    int cNibble = 2;
    std::int32_t ec;

    // groupDepth counts the records on the stack, which a "}" never pops below
    // zero, so it cannot turn negative between bytes.
    while (p < pEnd) {
        unsigned char uc = static_cast<unsigned char>(*p);

        // Ordinary text, the bulk of most documents, runs to the next byte
        // that means something else. The callback cannot change the reader's
        // state, so the destination holds for the whole run.
        if (ris == risNorm && !kTextStops.stop[uc]) {
            if (rds == rdsNorm) {
                for (;;) {
                    ++p;
                    // Bytes of the text arrive sign-extended, whatever the signedness of char.
                    ec = ecPrintChar(static_cast<std::int32_t>(static_cast<signed char>(uc)));
                    if (ec != ecNoError) return ec;
                    if (p == pEnd) break;
                    uc = static_cast<unsigned char>(*p);
                    if (kTextStops.stop[uc]) break;
                }
            } else {
                do ++p;
                while (p < pEnd && !kTextStops.stop[static_cast<unsigned char>(*p)]);
            }
            continue;
        }

        ++p;
        if (uc == 0) break;
        const std::int32_t ch = static_cast<std::int32_t>(static_cast<signed char>(uc));
        if (ris == risBin) {
            if ((ec = ecParseChar(ch)) != ecNoError) return ec;
            continue;
        }
        if (ris == risColTab && uc == ';') {
            ecEndColourTrio();
            continue;
        }
        switch (uc) {
            case '{':
                if ((ec = ecPushRtfState()) != ecNoError) return ec;
                break;
            case '}':
                if (ris == risColTab) ris = risNorm;
                if ((ec = ecPopRtfState()) != ecNoError) return ec;
                break;
            case '\\': {
                // A complete hexadecimal escape in ordinary text, the common case,
                // is read at once with the result the byte-by-byte route would give.
                if (ris == risNorm && cNibble == 2 && pEnd - p >= 3 && p[0] == '\'') {
                    const int high = hexDigitValue(static_cast<unsigned char>(p[1]));
                    const int low = hexDigitValue(static_cast<unsigned char>(p[2]));
                    if (high >= 0 && low >= 0) {
                        p += 3;
                        fSkipDestIfUnk = false;
                        if (rds == rdsNorm && (ec = ecPrintChar(high * 16 + low)) != ecNoError) return ec;
                        break;
                    }
                }
                // Scanned through a copy, so that the cursor itself can stay in a register.
                const char* pKeyword = p;
                ec = ecParseRtfKeyword(pKeyword, pEnd);
                p = pKeyword;
                if (ec != ecNoError) return ec;
                break;
            }
            case '\n':
            case '\r':
                break;
            default:
                if (ris == risNorm) {
                    if ((ec = ecParseChar(ch)) != ecNoError) return ec;
                } else if (ris == risHex) {
                    const int digit = hexDigitValue(uc);
                    if (digit < 0) return ecBadHexDigit;
                    b = (b << 4) + digit;
                    if (--cNibble == 0) {
                        if ((ec = ecParseChar(b)) != ecNoError) return ec;
                        cNibble = 2;
                        b = 0;
                        ris = risNorm;
                    }
                } else {
                    return ecBadInputState;
                }
                break;
        }
    }
    if (groupDepth < 0) return ecGroupUnderflow;
    if (groupDepth > 0) return ecOpenGroupAtEnd;
    return ecNoError;
}

std::int32_t ecPushRtfState() {
    save* psaveNew = psaveFree;
    if (psaveNew != nullptr) {
        psaveFree = psaveNew->pNext;
    } else {
        void* memory = allocateSave(sizeof(save));
        if (memory == nullptr) return ecGroupAllocFailed;
        psaveNew = new (memory) save;
    }
    psaveNew->pNext = psave;
    psaveNew->chp = chp;
    psaveNew->pap = pap;
    psaveNew->sep = sep;
    psaveNew->dop = dop;
    psaveNew->rds = rds;
    psaveNew->ris = ris;
    ris = risNorm;  // a group always starts reading ordinary text
    psave = psaveNew;
    ++groupDepth;
    return ecNoError;
}

std::int32_t ecPopRtfState() {
    if (psave == nullptr) return ecGroupUnderflow;
    if (rds != psave->rds) {
        const std::int32_t ec = ecEndGroupAction(rds);
        if (ec != ecNoError) return ec;
    }
    save* psaveOld = psave;
    chp = psaveOld->chp;
    pap = psaveOld->pap;
    sep = psaveOld->sep;
    dop = psaveOld->dop;
    rds = psaveOld->rds;
    ris = psaveOld->ris;
    psave = psaveOld->pNext;
    --groupDepth;
    psaveOld->pNext = psaveFree;
    psaveFree = psaveOld;
    return ecNoError;
}

std::int32_t ecParseRtfKeyword(const char*& pRTF, const char* pEnd) {
    const char* p = pRTF;
    if (p == pEnd || *p == '\0') return ecInputEndsInKeyword;
    const unsigned char first = static_cast<unsigned char>(*p++);

    if (!isAsciiLetter(first)) {
        // A control symbol: nothing after it is consumed, not even a space.
        pRTF = p;
        const char symbol[cchKeywordPadded] = {static_cast<char>(first)};
        return ecTranslateSymbol(isymLookupPadded(symbol, 1, 0), 0, false);
    }

    // A word longer than the buffer is read to its end and kept truncated; it
    // then matches no row of the table, whose keywords are all far shorter.
    static_assert(cchKeywordMax >= cchKeywordPadded, "the lookup reads a padded keyword from the buffer");
    char szKeyword[cchKeywordMax] = {};
    std::size_t cch = 0;
    bool fTooLong = false;
    std::uint32_t hash = keywordHashStep(keywordHashStart, first);
    szKeyword[cch++] = static_cast<char>(first);
    for (; p < pEnd && isAsciiLetter(static_cast<unsigned char>(*p)); ++p) {
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
        if (p == pEnd || *p == '\0') {
            pRTF = p;
            return ecInputEndsInKeyword;
        }
    }

    bool fParam = false;
    std::int32_t param = 0;
    if (p < pEnd && isAsciiDigit(static_cast<unsigned char>(*p))) {
        fParam = true;
        // Numbers of any length are read to their end; a value outside the
        // int32 range saturates at the nearest limit.
        constexpr std::int64_t magnitudeMax = std::int64_t{INT32_MAX} + 1;
        std::int64_t magnitude = 0;
        for (; p < pEnd && isAsciiDigit(static_cast<unsigned char>(*p)); ++p) {
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
    pRTF = p;

    return ecTranslateSymbol(fTooLong ? -1 : isymLookupPadded(szKeyword, cch, hash), param, fParam);
}
