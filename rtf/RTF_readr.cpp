// The main loop and the group stack.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "rtf/RTF.h"
#include "rtf/RTF_reader.h"
#include "rtf/RTF_scan.h"

namespace rtf {

namespace {

// The functions that allocate and release group records, chosen per thread
// so that a choice made for one thread's parses cannot reach another's.
struct MemoryFunctions {
    void* (*pfnAllocate)(std::size_t) = std::malloc;
    void (*pfnRelease)(void*) = std::free;
};
thread_local MemoryFunctions memoryFunctions;

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

// Marks with its high bit each byte of `w` equal to `c`, and perhaps bytes
// after the first marked one: the lowest mark is always exact.
constexpr std::uint64_t bytesEqual(std::uint64_t w, unsigned char c) {
    const std::uint64_t x = w ^ (c * rtfscan::kEachByte);
    return (x - rtfscan::kEachByte) & ~x & rtfscan::kHighBits;
}

// Marks every byte of `w` that may end a run of text: the braces, the
// backslash, and every byte below 0x0E, of which only NUL, CR and LF do; the
// lowest mark is at or before the first byte that ends the run.
constexpr std::uint64_t runEndCandidates(std::uint64_t w) {
    const std::uint64_t belowCr = (w - 0x0E * rtfscan::kEachByte) & ~w & rtfscan::kHighBits;
    return belowCr | bytesEqual(w, '\\') | bytesEqual(w, '{') | bytesEqual(w, '}');
}

// Answers the first byte of [p, pEnd) that ends a run of text, or pEnd. Text
// runs of a styled document are words and phrases; a machine word at a time
// takes them in one or two steps instead of a step and a branch per byte.
inline const char* pRunEnd(const char* p, const char* pEnd) {
    while (pEnd - p >= 8) {
        const std::uint64_t marks = runEndCandidates(rtfscan::loadLittleEndian64(p));
        if (marks == 0) {
            p += 8;
            continue;
        }
        p += rtfscan::lowestSetBit(marks) / 8;
        if (kRunEnds.stop[static_cast<unsigned char>(*p)]) return p;
        ++p;  // a control byte such as a tab, which text may hold
    }
    while (p != pEnd && !kRunEnds.stop[static_cast<unsigned char>(*p)]) ++p;
    return p;
}

}  // namespace

Reader::Reader(RtfCharCallback cb, RtfTextCallback textCb, void* data)
    : callback(cb),
      textCallback(textCb),
      userData(data),
      pfnAllocate(memoryFunctions.pfnAllocate),
      pfnRelease(memoryFunctions.pfnRelease),
      rgpbRecord{reinterpret_cast<unsigned char*>(&chp), reinterpret_cast<unsigned char*>(&pap),
                 reinterpret_cast<unsigned char*>(&sep), reinterpret_cast<unsigned char*>(&dop)} {
    beginText();
}

Reader::~Reader() {
    releaseList(psave);
    releaseList(psaveFree);
}

void Reader::releaseList(save*& psaveHead) {
    while (psaveHead != nullptr) {
        save* psaveNext = psaveHead->psaveNext;
        pfnRelease(psaveHead);
        psaveHead = psaveNext;
    }
}

void Reader::reset() {
    releaseList(psave);
    releaseList(psaveFree);
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
    for (std::int32_t& colour : rgColour) colour = 0;
    cColour = 0;
    fNoteMarkPending = false;
    cFootnote = 0;
    cEndnote = 0;
    nfcFootnote = nfcArabic;
    nfcEndnote = nfcLowerRoman;
    beginText();
}

inline std::int32_t Reader::ecPushRtfState() {
    save* psaveNew = psaveFree;
    if (psaveNew != nullptr) {
        psaveFree = psaveNew->psaveNext;
    } else {
        void* memory = pfnAllocate(sizeof(save));
        if (memory == nullptr) return ecGroupAllocFailed;
        psaveNew = new (memory) save;
    }
    psaveNew->psaveNext = psave;
    psaveNew->chp = chp;
    psaveNew->pap = pap;
    psaveNew->sep = sep;
    psaveNew->dop = dop;
    psaveNew->rds = rds;
    psaveNew->ris = ris;
    psaveNew->fFontNamed = fFontNamed;
    psaveNew->cbUnicodeFallback = cbUnicodeFallback;
    ris = risNorm;  // a group always starts reading ordinary text
    // A brace ends the fallback of a "\u"; the slow path, which a pending
    // fallback has already chosen, then finds nothing pending.
    cUnicodeSkip = 0;
    psave = psaveNew;
    ++groupDepth;
    return ecNoError;
}

inline std::int32_t Reader::ecPopRtfState() {
    save* psaveOld = psave;
    if (psaveOld == nullptr) return ecGroupUnderflow;
    if (groupDepth == depthSymbolField) {
        const std::int32_t ec = ecEndSymbolField();
        if (ec != ecNoError) return ec;
    }
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
    fFontNamed = psaveOld->fFontNamed;
    cbUnicodeFallback = psaveOld->cbUnicodeFallback;
    cUnicodeSkip = 0;
    psave = psaveOld->psaveNext;
    --groupDepth;
    psaveOld->psaveNext = psaveFree;
    psaveFree = psaveOld;
    return ecNoError;
}

using rtfscan::cchKeywordWindow;
using rtfscan::hexDigitValue;

// Delivers a run of text bytes: straight to the parse's callback when they
// pass unchanged, else through the delivery routines.
template <bool kSpans>
inline std::int32_t Reader::ecDeliverRun(const char* pch, std::size_t cch) {
    if (!fTextPassesThrough()) return ecDeliverTextSlow(pch, cch);
    if (kSpans) return textCallback(pch, cch, userData, dop, sep, pap, chp);
    const RtfCharCallback cb = callback;
    void* const data = userData;
    for (std::size_t i = 0; i < cch; ++i) {
        // Bytes of the text arrive sign-extended, whatever the signedness of char.
        const std::int32_t ec =
            cb(static_cast<std::int32_t>(static_cast<signed char>(pch[i])), data, dop, sep, pap, chp);
        if (ec != ecNoError) return ec;
    }
    return ecNoError;
}

// The reading loop, for a parse that reset() has begun over [pRTF, pEnd).
// With kSpans the text callback takes each run of text bytes at once;
// otherwise the character callback takes them one by one.
template <bool kSpans>
std::int32_t Reader::ecParseBytes(const char* const pRTF, const char* const pEnd) {
    const char* p = pRTF;
    // Fixed for the whole parse: a callback must not start another one.
    const RtfCharCallback cbParse = callback;
    const RtfTextCallback textParse = textCallback;
    void* const dataParse = userData;
    // The hexadecimal accumulator belongs to the parse, not to a group: braces
    // and control words between the two digits of an escape keep their meaning.
    std::int32_t b = 0;
    int cNibble = 2;
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
                            if (rds == rdsSkip) continue;
                            const char byte = static_cast<char>(high * 16 + low);
                            if (!fTextPassesThrough())
                                ec = ecDeliverEscapedByteSlow(static_cast<unsigned char>(byte));
                            else if (kSpans)
                                ec = textParse(&byte, 1, dataParse, dop, sep, pap, chp);
                            else
                                ec = cbParse(high * 16 + low, dataParse, dop, sep, pap, chp);
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
                                if (word.ec != ecNoError && (ec = ecFinishKeyword(word.ec, word.p, pEnd)) != ecNoError)
                                    return ec;
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
                    if (word.ec != ecNoError && (ec = ecFinishKeyword(word.ec, word.p, pEnd)) != ecNoError) return ec;
                    p = word.p;
                    if (ris != risNorm) break;
                    continue;
                }
                if (c == '{') {
                    ++p;
                    if ((ec = ecPushRtfState()) != ecNoError) return ec;
                    pGroupStart = p;
                    continue;
                }
                if (c == '}') {
                    ++p;
                    if ((ec = ecPopRtfState()) != ecNoError) return ec;
                    // The document ends where its first group closes.
                    if (groupDepth == 0) goto finished;
                    if (ris != risNorm) break;
                    continue;
                }
                if (kLineEnds.stop[c]) {
                    if (c == 0) goto finished;
                    ++p;
                    continue;
                }
                const char* const run = p;
                p = pRunEnd(p + 1, pEnd);
                if (rds == rdsSkip) continue;
                ec = ecDeliverRun<kSpans>(run, static_cast<std::size_t>(p - run));
                if (ec != ecNoError) return ec;
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
            endColourTrio();
            continue;
        }
        switch (uc) {
            case '{':
                if ((ec = ecPushRtfState()) != ecNoError) return ec;
                pGroupStart = p;
                break;
            case '}':
                if (ris == risColTab) ris = risNorm;
                if ((ec = ecPopRtfState()) != ecNoError) return ec;
                if (groupDepth == 0) goto finished;
                break;
            case '\\': {
                const Scanned word = scanKeyword(p, pEnd);
                if (word.ec != ecNoError && (ec = ecFinishKeyword(word.ec, word.p, pEnd)) != ecNoError) return ec;
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
                        cNibble = 2;
                        ris = risNorm;
                        if ((ec = ecParseChar(b)) != ecNoError) return ec;
                        b = 0;
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

std::int32_t Reader::ecParse(const char* pRTF, std::size_t cbRTF) {
    reset();
    if (pRTF == nullptr) return ecNoError;
    if (textCallback != nullptr) return ecParseBytes<true>(pRTF, pRTF + cbRTF);
    return ecParseBytes<false>(pRTF, pRTF + cbRTF);
}

}  // namespace rtf

void rtfSetMemoryFunctions(void* (*allocate)(std::size_t), void (*deallocate)(void*)) {
    if (allocate == nullptr || deallocate == nullptr) {
        rtf::memoryFunctions = rtf::MemoryFunctions{};
    } else {
        rtf::memoryFunctions.pfnAllocate = allocate;
        rtf::memoryFunctions.pfnRelease = deallocate;
    }
}

std::int32_t ecRtfParse(const char* pRTF, RtfCharCallback cb, void* data) {
    return ecRtfParse(pRTF, pRTF != nullptr ? std::strlen(pRTF) : 0, cb, data);
}

std::int32_t ecRtfParse(const char* pRTF, std::size_t cbRTF, RtfCharCallback cb, void* data) {
    if (cb == nullptr) return ecNoError;
    rtf::Reader reader(cb, nullptr, data);
    return reader.ecParse(pRTF, cbRTF);
}

std::int32_t ecRtfParseText(const char* pRTF, std::size_t cbRTF, RtfTextCallback cb, void* data) {
    return ecRtfParseText(pRTF, cbRTF, cb, nullptr, data);
}

std::int32_t ecRtfParseText(const char* pRTF, std::size_t cbRTF, RtfTextCallback cb, RtfForeignCallback foreignCb,
                            void* data) {
    if (cb == nullptr) return ecNoError;
    rtf::Reader reader(nullptr, cb, data);
    reader.foreignCallback = foreignCb;
    return reader.ecParse(pRTF, cbRTF);
}
