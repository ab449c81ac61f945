// Styled text in the clipboard format "HTML Format", as browsers and web
// applications exchange it: read as a browser shows the block's fragment
// (its text in the ANSI code page, line ends CR), written as a block whose
// fragment holds one <span> per run with exactly the run's attributes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "style/CharStyle.h"

class CharStyle_HTML final : public CharStyle {
  public:
    struct Style_t {
        std::int32_t charPos;  // index in the text of the run's first character
        std::int16_t fontID;   // always 0 here; never written
        std::int16_t face;
        std::int16_t size;     // points
        std::uint32_t colour;  // 0x00RRGGBB
    };

    static constexpr const char* kFormatName = "HTML Format";

    // Converts any container: its text with line ends made CR, and its runs.
    explicit CharStyle_HTML(CharStyle* pStyle);
    // Reads the `size` bytes of a block; see parsingError().
    CharStyle_HTML(const char* block, std::size_t size);
    ~CharStyle_HTML() = default;
    CharStyle_HTML(const CharStyle_HTML&) = delete;
    CharStyle_HTML& operator=(const CharStyle_HTML&) = delete;

    // A new container read from the clipboard's "HTML Format", or null when
    // the clipboard cannot be opened or holds none. A block whose header is
    // refused still gives a container, whose parsingError() is true.
    static CharStyle_HTML* InitFromClipboard();
    using CharStyle::clipboardHasStyle;
    static bool clipboardHasStyle();

    // Whether the block read was refused; the container then holds nothing.
    bool parsingError() const { return bParsingError; }

    // The whole block, header included. A block read and left unchanged is
    // answered as it was read, so that a browser gets back all it wrote.
    const std::string& block();

    std::int32_t count() override { return static_cast<std::int32_t>(style.size()); }
    std::int32_t charPos(std::int32_t styleNum) override;
    bool add(std::int32_t charPos, std::int16_t size, std::int16_t face, std::uint32_t colour,
             std::int16_t fontID) override;
    bool addStyleToClipboard() override;
    void setText(std::string rawText) override;
    std::string getText() override { return text; }
    bool selectStyle(std::int32_t styleNum) override;
    std::int16_t getFace() override { return selected().face; }
    std::int16_t getSize() override { return selected().size; }
    std::uint32_t getRGB() override { return selected().colour & 0xFFFFFFu; }
    std::uint8_t getRed() override { return static_cast<std::uint8_t>(selected().colour >> 16); }
    std::uint8_t getGreen() override { return static_cast<std::uint8_t>(selected().colour >> 8); }
    std::uint8_t getBlue() override { return static_cast<std::uint8_t>(selected().colour); }
    bool isPlain() override { return selected().face == 0; }
    bool isBold() override { return (selected().face & kFaceBold) != 0; }
    bool isItalic() override { return (selected().face & kFaceItalic) != 0; }
    bool isUnderline() override { return (selected().face & kFaceUnderline) != 0; }
    bool isStrikethrough() override { return (selected().face & kFaceStrikethrough) != 0; }
    bool isSmallCaps() override { return (selected().face & kFaceSmallCaps) != 0; }
    bool isSuperscript() override { return (selected().face & kFaceSuperscript) != 0; }
    bool isSubscript() override { return (selected().face & kFaceSubscript) != 0; }

  private:
    bool read(const char* block, std::size_t size);
    std::string fragment() const;
    const Style_t& selected() const;

    std::vector<Style_t> style;
    std::string text;
    std::string html;  // the block read, or the one generated; empty when not made yet
    bool bParsingError = false;
    bool bSelected = false;
};
