// The conversions of one code page to and from UTF-16 exactly as Windows makes
// them, best fit included, from tables that generate_tables.exe took from
// Wine's MultiByteToWideChar and WideCharToMultiByte (see generate.sh).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace cptables {

// The compact form the generator writes. A run list is a sequence of
// records [first, header, values...]: header's low 14 bits count the codes
// from `first` on, its top two bits say how their values follow: kRunStep,
// one value that grows by one a code; kRunSame, one value for all of them;
// kRunList, one value each.
constexpr std::uint16_t kRunStep = 0x0000;
constexpr std::uint16_t kRunSame = 0x4000;
constexpr std::uint16_t kRunList = 0x8000;
constexpr std::uint16_t kRunKind = 0xC000;
constexpr std::uint16_t kRunCountMax = 0x3FFF;

// What a character encodes to when the code page lacks it and has no best
// fit for it: the default character.
constexpr std::uint16_t kNoBytes = 0xFFFF;

struct Source {
    std::uint32_t codePage;
    const std::uint16_t* bytes;  // 256: each byte alone; a lead byte's is what it gives with no trail byte
    const std::uint32_t* leads;  // 8 words, one bit a byte: the lead bytes; null for single-byte pages
    std::uint16_t pairDefault;   // what a lead and trail byte give where the pairs' runs say nothing
    const std::uint16_t* pairs;  // runs over lead << 8 | trail
    std::size_t pairsSize;
    const std::uint16_t* encodings;  // runs over UTF-16 units: their bytes where they differ from the
    std::size_t encodingsSize;       // first bytes that decode to them, kNoBytes for the default character
};

// Every code page the tables hold, and their number.
extern const Source* const kSources[];
extern const std::size_t kSourceCount;

class CodePageTable {
  public:
    // The table of `codePage`, built on first use (safe from any thread),
    // or null when the tables lack it.
    static const CodePageTable* find(std::uint32_t codePage);

    explicit CodePageTable(const Source& source);

    bool doubleByte() const { return doubleByte_; }
    bool isLead(unsigned char byte) const { return (leads_[byte >> 5] >> (byte & 31) & 1) != 0; }
    // The unit of a byte alone, or of a lead byte that no trail byte follows.
    std::uint16_t byte(unsigned char byte) const { return bytes_[byte]; }
    // The unit of a lead byte and the byte after it, unless that is a NUL:
    // a lead byte before a NUL reads as if alone.
    std::uint16_t pair(unsigned char lead, unsigned char trail) const {
        return pairs_[static_cast<std::size_t>(leadIndex_[lead]) << 8 | trail];
    }
    // The bytes of `unit`: one byte below 0x100, else lead << 8 | trail;
    // kNoBytes when the code page writes its default character for it.
    std::uint16_t encode(std::uint16_t unit) const {
        return encodingPages_[static_cast<std::size_t>(encodingPageOf_[unit >> 8]) << 8 | (unit & 0xFF)];
    }

  private:
    bool doubleByte_ = false;
    std::uint32_t leads_[8] = {};
    std::uint16_t bytes_[256] = {};
    std::uint8_t leadIndex_[256] = {};
    std::vector<std::uint16_t> pairs_;
    // The bytes of every unit, 256 units a page. A page without one unit the
    // code page writes is page 0, all kNoBytes: a single-byte code page
    // writes units of few pages, and a process need not hold 128 KB for each
    // code page it converts.
    std::uint16_t encodingPageOf_[256] = {};
    std::vector<std::uint16_t> encodingPages_;
    void setEncoding(std::uint16_t unit, std::uint16_t bytes);
};

// Calls `put(code, value)` for each code of the run list [runs, runs + size),
// stopping at a record that does not fit in it.
template <class Put>
void forEachRun(const std::uint16_t* runs, std::size_t size, Put put) {
    std::size_t i = 0;
    while (size - i >= 3) {
        const std::uint32_t first = runs[i];
        const std::uint16_t kind = runs[i + 1] & kRunKind;
        const std::uint32_t count = runs[i + 1] & kRunCountMax;
        i += 2;
        if (kind == kRunList) {
            if (size - i < count) return;
            for (std::uint32_t k = 0; k < count; ++k) put(first + k, runs[i + k]);
            i += count;
        } else {
            const std::uint16_t value = runs[i++];
            for (std::uint32_t k = 0; k < count; ++k)
                put(first + k, static_cast<std::uint16_t>(kind == kRunStep ? value + k : value));
        }
    }
}

}  // namespace cptables
