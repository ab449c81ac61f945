#include "style/CharStyle_FMcs.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

#include "codepage/code_page.h"
#include "platform/winapi.h"
#include "style/clipboard_blocks.h"
#include "style/unicode_text.h"

static_assert(sizeof(CharStyle_FMcs::Segment_t) == 8, "a segment is one 8-byte record of the block");
static_assert(sizeof(CharStyle_FMcs::Style_t) == 20, "a style is one 20-byte record of the block");

namespace {

// The block: a little-endian length prefix, then big-endian counts and records.
constexpr std::size_t kLengthPrefixSize = 4;
constexpr std::size_t kCountSize = 4;
constexpr std::size_t kSegmentRecordSize = 8;
constexpr std::size_t kStyleRecordSize = 20;

// What `add` gives every style it creates.
constexpr std::int32_t kCreatedUnknown = 12;
constexpr std::uint32_t kOpaqueAlpha = 0xFF;

// Enabled-mask bits: which attribute groups a style states.
constexpr std::uint16_t kEnabledSize = 0x0002;
constexpr std::uint16_t kEnabledColour = 0x0004;

// Face bits, and the enabled bit of the group they belong to.
struct FaceGroup {
    std::uint16_t faceBits;
    std::uint16_t enabledBit;
};
constexpr FaceGroup kFaceGroups[] = {
    {kFaceBold, 0x0010},
    {kFaceItalic, 0x0020},
    {kFaceUnderline | kFaceWordUnderline | kFaceDoubleUnderline, 0x0100},
    {kFaceCondensed | kFaceExtended, 0x0200},
    {kFaceStrikethrough, 0x0400},
    {kFaceSmallCaps, 0x0800},
    {0x0010 | 0x0020, 0x1000},
    {kFaceSuperscript | kFaceSubscript, 0x2000},
};

std::int16_t enabledFaceFor(std::int16_t size, std::int16_t face, std::uint32_t colour) {
    std::uint16_t enabled = 0;
    if (colour != 0) enabled |= kEnabledColour;  // black states no colour
    if (size > 0) enabled |= kEnabledSize;
    const std::uint16_t faceBits = static_cast<std::uint16_t>(face);
    for (const FaceGroup& group : kFaceGroups)
        if ((faceBits & group.faceBits) != 0) enabled |= group.enabledBit;
    return static_cast<std::int16_t>(enabled);
}

// Walks a block whose length the caller has already checked.
class BigEndianReader {
  public:
    explicit BigEndianReader(const unsigned char* p) : p_(p) {}
    std::int32_t int32() { return WinReverseBytes(load<std::int32_t>()); }
    std::uint32_t uint32() { return WinReverseBytes(load<std::uint32_t>()); }
    std::int16_t int16() { return WinReverseBytes(load<std::int16_t>()); }

  private:
    template <typename T>
    T load() {
        T value;
        std::memcpy(&value, p_, sizeof value);
        p_ += sizeof value;
        return value;
    }
    const unsigned char* p_;
};

class BigEndianWriter {
  public:
    explicit BigEndianWriter(unsigned char* p) : p_(p) {}
    void int32(std::int32_t v) { store(WinReverseBytes(v)); }
    void uint32(std::uint32_t v) { store(WinReverseBytes(v)); }
    void int16(std::int16_t v) { store(WinReverseBytes(v)); }
    // The one field in host order.
    void hostUint32(std::uint32_t v) { store(v); }

  private:
    template <typename T>
    void store(T value) {
        std::memcpy(p_, &value, sizeof value);
        p_ += sizeof value;
    }
    unsigned char* p_;
};

}  // namespace

void XPReverseBytes(void* ptr, std::int16_t size) {
    unsigned char* bytes = static_cast<unsigned char*>(ptr);
    for (int i = 0; i < size / 2; ++i) {
        const unsigned char b = bytes[i];
        bytes[i] = bytes[size - 1 - i];
        bytes[size - 1 - i] = b;
    }
}

std::int16_t WinReverseBytes(std::int16_t in) {
    XPReverseBytes(&in, sizeof in);
    return in;
}

std::int32_t WinReverseBytes(std::int32_t in) {
    XPReverseBytes(&in, sizeof in);
    return in;
}

std::uint32_t WinReverseBytes(std::uint32_t in) {
    XPReverseBytes(&in, sizeof in);
    return in;
}

CharStyle_FMcs::CharStyle_FMcs(const char* s, std::int32_t maxStyles)
    : CharStyle_FMcs(s != nullptr ? std::string(s) : std::string(), maxStyles, true) {}

CharStyle_FMcs::CharStyle_FMcs(std::string s, std::int32_t maxStyles, bool bIndexed)
    : maxStyleSegments(maxStyles > 0 ? maxStyles : 0), maxUniqueStyles(maxStyleSegments), text(std::move(s)) {
    // Room for the whole capacity at once, so that records never move; pages
    // of it that no record reaches are never touched. Documents with many
    // runs share few styles.
    segment.reserve(static_cast<std::size_t>(maxStyleSegments));
    style.reserve(static_cast<std::size_t>(maxUniqueStyles));
    if (bIndexed) allocateStyleIndex();
}

std::size_t CharStyle_FMcs::styleIndexSlotsMax() const {
    // The tables already have room for maxUniqueStyles records, so twice that
    // many slots fits in size_t.
    std::size_t slots = 1;
    while (slots < 2 * static_cast<std::size_t>(maxUniqueStyles)) slots <<= 1;
    return slots;
}

void CharStyle_FMcs::allocateStyleIndex() {
    if (maxUniqueStyles == 0) return;
    const std::size_t slotsMax = styleIndexSlotsMax();
    styleIndex.assign(slotsMax < kStyleIndexSlotsFirst ? slotsMax : kStyleIndexSlotsFirst, 0);
}

bool CharStyle_FMcs::makeRoomInStyleIndex() {
    // Kept at most half full, so probes stay short; at its largest it holds
    // twice the style capacity and never needs more.
    const std::size_t needed = 2 * (static_cast<std::size_t>(numUniqueStyles) + 1);
    if (needed <= styleIndex.size() || styleIndex.size() >= styleIndexSlotsMax()) return true;
    try {
        std::vector<std::uint64_t> grown(2 * styleIndex.size(), 0);
        const std::size_t mask = grown.size() - 1;
        for (std::int32_t j = 0; j < numUniqueStyles; ++j) {
            const Style_t& s = style[static_cast<std::size_t>(j)];
            const std::uint64_t hash = styleHash(s.size, s.face, s.colour);
            std::size_t slot = static_cast<std::size_t>(hash) & mask;
            while (grown[slot] != 0) slot = (slot + 1) & mask;
            grown[slot] = (hash & kTagMask) | static_cast<std::uint32_t>(j + 1);
        }
        styleIndex.swap(grown);
    } catch (const std::bad_alloc&) {
        // Fuller probes still work as long as one slot stays empty.
        return needed / 2 < styleIndex.size();
    }
    return true;
}

CharStyle_FMcs::CharStyle_FMcs(CharStyle* pStyle) : CharStyle_FMcs("", pStyle->count()) { copy(this, pStyle); }

CharStyle_FMcs* CharStyle_FMcs::InitFromClipboard() {
    clipboard::TextWithStyleBlock read(kFormatName);
    if (!read.hasText()) return nullptr;
    // The length prefix is the system's and is not trusted: the block's real
    // size bounds the decoding.
    const clipboard::ByteView styleData = read.style().afterPrefix(kLengthPrefixSize);
    // No usable style block: answering none, rather than unstyled text, lets
    // the caller fall back on another styled source.
    if (styleData.data == nullptr) return nullptr;
    return InitFromTextAndData(read.takeText(), styleData.data, styleData.size);
}

CharStyle_FMcs* CharStyle_FMcs::InitFromData(const char* pText, const unsigned char* pStyleData,
                                             std::size_t styleDataSize) {
    return InitFromTextAndData(pText != nullptr ? std::string(pText) : std::string(), pStyleData, styleDataSize);
}

CharStyle_FMcs* CharStyle_FMcs::InitFromTextAndData(std::string text, const unsigned char* pStyleData,
                                                    std::size_t styleDataSize) {
    std::size_t remaining = styleDataSize;
    if (remaining < kCountSize) return nullptr;
    BigEndianReader in(pStyleData);
    const std::int32_t segCount = in.int32();
    remaining -= kCountSize;
    // Checked before anything is allocated, so a hostile count costs nothing.
    if (segCount < 0 || static_cast<std::size_t>(segCount) > remaining / kSegmentRecordSize) return nullptr;
    remaining -= static_cast<std::size_t>(segCount) * kSegmentRecordSize;

    // A read object is full: it needs the style index only once setText
    // has emptied it.
    std::unique_ptr<CharStyle_FMcs> result(new CharStyle_FMcs(std::move(text), segCount, false));
    result->segment.resize(static_cast<std::size_t>(segCount));
    for (std::int32_t k = 0; k < segCount; ++k) {
        result->segment[static_cast<std::size_t>(k)].charPos = in.int32();
        result->segment[static_cast<std::size_t>(k)].uniqueStyle = in.int32();
    }
    result->numStyleSegments = segCount;

    if (remaining < kCountSize) return nullptr;
    const std::int32_t styleCount = in.int32();
    remaining -= kCountSize;
    // The style table has room for segCount styles only.
    if (styleCount < 0 || styleCount > segCount || static_cast<std::size_t>(styleCount) > remaining / kStyleRecordSize)
        return nullptr;
    for (std::int32_t k = 0; k < segCount; ++k) {
        const std::int32_t unique = result->segment[static_cast<std::size_t>(k)].uniqueStyle;
        if (unique < 0 || unique >= styleCount) return nullptr;
    }
    result->style.resize(static_cast<std::size_t>(styleCount));
    for (std::int32_t j = 0; j < styleCount; ++j) {
        Style_t& s = result->style[static_cast<std::size_t>(j)];
        s.usageCount = in.int32();
        s.unknown = in.int32();
        s.enabledFace = in.int16();
        s.fontOrdinal = in.int16();
        s.face = in.int16();
        s.size = in.int16();
        s.colour = in.uint32();
    }
    result->numUniqueStyles = styleCount;
    return result.release();
}

bool CharStyle_FMcs::clipboardHasStyle() { return CharStyle::clipboardHasStyle(kFormatName); }

void CharStyle_FMcs::readForeignFromClipboard() {
    clipboard::OpenedClipboard open;
    const codepage::CodePage cp = codepage::ansiCodePage();
    // In UTF-8 CF_TEXT holds every character itself.
    if (!open.isOpen() || cp == codepage::kUtf8 || !IsClipboardFormatAvailable(CF_UNICODETEXT)) return;
    {
        // Looked at in place first: nearly always every character is one
        // the code page has, and nothing more is needed.
        const clipboard::LockedBlock block(CF_UNICODETEXT);
        const clipboard::ByteView& view = block.view();
        if (view.data == nullptr || codepage::everyUnitInCodePage(view.data, view.size / 2, cp)) return;
    }
    const std::vector<std::uint16_t> wide = clipboardUnicodeText();
    codepage::ForeignChars found;
    std::string unused;
    if (!wide.empty() && codepage::foreignCharsOfWideText(textForReading(unused), wide.data(), wide.size(), cp, found))
        foreign_ = std::move(found);
}

bool CharStyle_FMcs::addTextToClipboard() {
    if (!textBlock_.held()) return addToClipboard(text.c_str(), CF_TEXT);
    HGLOBAL copied = textBlock_.copy();
    return copied != nullptr && addBlockToClipboard(copied, CF_TEXT);
}

bool CharStyle_FMcs::moveTextToClipboard() {
    if (textBlock_.held()) return addBlockToClipboard(textBlock_.release(), CF_TEXT);
    const bool added = addTextToClipboard();
    std::string().swap(text);
    return added;
}

std::string_view CharStyle_FMcs::textForReading(std::string&) {
    return textBlock_.held() ? textBlock_.view() : std::string_view(text);
}

void CharStyle_FMcs::takeTextWithLineEndsMadeCr(std::string_view source) {
    setText(std::string());
    // Each CR LF becomes one CR: the block is made exactly that much shorter.
    std::size_t length = source.size();
    for (std::size_t lf = source.find('\n', 1); lf != std::string_view::npos; lf = source.find('\n', lf + 1))
        if (source[lf - 1] == '\r') --length;
    HGLOBAL block = clipboard::newFilledBlock(length + 1, [&](unsigned char* p) {
        char* to = reinterpret_cast<char*>(p);
        copyWithShortLineEnds(source.data(), source.size(), to, "\r");
        to[length] = '\0';
        return true;
    });
    if (block != nullptr) textBlock_ = clipboard::TextBlock::adopt(block, length);
    if (textBlock_.held()) return;
    // No block to be had now: held as a string, and copied when added.
    text = TextWithLine(std::string(source), "\r");
}

std::int32_t CharStyle_FMcs::count() { return numStyleSegments; }

std::int32_t CharStyle_FMcs::charPos(std::int32_t styleNum) {
    if (styleNum < 0 || styleNum >= numStyleSegments) return -1;
    return segment[static_cast<std::size_t>(styleNum)].charPos;
}

std::uint64_t CharStyle_FMcs::styleHash(std::int16_t size, std::int16_t face, std::uint32_t rgbaColour) {
    std::uint64_t h = (static_cast<std::uint64_t>(static_cast<std::uint16_t>(size)) << 48) |
                      (static_cast<std::uint64_t>(static_cast<std::uint16_t>(face)) << 32) | rgbaColour;
    // Mixes every key bit into both halves: the low bits pick the slot, the
    // high ones are kept in it to skip most non-matching styles unread.
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return h;
}

std::int32_t CharStyle_FMcs::findStyle(std::uint64_t hash, std::int16_t size, std::int16_t face,
                                       std::uint32_t rgbaColour, std::size_t& slot) const {
    const std::size_t mask = styleIndex.size() - 1;
    const std::uint64_t tag = hash & kTagMask;
    for (slot = static_cast<std::size_t>(hash) & mask; styleIndex[slot] != 0; slot = (slot + 1) & mask) {
        if ((styleIndex[slot] & kTagMask) != tag) continue;
        const std::int32_t j = static_cast<std::int32_t>(styleIndex[slot] & ~kTagMask) - 1;
        const Style_t& s = style[static_cast<std::size_t>(j)];
        if (s.size == size && s.face == face && s.colour == rgbaColour && s.fontOrdinal == 0) return j;
    }
    return -1;
}

bool CharStyle_FMcs::add(std::int32_t charPos, std::int16_t size, std::int16_t face, std::uint32_t colour,
                         std::int16_t /*fontID*/) {
    if (numStyleSegments >= maxStyleSegments) return false;
    const std::uint32_t rgbaColour = (colour << 8) | kOpaqueAlpha;

    // Every style here was created by `add` and they are pairwise distinct,
    // so the index finds the same style as a scan for the first match would.
    const std::uint64_t hash = styleHash(size, face, rgbaColour);
    std::size_t slot = 0;
    std::int32_t j = findStyle(hash, size, face, rgbaColour, slot);
    if (j < 0) {
        if (!makeRoomInStyleIndex()) return false;
        findStyle(hash, size, face, rgbaColour, slot);  // the free slot, in the index as it now is
        // One style per run at most, and both tables have room for the same
        // number: the style table has room whenever the run table has.
        j = numUniqueStyles++;
        style.push_back(Style_t{0, kCreatedUnknown, enabledFaceFor(size, face, colour), 0, face, size, rgbaColour});
        styleIndex[slot] = (hash & kTagMask) | static_cast<std::uint32_t>(j + 1);
    }
    segment.push_back(Segment_t{charPos, j});
    ++numStyleSegments;
    ++style[static_cast<std::size_t>(j)].usageCount;
    return true;
}

void CharStyle_FMcs::writeBlock(unsigned char* pStyleData, std::uint32_t styleDataSize) const {
    BigEndianWriter out(pStyleData);
    out.hostUint32(styleDataSize);
    out.int32(numStyleSegments);
    for (std::int32_t k = 0; k < numStyleSegments; ++k) {
        out.int32(segment[static_cast<std::size_t>(k)].charPos);
        out.int32(segment[static_cast<std::size_t>(k)].uniqueStyle);
    }
    out.int32(numUniqueStyles);
    std::uint16_t allEnabledFaces = 0;
    for (std::int32_t j = 0; j < numUniqueStyles; ++j)
        allEnabledFaces |= static_cast<std::uint16_t>(style[static_cast<std::size_t>(j)].enabledFace);
    // Every record states every group that any run uses, so a plain run
    // beside a bold one says "not bold" rather than nothing.
    for (std::int32_t j = 0; j < numUniqueStyles; ++j) {
        const Style_t& s = style[static_cast<std::size_t>(j)];
        out.int32(s.usageCount);
        out.int32(s.unknown);
        out.int16(static_cast<std::int16_t>(allEnabledFaces));
        out.int16(s.fontOrdinal);
        out.int16(s.face);
        out.int16(s.size);
        out.uint32(s.colour);
    }
}

bool CharStyle_FMcs::addStyleToClipboard() {
    const std::uint64_t styleDataSize = kCountSize + kSegmentRecordSize * static_cast<std::uint64_t>(numStyleSegments) +
                                        kCountSize + kStyleRecordSize * static_cast<std::uint64_t>(numUniqueStyles);
    const std::uint64_t blockSize = kLengthPrefixSize + styleDataSize;
    if (blockSize > std::numeric_limits<std::uint32_t>::max() || blockSize > std::numeric_limits<SIZE_T>::max())
        return false;

    // Written where it goes: the block itself goes to the clipboard.
    HGLOBAL hStyle = clipboard::newFilledBlock(static_cast<SIZE_T>(blockSize), [&](unsigned char* pStyleData) {
        writeBlock(pStyleData, static_cast<std::uint32_t>(styleDataSize));
        return true;
    });
    if (hStyle == nullptr) return false;
    return addBlockToClipboard(hStyle, RegisterClipboardFormatA(kFormatName));
}

void CharStyle_FMcs::setText(std::string rawText) {
    textBlock_.reset();
    text = std::move(rawText);
    numStyleSegments = 0;
    numUniqueStyles = 0;
    segment.clear();
    style.clear();
    pStyle = nullptr;
    allocateStyleIndex();
    foreign_.clear();
}

std::string CharStyle_FMcs::getText() { return textBlock_.held() ? textBlock_.text() : text; }

bool CharStyle_FMcs::selectStyle(std::int32_t styleNum) {
    if (styleNum < 0 || styleNum >= numStyleSegments) return false;
    nStyle = styleNum;
    pStyle = &style[static_cast<std::size_t>(segment[static_cast<std::size_t>(styleNum)].uniqueStyle)];
    return true;
}

std::int16_t CharStyle_FMcs::getFace() { return pStyle != nullptr ? pStyle->face : 0; }

std::int16_t CharStyle_FMcs::getSize() { return pStyle != nullptr ? pStyle->size : 0; }

std::uint32_t CharStyle_FMcs::getRGB() { return pStyle != nullptr ? pStyle->colour >> 8 : 0; }
