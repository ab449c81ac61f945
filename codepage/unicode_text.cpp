#include "codepage/unicode_text.h"

#include <vector>

#include "codepage/code_page.h"
#include "platform/winapi.h"

namespace codepage {

namespace {

// Pieces converted at once: the calls take int sizes, and the UTF-16 copy stays small.
constexpr std::size_t kChunk = 1 << 20;

// Converts [p, p + n) from `from` to `to` through UTF-16 and appends it.
void convertPiece(std::string& out, const char* p, std::size_t n, UINT from, UINT to) {
    if (n == 0) return;
    // ASCII is the same in every ANSI code page and in UTF-8.
    std::size_t ascii = 0;
    while (ascii < n && static_cast<unsigned char>(p[ascii]) < 0x80) ++ascii;
    if (ascii == n) {
        out.append(p, n);
        return;
    }
    const int wide = MultiByteToWideChar(from, 0, p, static_cast<int>(n), nullptr, 0);
    if (wide <= 0) return;
    std::vector<WCHAR> units(static_cast<std::size_t>(wide));
    MultiByteToWideChar(from, 0, p, static_cast<int>(n), units.data(), wide);
    const int bytes = WideCharToMultiByte(to, 0, units.data(), wide, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return;
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(bytes));
    WideCharToMultiByte(to, 0, units.data(), wide, &out[at], bytes, nullptr, nullptr);
}

}  // namespace

void appendAnsiFromUtf8(std::string& out, const char* p, std::size_t n) {
    while (n > 0) {
        std::size_t piece = n < kChunk ? n : kChunk;
        // End a piece on a character's first byte, never inside one.
        if (piece < n)
            while (piece > 1 && (static_cast<unsigned char>(p[piece]) & 0xC0) == 0x80) --piece;
        convertPiece(out, p, piece, CP_UTF8, CP_ACP);
        p += piece;
        n -= piece;
    }
}

void appendUtf8FromAnsi(std::string& out, const char* p, std::size_t n) {
    appendUtf8FromCodePage(out, p, n, ansiCodePage());
}

void appendUtf8FromCodePage(std::string& out, const char* p, std::size_t n, CodePage cp) {
    // The ANSI code page by its number converts as CP_ACP does.
    while (n > 0) {
        std::size_t piece = n < kChunk ? n : kChunk;
        if (piece < n && isDoubleByte(cp)) {
            // Whole characters only: walk the piece from its start.
            std::size_t i = 0;
            while (i < piece) i += isLeadByte(cp, static_cast<unsigned char>(p[i])) ? 2 : 1;
            piece = i;
        }
        convertPiece(out, p, piece, static_cast<UINT>(cp), CP_UTF8);
        p += piece;
        n -= piece;
    }
}

}  // namespace codepage
