// The "HTML Format" writer on arbitrary text, runs and foreign characters:
// the block written into room of its counted size, whole and in two parts,
// is byte for byte the block written in one pass, and nothing is written
// past the counted size.
// Input: a code page byte, text, "\xFF\xFE|", runs of 12 bytes each (start,
// face, size, colour), "\xFF\xFE|", foreign characters of 12 bytes each
// (position, length, code point).
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_common.h"
#include "style/html_writer.h"

namespace {

template <class T>
T take(const std::string& bytes, std::size_t at) {
    T value;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

// The block written into room of exactly its counted size, with a guard
// after it that must stay untouched.
std::string counted(const HtmlDocument& document) {
    const std::size_t size = document.size();
    std::string room(size + 16, '\x5A');
    document.writeTo(&room[0]);
    fuzz::check(room.compare(size, 16, std::string(16, '\x5A')) == 0);
    return room.substr(0, size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const codepage::CodePage kCodePages[] = {1252, 1251, 1253, 932, 936, codepage::kUtf8};
    const codepage::CodePage cp = kCodePages[data[0] % (sizeof kCodePages / sizeof kCodePages[0])];
    const std::vector<std::string> parts = fuzz::split(data + 1, size - 1, 3);
    const std::string& text = parts[0];
    std::vector<StyleRuns::Run> runs;
    for (std::size_t at = 0; at + 12 <= parts[1].size(); at += 12)
        runs.push_back(StyleRuns::Run{take<std::int32_t>(parts[1], at), take<std::int16_t>(parts[1], at + 4),
                                      take<std::int16_t>(parts[1], at + 6), take<std::uint32_t>(parts[1], at + 8)});
    codepage::ForeignChars foreign;
    for (std::size_t at = 0; at + 12 <= parts[2].size(); at += 12)
        foreign.push_back(codepage::ForeignChar{
            static_cast<std::uint32_t>(take<std::uint32_t>(parts[2], at) % (text.size() + 1)),
            take<std::uint32_t>(parts[2], at + 4) % 4, take<std::uint32_t>(parts[2], at + 8) % 0x110000});

    const std::string oneByOne = HtmlDocument(text, runs, cp, &foreign, SIZE_MAX).block();
    fuzz::check(counted(HtmlDocument(text, runs, cp, &foreign, SIZE_MAX)) == oneByOne);
    fuzz::check(counted(HtmlDocument(text, runs, cp, &foreign, 1)) == oneByOne);
    fuzz::check(counted(HtmlDocument(text, runs, cp, nullptr, 1)) == HtmlDocument(text, runs, cp).block());
    return 0;
}
