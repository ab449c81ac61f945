#include "html/utf8.h"

namespace html {

std::size_t validUtf8Prefix(const char* p, std::size_t n) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(p);
    std::size_t i = 0;
    while (i < n) {
        if (s[i] < 0x80) {
            ++i;
            continue;
        }
        const unsigned char b = s[i];
        std::size_t need;
        unsigned char lower = 0x80, upper = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            need = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need = 2;
            if (b == 0xE0) lower = 0xA0;
            if (b == 0xED) upper = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            need = 3;
            if (b == 0xF0) lower = 0x90;
            if (b == 0xF4) upper = 0x8F;
        } else {
            return i;
        }
        if (n - i <= need) return i;
        for (std::size_t k = 1; k <= need; ++k) {
            const unsigned char c = s[i + k];
            if (c < (k == 1 ? lower : 0x80) || c > (k == 1 ? upper : 0xBF)) return i;
        }
        i += need + 1;
    }
    return n;
}

void appendValidUtf8(std::string& out, const char* p, std::size_t n) {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(p);
    std::size_t i = 0;
    while (i < n) {
        std::size_t plain = i;
        while (plain < n && s[plain] < 0x80) ++plain;
        out.append(p + i, plain - i);
        i = plain;
        if (i == n) break;
        const unsigned char b = s[i];
        std::size_t need = 0;
        unsigned char lower = 0x80, upper = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            need = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need = 2;
            if (b == 0xE0) lower = 0xA0;
            if (b == 0xED) upper = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            need = 3;
            if (b == 0xF0) lower = 0x90;
            if (b == 0xF4) upper = 0x8F;
        } else {
            appendUtf8(out, 0xFFFD);
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        std::size_t seen = 0;
        while (seen < need && j < n) {
            const unsigned char c = s[j];
            const unsigned char lo = seen == 0 ? lower : 0x80;
            const unsigned char hi = seen == 0 ? upper : 0xBF;
            if (c < lo || c > hi) break;
            ++j;
            ++seen;
        }
        if (seen == need) {
            out.append(p + i, j - i);
        } else {
            appendUtf8(out, 0xFFFD);
        }
        i = j;
    }
}

}  // namespace html
