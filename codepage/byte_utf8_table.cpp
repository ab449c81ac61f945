#include "codepage/byte_utf8_table.h"

#include <string>

#include "codepage/unicode_text.h"

namespace codepage {

ByteUtf8Table::ByteUtf8Table(CodePage cp) {
    if (isDoubleByte(cp) || cp == kUtf8) return;
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        std::string utf8;
        appendUtf8FromCodePage(utf8, &byte, 1, cp);
        // A byte of a single-byte code page is one character of the BMP: at
        // most three bytes of UTF-8. Anything else leaves the table unused.
        if (utf8.empty() || utf8.size() > sizeof entries_[b].bytes) return;
        entries_[b].length = static_cast<std::uint8_t>(utf8.size());
        for (std::size_t i = 0; i < utf8.size(); ++i) entries_[b].bytes[i] = utf8[i];
    }
    usable_ = true;
}

}  // namespace codepage
