// FileMaker's styled text: the plain text as CF_TEXT beside a big-endian
// block of style runs ("Mac-FMcs") whose runs share a table of distinct styles.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "style/CharStyle.h"
#include "style/clipboard_blocks.h"

// Final, so that deleting one through its own type, as every owner does,
// needs no virtual destructor.
class CharStyle_FMcs final : public CharStyle {
  public:
    // One run: where it starts and which distinct style it uses. Same layout
    // as a segment record of the block.
    struct Segment_t {
        std::int32_t charPos;
        std::int32_t uniqueStyle;
    };

    // One distinct style. Same field order and widths as a style record of
    // the block; `colour` is 0xRRGGBBAA.
    struct Style_t {
        std::int32_t usageCount;
        std::int32_t unknown;
        std::int16_t enabledFace;
        std::int16_t fontOrdinal;
        std::int16_t face;
        std::int16_t size;
        std::uint32_t colour;
    };

    // The format name on the clipboard.
    static constexpr const char* kFormatName = "Mac-FMcs";

    // Holds a copy of `s` (empty when null) and no runs, with room for
    // `maxStyles` runs and as many styles; a negative capacity counts as 0.
    CharStyle_FMcs(const char* s, std::int32_t maxStyles);
    // Holds the runs of `pStyle`, converted by CharStyle::copy, with room for
    // exactly as many.
    explicit CharStyle_FMcs(CharStyle* pStyle);
    ~CharStyle_FMcs() = default;

    // Answers a new container read from CF_TEXT and "Mac-FMcs", or null when
    // the clipboard cannot be opened, either format is absent or cannot be
    // locked, or the style block is malformed. The caller owns the result.
    static CharStyle_FMcs* InitFromClipboard();
    static bool clipboardHasStyle();

    // Adds the text and its terminating NUL to the clipboard as CF_TEXT.
    bool addTextToClipboard();
    // The same, and the container's own text goes, so that a large text is
    // not held twice while the other blocks are made; the runs stay, and
    // getText() then answers an empty text.
    bool moveTextToClipboard();

    // Takes the characters of the text that the ANSI code page lacks from
    // the clipboard's CF_UNICODETEXT, when that text converted to the ANSI
    // code page is exactly this one; otherwise it is another text, and
    // nothing changes.
    void readForeignFromClipboard();

    std::int32_t count() override;
    std::int32_t charPos(std::int32_t styleNum) override;
    // Appends a run, sharing an existing style of the same size, face and
    // colour; `fontID` is ignored. False when the run table is full.
    bool add(std::int32_t charPos, std::int16_t size, std::int16_t face, std::uint32_t colour,
             std::int16_t fontID) override;
    // Adds the style block, with every style's enabled mask replaced by the
    // union of all of them, to the clipboard as "Mac-FMcs".
    bool addStyleToClipboard() override;
    void setText(std::string rawText) override;
    std::string getText() override;
    bool selectStyle(std::int32_t styleNum) override;
    // Until a run has been selected, the queries answer as for a plain black
    // run of size 0.
    std::int16_t getFace() override;
    std::int16_t getSize() override;
    std::uint32_t getRGB() override;

    // Read access for tests and tools that show a block's tables.
    const Segment_t* segments() const { return segment.data(); }
    const Style_t* styles() const { return style.data(); }
    std::int32_t uniqueStyleCount() const { return numUniqueStyles; }

  protected:
    std::string_view textForReading(std::string& scratch) override;
    void takeTextWithLineEndsMadeCr(std::string_view source) override;

    // Decodes the `styleDataSize` bytes of a style block that follow its
    // length prefix. Answers null when the counts are negative, the style
    // count exceeds the run count, a run names a style that does not exist,
    // or the block is too short for what it states; bytes past the tables
    // are ignored.
    static CharStyle_FMcs* InitFromData(const char* pText, const unsigned char* pStyleData, std::size_t styleDataSize);

  private:
    // InitFromData for a text already held in a string, which it takes over.
    static CharStyle_FMcs* InitFromTextAndData(std::string text, const unsigned char* pStyleData,
                                               std::size_t styleDataSize);

    CharStyle_FMcs(const CharStyle_FMcs&) = delete;
    CharStyle_FMcs& operator=(const CharStyle_FMcs&) = delete;

    CharStyle_FMcs(std::string s, std::int32_t maxStyles, bool bIndexed);
    // Writes the style block, its length prefix `styleDataSize` first, at
    // `pStyleData`, which has room for exactly that block.
    void writeBlock(unsigned char* pStyleData, std::uint32_t styleDataSize) const;
    // Sizes the style index for the first styles; `add` doubles it as needed.
    void allocateStyleIndex();
    std::size_t styleIndexSlotsMax() const;
    // Makes sure the index can take one more style; false when it cannot.
    bool makeRoomInStyleIndex();
    static std::uint64_t styleHash(std::int16_t size, std::int16_t face, std::uint32_t rgbaColour);
    // Answers the index of the style created by `add` with these values, or
    // -1 with `slot` at the free slot where it belongs.
    std::int32_t findStyle(std::uint64_t hash, std::int16_t size, std::int16_t face, std::uint32_t rgbaColour,
                           std::size_t& slot) const;

    std::int32_t numStyleSegments = 0;
    std::int32_t maxStyleSegments = 0;
    std::vector<Segment_t> segment;  // numStyleSegments records; room for maxStyleSegments
    std::int32_t numUniqueStyles = 0;
    std::int32_t maxUniqueStyles = 0;
    std::vector<Style_t> style;  // numUniqueStyles records; room for maxUniqueStyles
    Style_t* pStyle = nullptr;
    std::string text;
    // The text instead, when it was converted from another container: made
    // where CF_TEXT takes it, so that it is not copied again for that.
    clipboard::TextBlock textBlock_;

    // Open-addressed hash of the styles that `add` created: a slot holds the
    // high half of the style's hash over its index + 1, and is 0 when empty.
    // Its size is a power of two: it starts small, in the constructor or, for
    // an object read from a block, in the first setText, and doubles while
    // more than half full, up to twice the style capacity. Documents with many
    // runs share few styles, so it mostly stays at its first size.
    static constexpr std::uint64_t kTagMask = 0xFFFFFFFF00000000ull;
    static constexpr std::size_t kStyleIndexSlotsFirst = 256;
    std::vector<std::uint64_t> styleIndex;
};

// Reverses the first `size` bytes at `ptr` in place; nothing for a size below 2.
void XPReverseBytes(void* ptr, std::int16_t size);
// Answer `in` with its bytes reversed: host order to big-endian and back on
// a little-endian host.
std::int16_t WinReverseBytes(std::int16_t in);
std::int32_t WinReverseBytes(std::int32_t in);
std::uint32_t WinReverseBytes(std::uint32_t in);
