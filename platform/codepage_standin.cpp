// Code pages and their conversions to and from UTF-16, through glibc's iconv,
// with Windows' results where the two differ: undefined bytes of single-byte
// code pages, best-fit characters, and the "?" for the rest.
#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "codepage/utf8.h"
#include "platform/clipboard_control.h"

namespace {

UINT gAnsiCodePage = 1252;
std::mutex gMutex;  // guards the caches; the stand-in may be called from test threads

UINT resolve(UINT codePage) { return codePage == CP_ACP ? gAnsiCodePage : codePage; }

const char* iconvName(UINT codePage) {
    switch (codePage) {
        case 437:
            return "CP437";
        case 850:
            return "CP850";
        case 874:
            return "CP874";
        case 932:
            return "CP932";
        case 936:
            return "CP936";
        case 949:
            return "CP949";
        case 950:
            return "CP950";
        case 1250:
            return "CP1250";
        case 1251:
            return "CP1251";
        case 1252:
            return "CP1252";
        case 1253:
            return "CP1253";
        case 1254:
            return "CP1254";
        case 1255:
            return "CP1255";
        case 1256:
            return "CP1256";
        case 1257:
            return "CP1257";
        case 1258:
            return "CP1258";
        case 10000:
            return "MACINTOSH";
        default:
            return nullptr;
    }
}

bool isDoubleByte(UINT codePage) { return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950; }

bool isLeadByte(UINT codePage, unsigned char c) {
    switch (codePage) {
        case 932:
            return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        case 936:
        case 949:
        case 950:
            return c >= 0x81 && c <= 0xFE;
        default:
            return false;
    }
}

// Converts `in` with a fresh conversion state, flushing what it holds back;
// answers false when any of it does not convert.
bool convert(const char* from, const char* to, const std::string& in, std::string& out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    char buffer[64];
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    const bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1) && srcLeft == 0 &&
                    iconv(cd, nullptr, nullptr, &dst, &dstLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (ok) out.assign(buffer, sizeof buffer - dstLeft);
    return ok;
}

// The UTF-16 unit of one character of a code page, or -1 when it has none.
int decodeOne(UINT codePage, const std::string& bytes) {
    const char* name = iconvName(codePage);
    std::string utf16;
    if (name == nullptr || !convert(name, "UTF-16LE", bytes, utf16) || utf16.size() != 2) return -1;
    return static_cast<unsigned char>(utf16[0]) | static_cast<unsigned char>(utf16[1]) << 8;
}

// The bytes of one BMP character in a code page, exactly, or empty.
std::string encodeExactly(UINT codePage, std::uint16_t unit) {
    const char* name = iconvName(codePage);
    std::string out;
    const std::string utf16{static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    if (name == nullptr || !convert("UTF-16LE", name, utf16, out)) return {};
    return out;
}

// Single-byte code pages, byte to UTF-16; undefined bytes keep their value.
const std::array<std::uint16_t, 256>& byteTable(UINT codePage) {
    static std::map<UINT, std::array<std::uint16_t, 256>> tables;
    auto it = tables.find(codePage);
    if (it != tables.end()) return it->second;
    std::array<std::uint16_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const int unit = b < 0x80 ? b : decodeOne(codePage, std::string(1, static_cast<char>(b)));
        table[static_cast<std::size_t>(b)] = static_cast<std::uint16_t>(unit < 0 ? b : unit);
    }
    return tables.emplace(codePage, table).first->second;
}

// Letters of U+00C0 to U+017F without their marks, "." where there is no such letter.
const char kLatinBase[] =
    "AAAAAAACEEEEIIII"
    "DNOOOOO.OUUUUY.s"
    "aaaaaaaceeeeiiii"
    "dnooooo.ouuuuy.y"
    "AaAaAaCcCcCcCcDd"
    "DdEeEeEeEeEeGgGg"
    "GgGgHhHhIiIiIiIi"
    "Ii..JjKk.LlLlLlL"
    "lLlNnNnNn.NnOoOo"
    "OoOoRrRrRrSsSsSs"
    "SsTtTtTtUuUuUuUu"
    "UuUuWwYyYZzZzZzs";

// A close character for one that a code page lacks, or 0.
std::uint16_t bestFit(std::uint16_t unit) {
    if (unit >= 0x00C0 && unit <= 0x017F) {
        const char base = kLatinBase[unit - 0x00C0];
        return base == '.' ? 0 : static_cast<std::uint16_t>(base);
    }
    if (unit >= 0x2000 && unit <= 0x200A) return ' ';
    if (unit >= 0x2010 && unit <= 0x2015) return '-';
    switch (unit) {
        case 0x00A0:
            return ' ';
        case 0x2018:
        case 0x2019:
        case 0x201A:
        case 0x2032:
            return '\'';
        case 0x201C:
        case 0x201D:
        case 0x201E:
        case 0x2033:
            return '"';
        case 0x2022:
            return 0x00B7;
        case 0x2026:
            return '.';
        case 0x2039:
            return '<';
        case 0x203A:
            return '>';
        case 0x2212:
            return '-';
        default:
            return 0;
    }
}

std::string encodeOne(UINT codePage, std::uint16_t unit) {
    if (unit < 0x80) return std::string(1, static_cast<char>(unit));
    static std::map<std::pair<UINT, std::uint16_t>, std::string> cache;
    const auto key = std::make_pair(codePage, unit);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    std::string out = encodeExactly(codePage, unit);
    if (out.empty() && !isDoubleByte(codePage) && unit < 0x100 && byteTable(codePage)[unit] == unit)
        out.assign(1, static_cast<char>(unit));  // an undefined byte's own code point
    if (out.empty()) {
        const std::uint16_t fit = bestFit(unit);
        if (fit != 0) out = encodeExactly(codePage, fit);
    }
    if (out.empty()) out = "?";
    cache.emplace(key, out);
    return out;
}

void appendUtf16(std::vector<std::uint16_t>& out, std::uint32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<std::uint16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<std::uint16_t>(0xD800 | cp >> 10));
        out.push_back(static_cast<std::uint16_t>(0xDC00 | (cp & 0x3FF)));
    }
}

// UTF-8 to UTF-16; each malformed sequence becomes U+FFFD, as on Windows.
void decodeUtf8(const unsigned char* s, std::size_t n, std::vector<std::uint16_t>& out) {
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = s[i];
        std::size_t len = c < 0x80                 ? 1
                          : c >= 0xC2 && c <= 0xDF ? 2
                          : c >= 0xE0 && c <= 0xEF ? 3
                          : c >= 0xF0 && c <= 0xF4 ? 4
                                                   : 0;
        if (len == 0 || i + len > n) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        std::uint32_t cp = len == 1 ? c : c & (0x7F >> len);
        bool ok = true;
        for (std::size_t k = 1; k < len; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = cp << 6 | (s[i + k] & 0x3F);
        }
        const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!ok || cp < least[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        appendUtf16(out, cp);
        i += len;
    }
}

// Copies `units` out as Windows does: the count when `capacity` is 0, else
// the units if they fit, else 0.
template <class Unit, class Out>
int deliver(const std::vector<Unit>& units, Out* out, int capacity) {
    if (units.size() > 0x7FFFFFFF) return 0;
    const int n = static_cast<int>(units.size());
    if (capacity == 0) return n;
    if (out == nullptr || capacity < n) return 0;
    for (int i = 0; i < n; ++i) out[i] = static_cast<Out>(units[static_cast<std::size_t>(i)]);
    return n;
}

}  // namespace

extern "C" {

UINT GetACP(void) { return gAnsiCodePage; }

BOOL IsDBCSLeadByteEx(UINT codePage, BYTE testChar) { return isLeadByte(resolve(codePage), testChar) ? TRUE : FALSE; }

int MultiByteToWideChar(UINT codePage, DWORD, LPCCH bytes, int cbBytes, LPWSTR wide, int cchWide) {
    codePage = resolve(codePage);
    if (bytes == nullptr || cbBytes == 0 || cchWide < 0) return 0;
    const std::size_t n = cbBytes < 0 ? std::strlen(bytes) + 1 : static_cast<std::size_t>(cbBytes);
    const unsigned char* s = reinterpret_cast<const unsigned char*>(bytes);
    std::vector<std::uint16_t> units;
    if (codePage == CP_UTF8) {
        decodeUtf8(s, n, units);
        return deliver(units, wide, cchWide);
    }
    if (iconvName(codePage) == nullptr) return 0;
    std::lock_guard<std::mutex> lock(gMutex);
    if (!isDoubleByte(codePage)) {
        // One unit a byte, written where it goes: Windows converts large
        // texts without a copy, and so must what stands for it.
        if (n > 0x7FFFFFFF) return 0;
        if (cchWide == 0) return static_cast<int>(n);
        if (wide == nullptr || static_cast<std::size_t>(cchWide) < n) return 0;
        const std::array<std::uint16_t, 256>& table = byteTable(codePage);
        for (std::size_t i = 0; i < n; ++i) wide[i] = table[s[i]];
        return static_cast<int>(n);
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (s[i] < 0x80) {
            units.push_back(s[i]);
        } else if (isLeadByte(codePage, s[i]) && i + 1 < n) {
            const int unit = decodeOne(codePage, std::string(reinterpret_cast<const char*>(s + i), 2));
            units.push_back(static_cast<std::uint16_t>(unit < 0 ? 0x30FB : unit));
            ++i;
        } else {
            const int unit = decodeOne(codePage, std::string(1, static_cast<char>(s[i])));
            units.push_back(static_cast<std::uint16_t>(unit < 0 ? '?' : unit));
        }
    }
    return deliver(units, wide, cchWide);
}

int WideCharToMultiByte(UINT codePage, DWORD, LPCWCH wide, int cchWide, LPSTR bytes, int cbBytes, LPCCH defaultChar,
                        LPBOOL usedDefaultChar) {
    codePage = resolve(codePage);
    if (usedDefaultChar != nullptr) *usedDefaultChar = FALSE;
    if (wide == nullptr || cchWide == 0 || cbBytes < 0) return 0;
    std::size_t n = 0;
    if (cchWide < 0) {
        while (wide[n] != 0) ++n;
        ++n;
    } else {
        n = static_cast<std::size_t>(cchWide);
    }
    if (codePage == CP_UTF8) {
        // Counted, then written where it goes: the tools convert whole
        // clipboard texts this way, as Windows does without a copy.
        const std::size_t cb = codepage::utf8FromUtf16(wide, n, nullptr);
        if (cb > 0x7FFFFFFF) return 0;
        if (cbBytes == 0) return static_cast<int>(cb);
        if (bytes == nullptr || static_cast<std::size_t>(cbBytes) < cb) return 0;
        codepage::utf8FromUtf16(wide, n, bytes);
        return static_cast<int>(cb);
    }
    std::string out;
    if (iconvName(codePage) == nullptr) return 0;
    std::lock_guard<std::mutex> lock(gMutex);
    const std::string fallback = defaultChar != nullptr && *defaultChar != '\0' ? std::string(1, *defaultChar) : "?";
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint16_t unit = wide[i];
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            // No code page here holds a character beyond the first plane:
            // each half of a pair becomes the default character.
            out += fallback;
            if (usedDefaultChar != nullptr) *usedDefaultChar = TRUE;
            continue;
        }
        const std::string one = encodeOne(codePage, unit);
        if (one == "?" && unit != '?') {
            out += fallback;
            if (usedDefaultChar != nullptr) *usedDefaultChar = TRUE;
        } else {
            out += one;
        }
    }
    std::vector<char> units(out.begin(), out.end());
    return deliver(units, bytes, cbBytes);
}

}  // extern "C"

namespace standin {

void setAnsiCodePage(UINT codePage) { gAnsiCodePage = codePage == CP_ACP ? 1252 : codePage; }

}  // namespace standin
