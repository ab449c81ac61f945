// Text as the "HTML Format" writer writes it: converted to UTF-8, markup
// characters escaped, line ends as <br>. Used by style/html_writer.cpp alone.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

#include "codepage/byte_utf8_table.h"
#include "codepage/code_page.h"
#include "codepage/foreign_chars.h"
#include "codepage/unicode_text.h"
#include "codepage/utf8.h"
#include "style/writer_sinks.h"

namespace htmlwriter {

// What a line end comes out as.
constexpr char kLineBreak[] = "<br>";
constexpr std::size_t kLineBreakBytes = sizeof kLineBreak - 1;

// Bytes of UTF-8 that are not copied as they are: markup characters, line
// ends, NUL and the other controls but tab.
// `stop` marks them, and `stopOrHigh` them and every byte from 0x80 up, which
// text of a single-byte code page converts through its table.
struct EscapedBytes {
    bool stop[256] = {};
    bool stopOrHigh[256] = {};
    constexpr EscapedBytes() {
        for (int c = 0; c < 0x20; ++c) stop[c] = c != '\t';
        for (unsigned char c : {'&', '<', '>', '"', '\''}) stop[c] = true;
        for (int c = 0; c < 256; ++c) stopOrHigh[c] = stop[c] || c >= 0x80;
    }
};
constexpr EscapedBytes kEscapedBytes;

// Appends the escape of the ASCII byte s[i], which kEscapedBytes.stop marks,
// of the n bytes at s; answers the index of the last byte it took.
template <class Sink>
std::size_t appendEscape(Sink& out, const char* s, std::size_t i, std::size_t n) {
    switch (s[i]) {
        case '&':
            out.append("&amp;");
            break;
        case '<':
            out.append("&lt;");
            break;
        case '>':
            out.append("&gt;");
            break;
        case '"':
            out.append("&quot;");
            break;
        case '\'':
            out.append("&#39;");
            break;
        case '\r':
            out.append(kLineBreak);
            if (i + 1 < n && s[i + 1] == '\n') ++i;
            break;
        case '\n':
            out.append(kLineBreak);
            break;
        case '\0':
            break;  // the end of CF_TEXT; not a character
        default:
            out.append("&#");
            appendDecimal(out, static_cast<int>(s[i]));
            out.put(';');
    }
    return i;
}

// Appends the n bytes at s escaped: UTF-8 as it is when `table` is null,
// else bytes of a single-byte code page, those from 0x80 up through `table`.
template <class Sink>
void appendEscapedBytes(Sink& out, const char* s, std::size_t n, const codepage::ByteUtf8Table* table) {
    const bool* const stops = table != nullptr ? kEscapedBytes.stopOrHigh : kEscapedBytes.stop;
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t plain = i;
        while (plain < n && !stops[static_cast<unsigned char>(s[plain])]) ++plain;
        out.append(s + i, plain - i);
        if (plain == n) break;
        i = plain;
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80)
            out.append(table->bytes(c), table->length(c));  // only a table stops there
        else
            i = appendEscape(out, s, i, n);
    }
}

// How many bytes each byte of a single-byte code page's text comes out as,
// by appendEscapedBytes through `table`, each escape measured by writing it;
// a CR before an LF takes it along.
struct EscapedLengths {
    unsigned char of[256] = {};
    explicit EscapedLengths(const codepage::ByteUtf8Table& table) {
        for (int c = 0; c < 0x80; ++c) {
            const char alone = static_cast<char>(c);
            CountingSink escape{kEscapedBytes.stop[c] ? 0u : 1u};
            if (kEscapedBytes.stop[c]) appendEscape(escape, &alone, 0, 1);
            of[c] = static_cast<unsigned char>(escape.size);
        }
        for (int c = 0x80; c < 0x100; ++c)
            of[c] = static_cast<unsigned char>(table.length(static_cast<unsigned char>(c)));
    }
};

// The bytes that the n bytes at s come out as when appended in one piece
// through the table `lengths` was made from: counted with no search for the
// bytes that end a plain stretch, CR LF as one line break.
inline std::size_t escapedSize(const char* s, std::size_t n, const EscapedLengths& lengths) {
    std::size_t size = 0;
    for (std::size_t i = 0; i < n; ++i) size += lengths.of[static_cast<unsigned char>(s[i])];
    for (std::size_t at = 0; at < n; ++at) {
        const void* cr = std::memchr(s + at, '\r', n - at);
        if (cr == nullptr) break;
        at = static_cast<std::size_t>(static_cast<const char*>(cr) - s);
        if (at + 1 < n && s[at + 1] == '\n') size -= kLineBreakBytes;
    }
    return size;
}

// Appends text[from, to), converted to UTF-8, escaped, line ends as <br>.
// A single-byte code page converts through `table`, a byte at a time; any
// other through `utf8`, room to convert in that is kept between calls.
template <class Sink>
void appendEscaped(Sink& out, const std::string& text, std::size_t from, std::size_t to, codepage::CodePage cp,
                   const codepage::ByteUtf8Table& table, std::string& utf8) {
    if (table.usable()) {
        appendEscapedBytes(out, text.data() + from, to - from, &table);
        return;
    }
    utf8.clear();
    codepage::appendUtf8FromCodePage(utf8, text.data() + from, to - from, cp);
    appendEscapedBytes(out, utf8.data(), utf8.size(), nullptr);
}

// appendEscaped, with each foreign character in UTF-8 in place of its
// fallback. The pieces must come in order, as the walk needs them.
template <class Sink>
void appendEscapedWalking(Sink& out, codepage::ForeignWalk& walk, const std::string& text, std::size_t from,
                          std::size_t to, codepage::CodePage cp, const codepage::ByteUtf8Table& table,
                          std::string& utf8) {
    walk.walk(
        from, to, [&](std::size_t a, std::size_t b) { appendEscaped(out, text, a, b, cp, table, utf8); },
        [&](const codepage::ForeignChar& c) {
            utf8.clear();
            codepage::appendUtf8(utf8, c.codePoint);
            out.append(utf8.data(), utf8.size());
        });
}

}  // namespace htmlwriter
