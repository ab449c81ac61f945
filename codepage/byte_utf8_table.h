// The UTF-8 of every byte of a single-byte code page, found once through
// the same conversion as appendUtf8FromCodePage, so that a long text can be
// converted a byte at a time without a call per piece.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codepage/code_page.h"

namespace codepage {

class ByteUtf8Table {
  public:
    // The table of `cp`; not usable() for a code page whose characters may
    // take more than one byte (the double-byte ones and UTF-8).
    explicit ByteUtf8Table(CodePage cp);

    bool usable() const { return usable_; }
    // The UTF-8 of byte `b`, length(b) bytes (1 to 3).
    const char* bytes(unsigned char b) const { return entries_[b].bytes; }
    std::size_t length(unsigned char b) const { return entries_[b].length; }

  private:
    struct Entry {
        char bytes[3] = {};
        std::uint8_t length = 0;
    };
    bool usable_ = false;
    Entry entries_[256];
};

}  // namespace codepage
