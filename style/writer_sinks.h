// Where a writer puts a document: counted first, then written into room of
// exactly the counted size (a clipboard block), so that both passes share
// every decision and a large document is never held twice.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstring>
#include <string>

struct CountingSink {
    std::size_t size = 0;
    void append(const char*, std::size_t n) { size += n; }
    template <std::size_t N>
    void append(const char (&)[N]) {
        size += N - 1;
    }
    void put(char) { ++size; }
};

struct WritingSink {
    char* p;
    void append(const char* s, std::size_t n) {
        std::memcpy(p, s, n);
        p += n;
    }
    template <std::size_t N>
    void append(const char (&s)[N]) {
        append(s, N - 1);
    }
    void put(char c) { *p++ = c; }
};

// Appends to a string, for a writer that makes its output in one pass.
struct StringSink {
    std::string& out;
    void append(const char* s, std::size_t n) { out.append(s, n); }
    template <std::size_t N>
    void append(const char (&s)[N]) {
        out.append(s, N - 1);
    }
    void put(char c) { out.push_back(c); }
};

// Appends `value` in decimal.
template <class Sink>
void appendDecimal(Sink& out, long value) {
    char digits[24];
    const std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, static_cast<std::size_t>(r.ptr - digits));
}
