#include "codepage/foreign_chars.h"

#include <climits>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "codepage/unicode_text.h"
#include "codepage/utf8.h"
#include "platform/winapi.h"

namespace codepage {

namespace {

bool isHighSurrogate(std::uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(std::uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The UTF-16 units of one character at wide[j]: two for a surrogate pair.
std::size_t unitsAt(const std::uint16_t* wide, std::size_t j, std::size_t n) {
    return isHighSurrogate(wide[j]) && j + 1 < n && isLowSurrogate(wide[j + 1]) ? 2 : 1;
}

std::uint32_t codePointAt(const std::uint16_t* wide, std::size_t j, std::size_t units) {
    if (units == 1) return wide[j];
    return 0x10000 + ((wide[j] - 0xD800u) << 10) + (wide[j + 1] - 0xDC00u);
}

// Bytes of the character at s[i] in `cp`. A UTF-8 sequence that is not
// well formed counts its first byte alone, as the conversion makes one
// replacement character of it.
std::size_t charBytesAt(CodePage cp, const unsigned char* s, std::size_t i, std::size_t n) {
    if (cp == kUtf8) {
        const unsigned char c = s[i];
        const std::size_t len = c >= 0xC2 && c <= 0xDF   ? 2
                                : c >= 0xE0 && c <= 0xEF ? 3
                                : c >= 0xF0 && c <= 0xF4 ? 4
                                                         : 1;
        if (len == 1 || len > n - i) return 1;
        return decode(kUtf8, reinterpret_cast<const char*>(s + i), static_cast<int>(len)) != 0 ? len : 1;
    }
    const std::size_t len = isLeadByte(cp, s[i]) ? 2 : 1;
    return len <= n - i ? len : n - i;
}

std::vector<std::uint16_t> toWide(std::string_view bytes, CodePage cp) {
    std::vector<std::uint16_t> wide;
    if (bytes.empty()) return wide;
    const int n =
        MultiByteToWideChar(static_cast<UINT>(cp), 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) return wide;
    wide.resize(static_cast<std::size_t>(n));
    MultiByteToWideChar(static_cast<UINT>(cp), 0, bytes.data(), static_cast<int>(bytes.size()),
                        reinterpret_cast<WCHAR*>(wide.data()), n);
    return wide;
}

}  // namespace

bool foreignCharsOfWideText(std::string_view bytes, const std::uint16_t* wide, std::size_t cchWide, CodePage cp,
                            ForeignChars& out) {
    if (bytes.size() > static_cast<std::size_t>(INT_MAX) || cchWide > static_cast<std::size_t>(INT_MAX)) return false;
    // What the bytes say as UTF-16: where `wide` says the same, it is the
    // same character; elsewhere it must be a character whose fallback the
    // bytes hold.
    const std::vector<std::uint16_t> back = toWide(bytes, cp);
    if (back.size() == cchWide && (cchWide == 0 || std::memcmp(back.data(), wide, cchWide * 2) == 0)) return true;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    ForeignChars found;
    std::size_t i = 0, j = 0, k = 0;  // in bytes, wide and back
    while (i < n && j < cchWide) {
        const std::size_t len = charBytesAt(cp, s, i, n);
        const std::size_t backUnits = k < back.size() ? unitsAt(back.data(), k, back.size()) : 0;
        const std::size_t units = unitsAt(wide, j, cchWide);
        if (backUnits == units && std::memcmp(&back[k], wide + j, units * 2) == 0) {
            i += len;
            j += units;
            k += backUnits;
            continue;
        }
        const std::uint32_t codePoint = codePointAt(wide, j, units);
        char fallback[kMaxCharBytes];
        const std::size_t cb = encode(cp, codePoint, fallback);
        if (cb > n - i || std::memcmp(fallback, s + i, cb) != 0) return false;
        found.push_back(ForeignChar{static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(cb), codePoint});
        // The fallback's own characters in `back`.
        for (std::size_t taken = 0; taken < cb && k < back.size();) {
            taken += charBytesAt(cp, s, i + taken, n);
            k += unitsAt(back.data(), k, back.size());
        }
        i += cb;
        j += units;
    }
    if (i != n || j != cchWide) return false;
    // The walk assumed how the conversion counts characters; the text the
    // bytes and the list give must be `wide` itself, or the list is not kept.
    std::vector<std::uint16_t> rebuilt;
    rebuilt.reserve(cchWide);
    std::size_t at = 0;
    for (const ForeignChar& c : found) {
        const std::vector<std::uint16_t> piece = toWide(bytes.substr(at, c.pos - at), cp);
        rebuilt.insert(rebuilt.end(), piece.begin(), piece.end());
        if (c.codePoint >= 0x10000) {
            rebuilt.push_back(static_cast<std::uint16_t>(0xD800 + ((c.codePoint - 0x10000) >> 10)));
            rebuilt.push_back(static_cast<std::uint16_t>(0xDC00 + ((c.codePoint - 0x10000) & 0x3FF)));
        } else {
            rebuilt.push_back(static_cast<std::uint16_t>(c.codePoint));
        }
        at = c.pos + c.cb;
    }
    const std::vector<std::uint16_t> tail = toWide(bytes.substr(at), cp);
    rebuilt.insert(rebuilt.end(), tail.begin(), tail.end());
    if (rebuilt.size() != cchWide || (cchWide > 0 && std::memcmp(rebuilt.data(), wide, cchWide * 2) != 0)) return false;
    out.insert(out.end(), found.begin(), found.end());
    return true;
}

namespace {

// Which UTF-16 units code page `cp` has exactly: ASCII, and for a
// single-byte code page the unit of each byte, which converts back to it.
std::vector<unsigned char> exactUnits(CodePage cp) {
    std::vector<unsigned char> exact(0x10000, 0);
    for (std::uint32_t u = 0; u < 0x80; ++u) exact[u] = 1;
    if (isDoubleByte(cp) || cp == kUtf8) return exact;
    char bytes[128];
    for (int b = 0; b < 128; ++b) bytes[b] = static_cast<char>(0x80 + b);
    WCHAR units[128] = {};
    if (MultiByteToWideChar(static_cast<UINT>(cp), 0, bytes, 128, units, 128) == 128)
        for (WCHAR u : units)
            if (u != 0xFFFD) exact[u] = 1;
    return exact;
}

}  // namespace

bool everyUnitInCodePage(const unsigned char* wide, std::size_t cchWide, CodePage cp) {
    // Found once a code page, kept for the life of the module.
    static std::mutex guard;
    static std::map<CodePage, std::vector<unsigned char>> exactByCodePage;
    const unsigned char* exact = nullptr;
    {
        const std::lock_guard<std::mutex> lock(guard);
        auto found = exactByCodePage.find(cp);
        if (found == exactByCodePage.end()) found = exactByCodePage.emplace(cp, exactUnits(cp)).first;
        exact = found->second.data();
    }
    const auto unitAt = [wide](std::size_t i) {
        return static_cast<std::uint32_t>(wide[2 * i] | wide[2 * i + 1] << 8);
    };
    // Four units at a time where they are ASCII and none is the end: most
    // of nearly every text.
    constexpr std::uint64_t kOnes = 0x0001000100010001ull, kHigh = 0x8000800080008000ull;
    std::size_t i = 0;
    for (; i + 4 <= cchWide; i += 4) {
        std::uint64_t w;
        std::memcpy(&w, wide + 2 * i, sizeof w);
        if ((w & 0xFF80FF80FF80FF80ull) == 0 && ((w - kOnes) & ~w & kHigh) == 0) continue;
        for (std::size_t k = i; k < i + 4; ++k) {
            if (unitAt(k) == 0) return true;
            if (exact[unitAt(k)] == 0) return false;
        }
    }
    for (; i < cchWide; ++i) {
        if (unitAt(i) == 0) return true;
        if (exact[unitAt(i)] == 0) return false;
    }
    return true;
}

bool wideTextLeavesCodePage(const std::uint16_t* wide, std::size_t cchWide, CodePage cp) {
    if (cchWide == 0) return false;
    if (everyUnitInCodePage(reinterpret_cast<const unsigned char*>(wide), cchWide, cp)) return false;
    if (cchWide > static_cast<std::size_t>(INT_MAX) / kMaxCharBytes) return true;
    const WCHAR* w = reinterpret_cast<const WCHAR*>(wide);
    const int cb =
        WideCharToMultiByte(static_cast<UINT>(cp), 0, w, static_cast<int>(cchWide), nullptr, 0, nullptr, nullptr);
    if (cb <= 0) return true;
    std::string bytes(static_cast<std::size_t>(cb), '\0');
    WideCharToMultiByte(static_cast<UINT>(cp), 0, w, static_cast<int>(cchWide), &bytes[0], cb, nullptr, nullptr);
    const std::vector<std::uint16_t> back = toWide(bytes, cp);
    return back.size() != cchWide || std::memcmp(back.data(), wide, cchWide * 2) != 0;
}

void appendFromUtf8Noting(std::string& out, const char* p, std::size_t n, CodePage cp, ForeignChars& foreign) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(p);
    std::size_t i = 0;
    while (i < n) {
        i = appendAsciiRun(out, p, i, n);
        if (i == n) return;
        const std::size_t len = charBytesAt(kUtf8, s, i, n);
        const std::uint32_t codePoint = len > 1 ? decode(kUtf8, p + i, static_cast<int>(len)) : 0;
        if (codePoint == 0) {
            // Not a character: converted as a whole text converts it.
            appendAnsiFromUtf8(out, p + i, len);
            i += len;
            continue;
        }
        char bytes[kMaxCharBytes];
        const std::size_t cb = encode(cp, codePoint, bytes);
        if (!encodesExactly(cp, codePoint, bytes, cb))
            foreign.push_back(
                ForeignChar{static_cast<std::uint32_t>(out.size()), static_cast<std::uint32_t>(cb), codePoint});
        out.append(bytes, cb);
        i += len;
    }
}

ForeignChars foreignAfterLineEndsMadeSingle(std::string_view before, const ForeignChars& foreign) {
    ForeignChars moved;
    moved.reserve(foreign.size());
    std::size_t removed = 0;  // bytes of CR LF pairs before `scanned`
    std::size_t scanned = 0;
    for (const ForeignChar& entry : foreign) {
        if (entry.pos < scanned || entry.pos > before.size()) continue;
        for (; scanned < entry.pos; ++scanned)
            if (before[scanned] == '\r' && scanned + 1 < before.size() && before[scanned + 1] == '\n') {
                ++removed;
                ++scanned;
            }
        if (scanned != entry.pos) continue;  // the entry began inside a pair
        moved.push_back(ForeignChar{static_cast<std::uint32_t>(entry.pos - removed), entry.cb, entry.codePoint});
    }
    return moved;
}

}  // namespace codepage
