// The UTF-8 of every byte of a single-byte code page, found once through
// the same conversion as appendUtf8FromCodePage, so that a long text can be
// converted a byte at a time without a call per piece.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "codepage/code_page.h"
#include "codepage/foreign_chars.h"

namespace codepage {

class ByteUtf8Table {
  public:
    // The table of `cp`; not usable() for a code page whose characters may
    // take more than one byte (the double-byte ones and UTF-8).
    explicit ByteUtf8Table(CodePage cp);

    // The table of `cp`, made once: a conversion through Windows per byte
    // costs more than writing a small document. Safe from any thread.
    static const ByteUtf8Table& of(CodePage cp);

    bool usable() const { return usable_; }
    // The UTF-8 of byte `b`, length(b) bytes (1 to 3).
    const char* bytes(unsigned char b) const { return entries_[b].bytes; }
    std::size_t length(unsigned char b) const { return entries_[b].length; }

    // Writes the UTF-8 of the n bytes at s to `out`, which has room for
    // 3 * n bytes, and answers how many bytes it wrote.
    std::size_t toUtf8(const char* s, std::size_t n, char* out) const;
    // How many bytes toUtf8 writes for the n bytes at s.
    std::size_t utf8Size(const char* s, std::size_t n) const;

  private:
    struct Entry {
        char bytes[3] = {};
        std::uint8_t length = 0;
    };
    bool usable_ = false;
    // Every byte below 0x80 stands for itself, as in every ANSI code page:
    // eight of them at once can then be copied as they are.
    bool keepsAscii_ = false;
    Entry entries_[256];
};

// Converts UTF-8 into the ANSI code page, when that is a single-byte one, a
// character at a time: the characters of its bytes from a table made once,
// any other through appendAnsiFromUtf8 (Windows' best fit or "?"), so that
// the result is exactly appendAnsiFromUtf8's.
class AnsiFromUtf8Encoder {
  public:
    AnsiFromUtf8Encoder();

    // The encoder of the ANSI code page as it is now, made once a code page.
    static const AnsiFromUtf8Encoder& current();

    // Appends the UTF-8 bytes [p, p + n) in the ANSI code page to `out`;
    // with `foreign`, notes there each character that became a fallback.
    void append(std::string& out, const char* p, std::size_t n, ForeignChars* foreign = nullptr) const;

  private:
    bool usable_ = false;
    std::unordered_map<std::uint32_t, char> byteOf_;  // code point -> the byte that is exactly it
};

}  // namespace codepage
