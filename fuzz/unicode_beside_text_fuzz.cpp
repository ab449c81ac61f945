// The Unicode text beside CF_TEXT, as FileMaker's copy holds both, on
// arbitrary bytes: finding the characters CF_TEXT lost never reads outside
// either text, and when it answers true its list is in order, within the
// bytes, and gives back exactly the Unicode text it was found in.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "codepage/foreign_chars.h"
#include "platform/clipboard_control.h"
#include "style/unicode_text.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const UINT kAnsiCodePages[] = {1252, 1251, 932, 936, 65001};
    if (size < 2) return 0;
    const UINT cp = kAnsiCodePages[data[0] % (sizeof kAnsiCodePages / sizeof kAnsiCodePages[0])];
    standin::setAnsiCodePage(cp);
    // The rest: a byte count, that many bytes of CF_TEXT, then UTF-16 units.
    const std::size_t cb = std::min<std::size_t>(data[1], size - 2);
    std::string bytes(reinterpret_cast<const char*>(data + 2), cb);
    bytes = bytes.substr(0, bytes.find('\0'));
    const std::size_t cchWide = (size - 2 - cb) / 2;
    std::unique_ptr<std::uint16_t[]> wide(new std::uint16_t[cchWide ? cchWide : 1]);
    std::memcpy(wide.get(), data + 2 + cb, cchWide * 2);
    std::size_t units = 0;
    while (units < cchWide && wide[units] != 0) ++units;

    codepage::ForeignChars found;
    if (codepage::foreignCharsOfWideText(bytes, wide.get(), units, cp, found)) {
        std::uint32_t at = 0;
        for (const codepage::ForeignChar& c : found) {
            check(c.pos >= at && c.cb > 0 && c.pos + c.cb <= bytes.size());
            at = c.pos + c.cb;
        }
        const std::u16string back = unicodeText(bytes, cp, &found);
        check(back.size() == units && std::memcmp(back.data(), wide.get(), units * 2) == 0);
    }
    codepage::wideTextLeavesCodePage(wide.get(), units, cp);
    codepage::everyUnitInCodePage(reinterpret_cast<const unsigned char*>(wide.get()), units, cp);
    standin::setAnsiCodePage(1252);
    return 0;
}
