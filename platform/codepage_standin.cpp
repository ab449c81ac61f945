// Code pages and their conversions to and from UTF-16 exactly as Windows
// makes them, best fit and default character included, from the tables that
// platform/codepage_tables holds (taken from Wine's own conversions).
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "codepage/utf8.h"
#include "platform/clipboard_control.h"
#include "platform/codepage_tables/codepage_table.h"

namespace {

UINT gAnsiCodePage = 1252;

UINT resolve(UINT codePage) { return codePage == CP_ACP ? gAnsiCodePage : codePage; }

const cptables::CodePageTable* tableOf(UINT codePage) { return cptables::CodePageTable::find(codePage); }

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
int deliver(const Unit* units, std::size_t count, Out* out, int capacity) {
    if (count > 0x7FFFFFFF) return 0;
    const int n = static_cast<int>(count);
    if (capacity == 0) return n;
    if (out == nullptr || capacity < n) return 0;
    for (int i = 0; i < n; ++i) out[i] = static_cast<Out>(units[i]);
    return n;
}

// The length of the run of whole eight-byte words of ASCII that `s` starts with.
std::size_t asciiStretch(const unsigned char* s, std::size_t n) {
    std::size_t i = 0;
    for (std::uint64_t eight; n - i >= 8; i += 8) {
        std::memcpy(&eight, s + i, sizeof eight);
        if ((eight & 0x8080808080808080u) != 0) break;
    }
    return i;
}

// Bytes to as many units; the two never overlap, so that the compiler
// widens many at a time.
void widen(const unsigned char* __restrict bytes, WCHAR* __restrict units, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) units[i] = bytes[i];
}

}  // namespace

extern "C" {

UINT GetACP(void) { return gAnsiCodePage; }

BOOL IsDBCSLeadByteEx(UINT codePage, BYTE testChar) {
    const cptables::CodePageTable* table = tableOf(resolve(codePage));
    return table != nullptr && table->isLead(testChar) ? TRUE : FALSE;
}

int MultiByteToWideChar(UINT codePage, DWORD, LPCCH bytes, int cbBytes, LPWSTR wide, int cchWide) {
    codePage = resolve(codePage);
    if (bytes == nullptr || cbBytes == 0 || cchWide < 0) return 0;
    const std::size_t n = cbBytes < 0 ? std::strlen(bytes) + 1 : static_cast<std::size_t>(cbBytes);
    const unsigned char* s = reinterpret_cast<const unsigned char*>(bytes);
    std::vector<std::uint16_t> units;
    if (codePage == CP_UTF8) {
        decodeUtf8(s, n, units);
        return deliver(units.data(), units.size(), wide, cchWide);
    }
    const cptables::CodePageTable* table = tableOf(codePage);
    if (table == nullptr) return 0;
    if (!table->doubleByte()) {
        // One unit a byte, written where it goes: Windows converts large
        // texts without a copy, and so must what stands for it.
        if (n > 0x7FFFFFFF) return 0;
        if (cchWide == 0) return static_cast<int>(n);
        if (wide == nullptr || static_cast<std::size_t>(cchWide) < n) return 0;
        // Bytes below 0x80 are ASCII in every code page here: a stretch of
        // them, found eight at a time, is widened at once; the bytes after
        // it go through the table.
        std::size_t i = 0;
        while (i < n) {
            const std::size_t ascii = asciiStretch(s + i, n - i);
            widen(s + i, wide + i, ascii);
            i += ascii;
            for (const std::size_t stop = std::min(n, i + 8); i < stop; ++i) wide[i] = table->byte(s[i]);
        }
        return static_cast<int>(n);
    }
    units.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        // A lead byte takes any byte after it but a NUL; at the end, or
        // before a NUL, it reads alone.
        if (table->isLead(s[i]) && i + 1 < n && s[i + 1] != 0) {
            units.push_back(table->pair(s[i], s[i + 1]));
            ++i;
        } else {
            units.push_back(table->byte(s[i]));
        }
    }
    return deliver(units.data(), units.size(), wide, cchWide);
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
    const cptables::CodePageTable* table = tableOf(codePage);
    if (table == nullptr) return 0;
    // The caller's default character is its first character, a lead and
    // trail byte in a double-byte code page; a NUL counts too.
    std::string fallback = "?";
    if (defaultChar != nullptr)
        fallback.assign(defaultChar,
                        table->isLead(static_cast<unsigned char>(*defaultChar)) && defaultChar[1] != 0 ? 2 : 1);
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        // Each half of a surrogate pair is a unit without bytes of its own.
        const std::uint16_t encoded = table->encode(wide[i]);
        if (encoded == cptables::kNoBytes) {
            out += fallback;
            if (usedDefaultChar != nullptr) *usedDefaultChar = TRUE;
        } else {
            if (encoded > 0xFF) out += static_cast<char>(encoded >> 8);
            out += static_cast<char>(encoded & 0xFF);
        }
    }
    return deliver(out.data(), out.size(), bytes, cbBytes);
}

}  // extern "C"

namespace standin {

void setAnsiCodePage(UINT codePage) { gAnsiCodePage = codePage == CP_ACP ? 1252 : codePage; }

}  // namespace standin
