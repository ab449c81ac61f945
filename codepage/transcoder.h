// Converts text from the code page a document is written in to the code
// page it is read in, a character at a time, as Windows would through
// Unicode: best fit, and "?" for what the target lacks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "codepage/code_page.h"

namespace codepage {

// Stands for the bytes of a Symbol font, which show characters of their own.
constexpr CodePage kSymbolFont = 0xFFFFFFFFu;

class Transcoder {
  public:
    // Converts into `target`, from `target` (no conversion) until setSource.
    explicit Transcoder(CodePage target = kWindowsLatin1);

    CodePage target() const { return target_; }
    CodePage source() const { return source_; }
    // Chooses the code page of the bytes that follow. A lead byte still
    // waiting for its trail byte stays pending.
    void setSource(CodePage source);
    // Whether bytes pass unchanged: the source is the target and no lead
    // byte is pending.
    bool passesThrough() const { return source_ == target_ && pendingLead_ < 0; }
    // Whether a lead byte waits for its trail byte.
    bool leadPending() const { return pendingLead_ >= 0; }

    // Converts whole characters from [`p`, `end`) into `out`, at most `room`
    // bytes (at least kMaxCharBytes), advancing `p` past what it took; answers
    // the bytes written. A lead byte at `end` waits for the next call. Stops
    // after a character the target lacks, so that lossy() can name it.
    std::size_t convert(const char*& p, const char* end, char* out, std::size_t room);
    // The character the last convert ended on, whose fallback its last
    // lossyLength() bytes are; 0 when it ended on none.
    std::uint32_t lossy() const { return lossy_; }
    std::size_t lossyLength() const { return lossyLength_; }
    // Ends a lead byte that no trail byte followed: writes "?" for it and
    // answers 1, or answers 0 when none is pending.
    std::size_t flush(char* out);
    // Forgets a pending lead byte.
    void reset() { pendingLead_ = -1; }

  private:
    struct Encoded {
        std::uint8_t length;
        char bytes[kMaxCharBytes];
        std::uint32_t lossy;  // the character the bytes are a fallback for, or 0
    };
    // One table per single-byte source: what each byte becomes.
    struct Table {
        CodePage source;
        Encoded byByte[256];
    };

    const Table& tableFor(CodePage source);
    Encoded pair(unsigned char lead, unsigned char trail) const;
    Encoded encoded(std::uint32_t codePoint) const;

    CodePage target_;
    CodePage source_;
    bool sourceDoubleByte_ = false;
    int pendingLead_ = -1;
    std::uint32_t lossy_ = 0;
    std::size_t lossyLength_ = 0;
    const Table* table_ = nullptr;  // null while the source is double-byte or the target
    std::deque<Table> tables_;      // every single-byte source met so far; never moved
};

}  // namespace codepage
