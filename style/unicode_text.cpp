#include "style/unicode_text.h"

#include <climits>
#include <cstring>
#include <vector>

#include "style/clipboard_blocks.h"

namespace {

// Where the units go: counted first, then written into room of that size.
// room() is where a conversion writes `took` units; null while counting.
struct UnitCounter {
    std::size_t units = 0;
    void put(std::uint16_t) { ++units; }
    std::uint16_t* room() { return nullptr; }
    void took(std::size_t n) { units += n; }
};

struct UnitWriter {
    std::uint16_t* p;
    void put(std::uint16_t u) { *p++ = u; }
    std::uint16_t* room() { return p; }
    void took(std::size_t n) { p += n; }
};

class UnicodeTextWriter {
  public:
    UnicodeTextWriter(const std::string& text, codepage::CodePage cp, const codepage::ForeignChars* foreign)
        : text_(text), cp_(cp), foreign_(foreign), singleByte_(!codepage::isDoubleByte(cp) && cp != codepage::kUtf8) {
        if (!singleByte_) return;
        // A single-byte code page gives one unit a byte: a table made with
        // one conversion.
        char bytes[256];
        for (int b = 0; b < 256; ++b) bytes[b] = static_cast<char>(b);
        WCHAR units[256] = {};
        if (MultiByteToWideChar(static_cast<UINT>(cp), 0, bytes, 256, units, 256) != 256) {
            singleByte_ = false;
            return;
        }
        for (int b = 0; b < 256; ++b) table_[b] = units[b];
    }

    template <class Sink>
    void write(Sink& out) const {
        codepage::ForeignWalk walk(foreign_);
        walk.walk(
            0, text_.size(), [&](std::size_t a, std::size_t b) { appendPlain(out, a, b); },
            [&](const codepage::ForeignChar& c) { appendCodePoint(out, c.codePoint); });
    }

  private:
    template <class Sink>
    static void appendCodePoint(Sink& out, std::uint32_t cp) {
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            out.put(static_cast<std::uint16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.put(static_cast<std::uint16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.put(static_cast<std::uint16_t>(cp <= 0xFFFF ? cp : 0xFFFD));
        }
    }

    // Bytes of text[from, to) converted, NUL left out. NUL is never part of
    // another character in any code page CF_TEXT can be in.
    template <class Sink>
    void appendPlain(Sink& out, std::size_t from, std::size_t to) const {
        const char* s = text_.data();
        std::size_t i = from;
        while (i < to) {
            const void* nul = std::memchr(s + i, '\0', to - i);
            const std::size_t end = nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - s) : to;
            convert(out, s + i, end - i);
            i = end + 1;
        }
    }

    template <class Sink>
    void convert(Sink& out, const char* p, std::size_t n) const {
        if (singleByte_) {
            for (std::size_t k = 0; k < n; ++k) out.put(table_[static_cast<unsigned char>(p[k])]);
            return;
        }
        while (n > 0) {
            std::size_t piece = n < kChunk ? n : kChunk;
            // Whole characters only.
            if (piece < n) {
                if (cp_ == codepage::kUtf8) {
                    while (piece > 1 && (static_cast<unsigned char>(p[piece]) & 0xC0) == 0x80) --piece;
                } else {
                    std::size_t k = 0;
                    while (k < piece) k += codepage::isLeadByte(cp_, static_cast<unsigned char>(p[k])) ? 2 : 1;
                    piece = k;
                }
            }
            const int units =
                MultiByteToWideChar(static_cast<UINT>(cp_), 0, p, static_cast<int>(piece), nullptr, 0);
            if (units > 0) {
                std::uint16_t* room = out.room();
                if (room != nullptr)
                    MultiByteToWideChar(static_cast<UINT>(cp_), 0, p, static_cast<int>(piece),
                                        reinterpret_cast<WCHAR*>(room), units);
                out.took(static_cast<std::size_t>(units));
            }
            p += piece;
            n -= piece;
        }
    }

    static constexpr std::size_t kChunk = 1 << 20;

    const std::string& text_;
    codepage::CodePage cp_;
    const codepage::ForeignChars* foreign_;
    bool singleByte_;
    std::uint16_t table_[256] = {};
};

}  // namespace

std::u16string unicodeText(const std::string& text, codepage::CodePage cp, const codepage::ForeignChars* foreign) {
    const UnicodeTextWriter writer(text, cp, foreign);
    UnitCounter count;
    writer.write(count);
    std::u16string out(count.units, u'\0');
    UnitWriter sink{reinterpret_cast<std::uint16_t*>(&out[0])};
    if (count.units > 0) writer.write(sink);
    return out;
}

HGLOBAL newUnicodeTextBlock(const std::string& text, codepage::CodePage cp, const codepage::ForeignChars* foreign) {
    const UnicodeTextWriter writer(text, cp, foreign);
    UnitCounter count;
    writer.write(count);
    if (count.units >= UINT32_MAX / 2 - 1) return nullptr;
    return clipboard::newFilledBlock((count.units + 1) * 2, [&](unsigned char* p) {
        UnitWriter sink{reinterpret_cast<std::uint16_t*>(p)};
        writer.write(sink);
        *sink.p = 0;
        return true;
    });
}

std::vector<std::uint16_t> clipboardUnicodeText() {
    std::vector<std::uint16_t> wide;
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return wide;
    const clipboard::LockedBlock block(CF_UNICODETEXT);
    const clipboard::ByteView& view = block.view();
    if (view.data == nullptr) return wide;
    std::size_t units = 0;
    const std::size_t capacity = view.size / 2;
    while (units < capacity && (view.data[2 * units] | view.data[2 * units + 1]) != 0) ++units;
    wide.resize(units);
    if (units > 0) std::memcpy(wide.data(), view.data, units * 2);
    return wide;
}

bool clipboardUnicodeTextLeavesAnsi() {
    const std::vector<std::uint16_t> wide = clipboardUnicodeText();
    return codepage::wideTextLeavesCodePage(wide.data(), wide.size(), codepage::ansiCodePage());
}
