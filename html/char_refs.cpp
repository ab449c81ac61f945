#include "html/char_refs.h"

#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_map>

#include "html/char_class.h"
#include "html/utf8.h"

namespace html {

namespace {

struct NamedRef {
    const char* name;
    std::uint32_t first;
    std::uint32_t second;
};

const NamedRef kNamedRefs[] = {
#include "html/html_entities_table.inc"
};
constexpr std::size_t kNamedRefCount = sizeof kNamedRefs / sizeof kNamedRefs[0];
constexpr std::size_t kLongestName = 32;

// The entry named exactly [name, name + n), or null. The table is indexed
// once, on first use: documents name a few references many times over.
const NamedRef* findNamed(const char* name, std::size_t n) {
    static const std::unordered_map<std::string_view, const NamedRef*> kIndex = [] {
        std::unordered_map<std::string_view, const NamedRef*> index;
        index.reserve(kNamedRefCount);
        for (const NamedRef& ref : kNamedRefs) index.emplace(ref.name, &ref);
        return index;
    }();
    const auto found = kIndex.find(std::string_view(name, n));
    return found != kIndex.end() ? found->second : nullptr;
}

// What browsers make of the numbers 0x80 to 0x9F: the characters of windows-1252.
const std::uint16_t kC1Replacements[32] = {
    0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178,
};

std::size_t decodeNumeric(const char* p, const char* end, std::string& out) {
    // p points at "&#".
    const char* q = p + 2;
    const bool hex = q < end && (*q == 'x' || *q == 'X');
    if (hex) ++q;
    const char* digits = q;
    std::uint32_t value = 0;
    bool overflow = false;
    while (q < end) {
        int d;
        if (*q >= '0' && *q <= '9')
            d = *q - '0';
        else if (hex && *q >= 'a' && *q <= 'f')
            d = *q - 'a' + 10;
        else if (hex && *q >= 'A' && *q <= 'F')
            d = *q - 'A' + 10;
        else
            break;
        if (!overflow) {
            value = value * (hex ? 16u : 10u) + static_cast<std::uint32_t>(d);
            if (value > 0x10FFFF) overflow = true;
        }
        ++q;
    }
    if (q == digits) return 0;  // "&#" or "&#x" with no digit: not a reference
    if (q < end && *q == ';') ++q;
    std::uint32_t cp = value;
    if (overflow || cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = 0xFFFD;
    else if (cp >= 0x80 && cp <= 0x9F)
        cp = kC1Replacements[cp - 0x80];
    appendUtf8(out, cp);
    return static_cast<std::size_t>(q - p);
}

}  // namespace

std::size_t decodeCharRef(const char* p, const char* end, bool inAttribute, std::string& out) {
    if (p + 1 >= end) return 0;
    if (p[1] == '#') return decodeNumeric(p, end, out);
    const char* name = p + 1;
    std::size_t avail = static_cast<std::size_t>(end - name);
    std::size_t n = 0;
    while (n < avail && n < kLongestName && isAsciiAlnum(name[n])) ++n;
    if (n == 0) return 0;
    // The longest name that matches, with its ";" when one follows.
    const bool semicolon = n < avail && name[n] == ';';
    const NamedRef* match = nullptr;
    std::size_t matched = 0;
    if (semicolon) {
        match = findNamed(name, n + 1);
        if (match != nullptr) matched = n + 1;
    }
    for (std::size_t len = n; match == nullptr && len > 0; --len) {
        match = findNamed(name, len);
        if (match != nullptr) matched = len;
    }
    if (match == nullptr) return 0;
    if (name[matched - 1] != ';' && inAttribute && matched < avail &&
        (isAsciiAlnum(name[matched]) || name[matched] == '='))
        return 0;
    appendUtf8(out, match->first);
    if (match->second != 0) appendUtf8(out, match->second);
    return matched + 1;
}

void appendDecoded(const char* p, const char* end, bool inAttribute, std::string& out) {
    while (p < end) {
        const char* amp = static_cast<const char*>(std::memchr(p, '&', static_cast<std::size_t>(end - p)));
        if (amp == nullptr) {
            out.append(p, static_cast<std::size_t>(end - p));
            return;
        }
        out.append(p, static_cast<std::size_t>(amp - p));
        const std::size_t taken = decodeCharRef(amp, end, inAttribute, out);
        if (taken == 0) {
            out.push_back('&');
            p = amp + 1;
        } else {
            p = amp + taken;
        }
    }
}

}  // namespace html
