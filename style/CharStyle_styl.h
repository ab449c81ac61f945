// The text-edit style scrap ("Mac-styl"): a little-endian count of runs and
// one 20-byte element per run, describing the CF_TEXT beside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "style/CharStyle.h"

// Final, so that deleting one through its own type, as every owner does,
// needs no virtual destructor.
class CharStyle_styl final : public CharStyle {
  public:
    // One run as this format keeps it; `face` is the scrap's style byte
    // shifted left by eight.
    struct Style_t {
        std::int32_t charPos;
        std::int16_t lineHeight;
        std::int16_t ascent;
        std::int16_t fontOrdinal;
        std::int16_t face;
        std::int16_t size;
        std::uint32_t colour;  // 0x00RRGGBB
    };

    static constexpr const char* kFormatName = "Mac-styl";

    // Holds a copy of `pText` (empty when null) and the runs of the style
    // scrap record (`scrpNStyles` and its elements) in the `scrapSize` bytes
    // at `pStyledScrapRec`. The count is trusted only as far as those bytes
    // hold whole elements; a negative count, a record too short for its
    // count, or no record gives no runs. Room for exactly the runs read.
    CharStyle_styl(const char* pText, const unsigned char* pStyledScrapRec, std::size_t scrapSize);
    ~CharStyle_styl() = default;

    // Answers a new container read from CF_TEXT and, when present, "Mac-styl";
    // null when the clipboard cannot be opened or holds no usable text. A
    // style block that is missing or cannot be locked gives a container with
    // the text and no runs. The caller owns the result.
    static CharStyle_styl* InitFromClipboard();
    static bool clipboardHasStyle();

    std::int32_t count() override;
    std::int32_t charPos(std::int32_t styleNum) override;
    // Appends a run with a line height of size + size / 3 and an ascent of
    // size; `fontID` is ignored. False when the container is full.
    bool add(std::int32_t charPos, std::int16_t size, std::int16_t face, std::uint32_t colour,
             std::int16_t fontID) override;
    // Adds a "Mac-styl" block of every run to the clipboard. The low byte of
    // each face word has no place in it and is lost.
    bool addStyleToClipboard() override;
    void setText(std::string rawText) override;
    std::string getText() override;
    bool selectStyle(std::int32_t styleNum) override;
    // Until a run has been selected, the queries answer as for a plain black
    // run of size 0.
    std::int16_t getFace() override;
    std::int16_t getSize() override;
    std::uint32_t getRGB() override;

  protected:
    std::string_view textForReading(std::string&) override { return text; }

  private:
    // The same for a text already held in a string, which it takes over.
    CharStyle_styl(std::string text, const unsigned char* pStyledScrapRec, std::size_t scrapSize);
    CharStyle_styl(const CharStyle_styl&) = delete;
    CharStyle_styl& operator=(const CharStyle_styl&) = delete;

    std::int32_t numStyles = 0;
    std::int32_t maxStyles = 0;
    std::vector<Style_t> style;  // sized once to maxStyles
    Style_t* pStyle = nullptr;
    std::string text;
};
