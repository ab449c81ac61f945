// The scanner, the group stack and the routing of characters to the callback.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "rtf/RTF.h"
#include "rtf/RTF_state.h"

RtfCharCallback callback = nullptr;
RtfTextCallback textCallback = nullptr;
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
        textCallback = nullptr;  // characters routed by hand go to `callback`
    }
};

// Puts every variable a parse reads back to zero, so that nothing a stopped
// parse left (properties, a pending "\*", a binary count, open groups) reaches
// the next one.
void resetState(RtfCharCallback cb, RtfTextCallback textCb, void* data) {
    releaseList(psave);
    releaseList(psaveFree);
    callback = cb;
    textCallback = textCb;
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

inline bool isAsciiLetter(unsigned char c) { return static_cast<unsigned char>((c | 0x20) - 'a') < 26; }
inline bool isAsciiDigit(unsigned char c) { return static_cast<unsigned char>(c - '0') < 10; }

// The value of every byte as a hexadecimal digit, or -1: a table, because the
// digits of escapes mix decimal digits and letters unpredictably.
struct HexDigits {
    std::int8_t value[256] = {};
    constexpr HexDigits() {
        for (int c = 0; c < 256; ++c) value[c] = -1;
        for (int d = 0; d < 10; ++d) value['0' + d] = static_cast<std::int8_t>(d);
        for (int d = 0; d < 6; ++d) {
            value['a' + d] = static_cast<std::int8_t>(10 + d);
            value['A' + d] = static_cast<std::int8_t>(10 + d);
        }
    }
};
constexpr HexDigits kHexDigits;

// Answers the value of a hexadecimal digit, or -1.
inline int hexDigitValue(unsigned char c) { return kHexDigits.value[c]; }

// NUL, CR and LF: the bytes besides braces and backslashes that end a run of text.
struct LineEnds {
    bool stop[256] = {};
    constexpr LineEnds() {
        stop[0] = true;
        stop[static_cast<unsigned char>('\r')] = true;
        stop[static_cast<unsigned char>('\n')] = true;
    }
};
constexpr LineEnds kLineEnds;

// Every byte that ends a run of text: braces, backslash, NUL, CR and LF.
struct RunEnds {
    bool stop[256] = {};
    constexpr RunEnds() {
        stop[static_cast<unsigned char>('\\')] = true;
        stop[static_cast<unsigned char>('{')] = true;
        stop[static_cast<unsigned char>('}')] = true;
        stop[0] = true;
        stop[static_cast<unsigned char>('\r')] = true;
        stop[static_cast<unsigned char>('\n')] = true;
    }
};
constexpr RunEnds kRunEnds;

// Eight bytes from `p` as one number, the first byte lowest, on any host.
inline std::uint64_t loadLittleEndian64(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    w = __builtin_bswap64(w);
#endif
    return w;
}

constexpr std::uint64_t kEachByte = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = 0x80 * kEachByte;

// Marks with its high bit each byte of `w` that lies in [lo, hi] (both below 0x80).
constexpr std::uint64_t bytesInRange(std::uint64_t w, unsigned char lo, unsigned char hi) {
    // Seven-bit lanes plus at most 0x7F cannot carry into the next lane.
    const std::uint64_t low7 = w & (0x7F * kEachByte);
    const std::uint64_t atLeastLo = low7 + (0x80 - lo) * kEachByte;
    const std::uint64_t aboveHi = low7 + (0x80 - hi - 1) * kEachByte;
    return atLeastLo & ~aboveHi & ~w & kHighBits;
}

// Answers the position of the lowest set bit of `v`, which is not zero.
inline unsigned lowestSetBit(std::uint64_t v) {
#if defined(__GNUC__)
    return static_cast<unsigned>(__builtin_ctzll(v));
#else
    unsigned n = 0;
    while ((v >> n & 1) == 0) ++n;
    return n;
#endif
}

// Counts the bytes of a word, first byte first, before the first one whose
// high bit `marks` leaves clear; 8 when every byte is marked.
inline unsigned leadingMarkedBytes(std::uint64_t marks) {
    const std::uint64_t unmarked = ~marks & kHighBits;
    return unmarked == 0 ? 8 : lowestSetBit(unmarked) / 8;
}

// Answers the value of the `count` (0 to 7) decimal digits at the start of `w`.
inline std::uint32_t decimalValue(std::uint64_t w, unsigned count) {
    // The digits move to the top behind zeros, which read as leading zeros;
    // pairs, then quadruples, then all eight fold with the first digit highest.
    // Two shifts, so that no digits at all shift by 64 bits.
    std::uint64_t v = ((w - 0x30 * kEachByte) << (8 * (7 - count))) << 8;
    v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFu;
    v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFu;
    v = (v * 10000 + (v >> 32)) & 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(v);
}

// Bytes the word-at-a-time control word reader may look at after a backslash:
// up to 7 letters, a minus, up to 7 digits and the delimiter.
constexpr std::ptrdiff_t cchKeywordWindow = 16;

// Where a scan stopped and what it answered.
struct Scanned {
    const char* p;
    std::int32_t ec;
};

inline std::int32_t pushState() {
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

inline std::int32_t popState() {
    save* psaveOld = psave;
    if (psaveOld == nullptr) return ecGroupUnderflow;
    if (rds != psaveOld->rds) {
        const std::int32_t ec = ecEndGroupAction(rds);
        if (ec != ecNoError) return ec;
    }
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

// Scans the control word or symbol at `p`, just after its backslash, and acts
// on it; answers the position after its delimiter. Reads no byte at or beyond
// `pEnd`, which counts as a NUL.
Scanned scanKeyword(const char* p, const char* pEnd) {
    if (p == pEnd || *p == '\0') return Scanned{p, ecInputEndsInKeyword};
    const unsigned char first = static_cast<unsigned char>(*p++);

    if (!isAsciiLetter(first)) {
        // A control symbol: nothing after it is consumed, not even a space.
        const char symbol[cchKeywordPadded] = {static_cast<char>(first)};
        return Scanned{p, ecTranslateSymbol(isymLookupPadded(symbol, 1, 0), 0, false)};
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
        if (p == pEnd || *p == '\0') return Scanned{p, ecInputEndsInKeyword};
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

    return Scanned{p, ecTranslateSymbol(fTooLong ? -1 : isymLookupPadded(szKeyword, cch, hash), param, fParam)};
}

// Does what scanKeyword does in the common cases, a control symbol or a
// control word of 1 to 7 letters and at most 7 digits, when at least
// cchKeywordWindow bytes remain from `p`. It reads two machine words and finds
// every length with masks: branches on each byte mispredict when keywords of
// different lengths alternate, as they do in styled text. Answers a null
// position when neither case applies.
inline Scanned scanShortKeyword(const char* p) {
    const std::uint64_t lo = loadLittleEndian64(p);
    const std::uint64_t hi = loadLittleEndian64(p + 8);
    const std::uint64_t notLetter = ~bytesInRange(lo | 0x20 * kEachByte, 'a', 'z') & kHighBits;
    if ((notLetter & 0x80) != 0) {
        // A control symbol: nothing after it is consumed, not even a space.
        const char symbol[cchKeywordPadded] = {static_cast<char>(lo & 0xFF)};
        if (symbol[0] == '\0') return Scanned{nullptr, ecNoError};
        return Scanned{p + 1, ecTranslateSymbol(isymLookupPadded(symbol, 1, 0), 0, false)};
    }
    // One to seven letters: some byte of the word after the first is no letter.
    if (notLetter == 0) return Scanned{nullptr, ecNoError};
    const std::uint64_t firstNotLetter = notLetter & (0 - notLetter);
    const std::uint64_t key = lo & ((firstNotLetter >> 7) - 1);
    const unsigned letterBits = lowestSetBit(notLetter) & ~7u;  // eight times the letters
    // The eight bytes after the letters, all within the window.
    const std::uint64_t after = (lo >> letterBits) | ((hi << 1) << (63 - letterBits));
    const unsigned fNeg = (after & 0xFF) == '-';
    if (fNeg != 0 && (after & 0xFF00) == 0) return Scanned{nullptr, ecNoError};
    const std::uint64_t wDigits = after >> (8 * fNeg);
    const unsigned cDigits = leadingMarkedBytes(bytesInRange(wDigits, '0', '9'));
    // Shifted past a minus the word holds seven bytes, so seven digits there may go on.
    if (cDigits + fNeg >= 8) return Scanned{nullptr, ecNoError};
    // Sizes, colours and font numbers have one or two digits: their value is
    // ready sooner than a full conversion's, which keyword actions wait for.
    // At most 7 digits leave nothing to saturate.
    std::uint32_t magnitude;
    if (cDigits <= 2) {
        const std::uint32_t d0 = static_cast<std::uint32_t>(wDigits & 0xFF) - '0';
        const std::uint32_t d1 = static_cast<std::uint32_t>(wDigits >> 8 & 0xFF) - '0';
        const std::uint32_t one = 0u - static_cast<std::uint32_t>(cDigits == 1);
        const std::uint32_t two = 0u - static_cast<std::uint32_t>(cDigits == 2);
        magnitude = (d0 & one) | ((d0 * 10 + d1) & two);
    } else {
        magnitude = decimalValue(wDigits, cDigits);
    }
    const std::int32_t signedMagnitude = static_cast<std::int32_t>(magnitude);
    const std::int32_t param = fNeg != 0 ? -signedMagnitude : signedMagnitude;
    const bool fParam = cDigits != 0;
    // Written either way, so that whether a parameter came costs no branch.
    const std::int32_t lParamBefore = lParam;
    lParam = fParam ? param : lParamBefore;
    const unsigned cAfter = fNeg + cDigits;
    const unsigned fSpace = (after >> (8 * cAfter) & 0xFF) == ' ';
    const char* const q = p + letterBits / 8 + cAfter + fSpace;
    return Scanned{q, ecTranslateWord(key, param, fParam)};
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

namespace {

// The reading loop, for a parse that resetState has begun over [pRTF, pEnd).
// With kSpans the text callback takes each run of text bytes at once;
// otherwise the character callback takes them one by one.
template <bool kSpans>
std::int32_t parseBytes(const char* const pRTF, const char* const pEnd) {
    const char* p = pRTF;
    // The hexadecimal accumulator belongs to the parse, not to a group: braces
    // and control words between the two digits of an escape keep their meaning.
    std::int32_t b = 0;
    int cNibble = 2;
    // Fixed for the whole parse: a callback must not start another one.
    const RtfCharCallback cbParse = callback;
    const RtfTextCallback textParse = textCallback;
    void* const dataParse = userData;
    std::int32_t ec;

    // groupDepth counts the records on the stack, which a "}" never pops below
    // zero, so it cannot turn negative between bytes.
    while (p < pEnd) {
        if (ris == risNorm) {
            // Ordinary reading, the bulk of most documents. Each kind of byte
            // that ends a run of text has its own test, so that leaving a run
            // costs one mispredicted branch rather than one to leave and one
            // to dispatch. The callback cannot change the reader's state: only
            // control words and braces change the input state.
            for (;;) {
                if (p == pEnd) goto finished;
                const unsigned char c = static_cast<unsigned char>(*p);
                if (c == '\\') {
                    ++p;
                    if (pEnd - p >= 3 && p[0] == '\'' && cNibble == 2) {
                        // A complete hexadecimal escape, read at once with the
                        // result the byte-by-byte route would give.
                        const int high = hexDigitValue(static_cast<unsigned char>(p[1]));
                        const int low = hexDigitValue(static_cast<unsigned char>(p[2]));
                        if (high >= 0 && low >= 0) {
                            p += 3;
                            fSkipDestIfUnk = false;
                            if (rds != rdsNorm) continue;
                            if (kSpans) {
                                const char byte = static_cast<char>(high * 16 + low);
                                ec = textParse(&byte, 1, dataParse, dop, sep, pap, chp);
                            } else {
                                ec = cbParse(high * 16 + low, dataParse, dop, sep, pap, chp);
                            }
                            if (ec != ecNoError) return ec;
                            continue;
                        }
                    }
                    if (pEnd - p >= cchKeywordWindow) {
                        Scanned word = scanShortKeyword(p);
                        if (word.p != nullptr) {
                            // Control words come in runs, such as those that open a group:
                            // a test of its own for the next one predicts better.
                            for (;;) {
                                if (word.ec != ecNoError) return word.ec;
                                p = word.p;
                                if (ris != risNorm || pEnd - p < cchKeywordWindow + 1 || p[0] != '\\' || p[1] == '\'')
                                    break;
                                word = scanShortKeyword(p + 1);
                                if (word.p == nullptr) break;
                            }
                            if (ris != risNorm) break;
                            continue;
                        }
                    }
                    const Scanned word = scanKeyword(p, pEnd);
                    if (word.ec != ecNoError) return word.ec;
                    p = word.p;
                    if (ris != risNorm) break;
                    continue;
                }
                if (c == '{') {
                    ++p;
                    if ((ec = pushState()) != ecNoError) return ec;
                    continue;
                }
                if (c == '}') {
                    ++p;
                    if ((ec = popState()) != ecNoError) return ec;
                    if (ris != risNorm) break;
                    continue;
                }
                if (kLineEnds.stop[c]) {
                    if (c == 0) goto finished;
                    ++p;
                    continue;
                }
                if (kSpans) {
                    const char* const run = p;
                    for (++p; p != pEnd && !kRunEnds.stop[static_cast<unsigned char>(*p)];) ++p;
                    if (rds != rdsNorm) continue;
                    ec = textParse(run, static_cast<std::size_t>(p - run), dataParse, dop, sep, pap, chp);
                    if (ec != ecNoError) return ec;
                    continue;
                }
                ++p;
                if (rds == rdsNorm) {
                    // Bytes of the text arrive sign-extended, whatever the signedness of char.
                    ec = cbParse(static_cast<std::int32_t>(static_cast<signed char>(c)), dataParse, dop, sep, pap, chp);
                    if (ec != ecNoError) return ec;
                }
            }
            continue;
        }

        const unsigned char uc = static_cast<unsigned char>(*p);
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
                if ((ec = pushState()) != ecNoError) return ec;
                break;
            case '}':
                if (ris == risColTab) ris = risNorm;
                if ((ec = popState()) != ecNoError) return ec;
                break;
            case '\\': {
                const Scanned word = scanKeyword(p, pEnd);
                if (word.ec != ecNoError) return word.ec;
                p = word.p;
                break;
            }
            case '\n':
            case '\r':
                break;
            default:
                if (ris == risHex) {
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
finished:
    if (groupDepth < 0) return ecGroupUnderflow;
    if (groupDepth > 0) return ecOpenGroupAtEnd;
    return ecNoError;
}

}  // namespace

std::int32_t ecRtfParse(const char* pRTF, std::size_t cchRTF, RtfCharCallback cb, void* data) {
    resetState(cb, nullptr, data);
    StackRelease release;
    if (pRTF == nullptr) return ecNoError;
    return parseBytes<false>(pRTF, pRTF + cchRTF);
}

std::int32_t ecRtfParseText(const char* pRTF, std::size_t cchRTF, RtfTextCallback cb, void* data) {
    resetState(nullptr, cb, data);
    StackRelease release;
    if (pRTF == nullptr) return ecNoError;
    return parseBytes<true>(pRTF, pRTF + cchRTF);
}

std::int32_t ecPushRtfState() { return pushState(); }

std::int32_t ecPopRtfState() { return popState(); }

std::int32_t ecParseRtfKeyword(const char*& pRTF, const char* pEnd) {
    const Scanned word = scanKeyword(pRTF, pEnd);
    pRTF = word.p;
    return word.ec;
}
