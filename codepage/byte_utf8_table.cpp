#include "codepage/byte_utf8_table.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "codepage/code_page.h"

#include "codepage/unicode_text.h"
#include "codepage/utf8.h"

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
    keepsAscii_ = true;
    for (int b = 0; b < 0x80; ++b)
        keepsAscii_ = keepsAscii_ && entries_[b].length == 1 && entries_[b].bytes[0] == static_cast<char>(b);
}

namespace {

// Whether the eight bytes at s are all below 0x80.
bool eightAscii(const char* s) {
    std::uint64_t eight;
    std::memcpy(&eight, s, sizeof eight);
    return (eight & 0x8080808080808080u) == 0;
}

}  // namespace

std::size_t ByteUtf8Table::toUtf8(const char* s, std::size_t n, char* out) const {
    char* q = out;
    for (std::size_t i = 0; i < n;) {
        if (keepsAscii_ && n - i >= 8 && eightAscii(s + i)) {
            std::memcpy(q, s + i, 8);
            q += 8;
            i += 8;
            continue;
        }
        const Entry& e = entries_[static_cast<unsigned char>(s[i++])];
        for (std::size_t k = 0; k < e.length; ++k) *q++ = e.bytes[k];
    }
    return static_cast<std::size_t>(q - out);
}

std::size_t ByteUtf8Table::utf8Size(const char* s, std::size_t n) const {
    std::size_t size = 0;
    for (std::size_t i = 0; i < n;) {
        if (keepsAscii_ && n - i >= 8 && eightAscii(s + i)) {
            size += 8;
            i += 8;
            continue;
        }
        size += entries_[static_cast<unsigned char>(s[i++])].length;
    }
    return size;
}

const ByteUtf8Table& ByteUtf8Table::of(CodePage cp) {
    // One per code page met, kept for the life of the module, never moved: a
    // document being written holds one while others may be asked for. Not
    // kept per thread: a thread's objects are destroyed when the thread
    // ends, which may be after the host unloaded the plug-in.
    static std::mutex guard;
    static std::map<CodePage, std::unique_ptr<ByteUtf8Table>> tables;
    const std::lock_guard<std::mutex> lock(guard);
    std::unique_ptr<ByteUtf8Table>& table = tables[cp];
    if (table == nullptr) table = std::make_unique<ByteUtf8Table>(cp);
    return *table;
}

namespace {

// Decodes the UTF-8 character at p[0, n) of more than one byte; answers its
// length, or 0 when it is not a well-formed one.
std::size_t decodeUtf8(const unsigned char* p, std::size_t n, std::uint32_t& codePoint) {
    const unsigned char c = p[0];
    const std::size_t len = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (len == 0 || len > n) return 0;
    std::uint32_t cp = c & (0x7F >> len);
    for (std::size_t k = 1; k < len; ++k) {
        if ((p[k] & 0xC0) != 0x80) return 0;
        cp = cp << 6 | (p[k] & 0x3F);
    }
    static const std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    codePoint = cp;
    return len;
}

}  // namespace

const AnsiFromUtf8Encoder& AnsiFromUtf8Encoder::current() {
    // Kept as ByteUtf8Table::of keeps its tables, and for the same reasons.
    static std::mutex guard;
    static std::map<CodePage, std::unique_ptr<AnsiFromUtf8Encoder>> encoders;
    const CodePage cp = ansiCodePage();
    {
        const std::lock_guard<std::mutex> lock(guard);
        auto found = encoders.find(cp);
        if (found != encoders.end()) return *found->second;
    }
    // Made outside the lock: making one asks ByteUtf8Table::of.
    auto made = std::make_unique<AnsiFromUtf8Encoder>();
    const std::lock_guard<std::mutex> lock(guard);
    std::unique_ptr<AnsiFromUtf8Encoder>& encoder = encoders[cp];
    if (encoder == nullptr) encoder = std::move(made);
    return *encoder;
}

AnsiFromUtf8Encoder::AnsiFromUtf8Encoder() {
    const ByteUtf8Table& table = ByteUtf8Table::of(ansiCodePage());
    if (!table.usable()) return;
    for (int b = 0x80; b < 0x100; ++b) {
        const unsigned char byte = static_cast<unsigned char>(b);
        std::uint32_t cp = 0;
        if (decodeUtf8(reinterpret_cast<const unsigned char*>(table.bytes(byte)), table.length(byte), cp) !=
            table.length(byte))
            continue;
        // Kept only where the conversion gives this byte back for the character.
        std::string back;
        appendAnsiFromUtf8(back, table.bytes(byte), table.length(byte));
        if (back.size() == 1 && static_cast<unsigned char>(back[0]) == byte) byteOf_.emplace(cp, back[0]);
    }
    usable_ = true;
}

void AnsiFromUtf8Encoder::append(std::string& out, const char* p, std::size_t n, ForeignChars* foreign) const {
    if (!usable_) {
        const std::size_t at = out.size();
        appendAnsiFromUtf8(out, p, n);
        if (foreign == nullptr) return;
        // Nearly always the text comes back whole; only when it does not is
        // it converted again a character at a time, to find what did not.
        std::string back;
        appendUtf8FromAnsi(back, out.data() + at, out.size() - at);
        if (back.size() == n && std::memcmp(back.data(), p, n) == 0) return;
        out.resize(at);
        appendFromUtf8Noting(out, p, n, ansiCodePage(), *foreign);
        return;
    }
    const unsigned char* const s = reinterpret_cast<const unsigned char*>(p);
    std::size_t i = 0;
    while (i < n) {
        i = appendAsciiRun(out, p, i, n);
        if (i == n) return;
        std::uint32_t cp = 0;
        const std::size_t len = decodeUtf8(s + i, n - i, cp);
        if (len == 0) {
            // Not UTF-8 from here: the rest as the conversion makes it.
            if (foreign != nullptr)
                appendFromUtf8Noting(out, p + i, n - i, ansiCodePage(), *foreign);
            else
                appendAnsiFromUtf8(out, p + i, n - i);
            return;
        }
        const auto found = byteOf_.find(cp);
        if (found != byteOf_.end()) {
            out.push_back(found->second);
        } else {
            // Every character the code page has exactly is in byteOf_: this
            // one becomes a fallback.
            const std::size_t at = out.size();
            appendAnsiFromUtf8(out, p + i, len);
            if (foreign != nullptr && out.size() > at)
                foreign->push_back(
                    ForeignChar{static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(out.size() - at), cp});
        }
        i += len;
    }
}

}  // namespace codepage
