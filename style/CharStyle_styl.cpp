#include "style/CharStyle_styl.h"

#include <string>

#include "platform/winapi.h"
#include "style/clipboard_blocks.h"

namespace {

// The block: a 4-byte length, then the record: a 2-byte count and packed
// 20-byte elements, all little-endian.
constexpr std::size_t kLengthFieldSize = 4;
constexpr std::size_t kCountSize = 2;
constexpr std::size_t kElementSize = 20;

// Offsets within one element.
constexpr std::size_t kStartCharOffset = 0;
constexpr std::size_t kHeightOffset = 4;
constexpr std::size_t kAscentOffset = 6;
constexpr std::size_t kFontOffset = 8;
constexpr std::size_t kUnusedOffset = 10;
constexpr std::size_t kFaceOffset = 11;
constexpr std::size_t kSizeOffset = 12;
constexpr std::size_t kRedOffset = 14;
constexpr std::size_t kGreenOffset = 16;
constexpr std::size_t kBlueOffset = 18;

std::uint16_t loadU16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::int16_t loadI16(const unsigned char* p) { return static_cast<std::int16_t>(loadU16(p)); }
std::int32_t loadI32(const unsigned char* p) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                     (static_cast<std::uint32_t>(p[2]) << 16) |
                                     (static_cast<std::uint32_t>(p[3]) << 24));
}

void storeU16(unsigned char* p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
void storeI16(unsigned char* p, std::int16_t v) { storeU16(p, static_cast<std::uint16_t>(v)); }
void storeU32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Only the high byte of a 16-bit component carries colour; writing repeats
// the 8-bit component in both bytes (c × 257).
std::uint32_t component8(std::uint16_t c16) { return static_cast<std::uint32_t>(c16 >> 8); }
std::uint16_t component16(std::uint8_t c8) { return static_cast<std::uint16_t>(c8 * 257u); }

// Answers how many elements to read: the stated count, but never more than
// the record holds, and none for a negative count.
std::int32_t elementsHeld(const unsigned char* pRec, std::size_t recSize) {
    if (pRec == nullptr || recSize < kCountSize) return 0;
    const std::int32_t stated = loadI16(pRec);
    if (stated <= 0) return 0;
    const std::size_t fit = (recSize - kCountSize) / kElementSize;
    return static_cast<std::size_t>(stated) < fit ? stated : static_cast<std::int32_t>(fit);
}

}  // namespace

CharStyle_styl::CharStyle_styl(const char* pText, const unsigned char* pStyledScrapRec, std::size_t scrapSize)
    : CharStyle_styl(pText != nullptr ? std::string(pText) : std::string(), pStyledScrapRec, scrapSize) {}

CharStyle_styl::CharStyle_styl(std::string ownText, const unsigned char* pStyledScrapRec, std::size_t scrapSize)
    : numStyles(elementsHeld(pStyledScrapRec, scrapSize)),
      maxStyles(numStyles),
      style(static_cast<std::size_t>(maxStyles)),
      text(std::move(ownText)) {
    for (std::int32_t k = 0; k < numStyles; ++k) {
        const unsigned char* e = pStyledScrapRec + kCountSize + kElementSize * static_cast<std::size_t>(k);
        Style_t& s = style[static_cast<std::size_t>(k)];
        s.charPos = loadI32(e + kStartCharOffset);
        s.lineHeight = loadI16(e + kHeightOffset);
        s.ascent = loadI16(e + kAscentOffset);
        s.fontOrdinal = loadI16(e + kFontOffset);
        s.face = static_cast<std::int16_t>(e[kFaceOffset] << 8);
        s.size = loadI16(e + kSizeOffset);
        s.colour = (component8(loadU16(e + kRedOffset)) << 16) | (component8(loadU16(e + kGreenOffset)) << 8) |
                   component8(loadU16(e + kBlueOffset));
    }
}

CharStyle_styl* CharStyle_styl::InitFromClipboard() {
    clipboard::TextWithStyleBlock read(kFormatName);
    if (!read.hasText()) return nullptr;
    // The length field is not trusted: the block's real size bounds the
    // record. A missing or unusable style block gives a record of no runs.
    const clipboard::ByteView record = read.style().afterPrefix(kLengthFieldSize);
    return new CharStyle_styl(read.takeText(), record.data, record.size);
}

bool CharStyle_styl::clipboardHasStyle() { return CharStyle::clipboardHasStyle(kFormatName); }

std::int32_t CharStyle_styl::count() { return numStyles; }

std::int32_t CharStyle_styl::charPos(std::int32_t styleNum) {
    if (styleNum < 0 || styleNum >= numStyles) return -1;
    return style[static_cast<std::size_t>(styleNum)].charPos;
}

bool CharStyle_styl::add(std::int32_t charPos, std::int16_t size, std::int16_t face, std::uint32_t colour,
                         std::int16_t /*fontID*/) {
    if (numStyles >= maxStyles) return false;
    Style_t& s = style[static_cast<std::size_t>(numStyles)];
    s.charPos = charPos;
    // Division truncates toward zero; the sum wraps to 16 bits like the field.
    s.lineHeight = static_cast<std::int16_t>(size + size / 3);
    s.ascent = size;
    s.fontOrdinal = 0;
    s.face = face;
    s.size = size;
    s.colour = colour;
    ++numStyles;
    return true;
}

bool CharStyle_styl::addStyleToClipboard() {
    // The count field is 16 bits, and so is the count every container was made with.
    const std::int32_t n = count();
    const std::size_t styleSize = kCountSize + kElementSize * static_cast<std::size_t>(n);
    const std::size_t blockSize = kLengthFieldSize + styleSize;

    // Written where it goes: the block itself goes to the clipboard.
    HGLOBAL hClipStyle = clipboard::newFilledBlock(blockSize, [&](unsigned char* p) {
        storeU32(p, static_cast<std::uint32_t>(styleSize));
        storeI16(p + kLengthFieldSize, static_cast<std::int16_t>(n));
        for (std::int32_t k = 0; k < n; ++k) {
            const Style_t& s = style[static_cast<std::size_t>(k)];
            unsigned char* e = p + kLengthFieldSize + kCountSize + kElementSize * static_cast<std::size_t>(k);
            storeU32(e + kStartCharOffset, static_cast<std::uint32_t>(s.charPos));
            storeI16(e + kHeightOffset, s.lineHeight);
            storeI16(e + kAscentOffset, s.ascent);
            storeI16(e + kFontOffset, s.fontOrdinal);
            e[kUnusedOffset] = 0;
            e[kFaceOffset] = static_cast<unsigned char>(static_cast<std::uint16_t>(s.face) >> 8);
            storeI16(e + kSizeOffset, s.size);
            storeU16(e + kRedOffset, component16(static_cast<std::uint8_t>(s.colour >> 16)));
            storeU16(e + kGreenOffset, component16(static_cast<std::uint8_t>(s.colour >> 8)));
            storeU16(e + kBlueOffset, component16(static_cast<std::uint8_t>(s.colour)));
        }
        return true;
    });
    if (hClipStyle == nullptr) return false;
    return addBlockToClipboard(hClipStyle, RegisterClipboardFormatA(kFormatName));
}

void CharStyle_styl::setText(std::string rawText) {
    text = std::move(rawText);
    numStyles = 0;
    foreign_.clear();
}

std::string CharStyle_styl::getText() { return text; }

bool CharStyle_styl::selectStyle(std::int32_t styleNum) {
    if (styleNum < 0 || styleNum >= numStyles) return false;
    nStyle = styleNum;
    pStyle = &style[static_cast<std::size_t>(styleNum)];
    return true;
}

std::int16_t CharStyle_styl::getFace() { return pStyle != nullptr ? pStyle->face : 0; }

std::int16_t CharStyle_styl::getSize() { return pStyle != nullptr ? pStyle->size : 0; }

std::uint32_t CharStyle_styl::getRGB() { return pStyle != nullptr ? pStyle->colour & 0xFFFFFFu : 0; }
