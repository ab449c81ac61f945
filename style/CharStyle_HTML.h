// Styled text in the clipboard format "HTML Format", as browsers and web
// applications exchange it: read as a browser shows the block's fragment
// (its text in the ANSI code page, line ends CR), written as a block that
// states every attribute once and each run's differences (style/html_writer.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/winapi.h"
#include "style/style_runs.h"

class CharStyle_HTML final : public RunListStyle {
  public:
    // One style run, kept in the run store the RTF and HTML containers share.
    using Style_t = StyleRuns::Run;

    static constexpr const char* kFormatName = "HTML Format";

    // Converts any container: its text with line ends made CR, and its runs.
    explicit CharStyle_HTML(CharStyle* pStyle);
    // What a container read from a block answers while it is unchanged.
    enum class ReadBlock {
        kept,     // the block itself, so that a browser gets back all it wrote
        notKept,  // one written from the text and runs: for a reader that
                  // leaves the block where it was, and need not hold a copy
    };
    // Reads the `size` bytes of a block; see parsingError().
    CharStyle_HTML(const char* block, std::size_t size, ReadBlock readBlock = ReadBlock::kept);
    ~CharStyle_HTML() = default;
    CharStyle_HTML(const CharStyle_HTML&) = delete;
    CharStyle_HTML& operator=(const CharStyle_HTML&) = delete;

    // A new container read from the clipboard's "HTML Format", or null when
    // the clipboard cannot be opened or holds none. A block whose header is
    // refused still gives a container, whose parsingError() is true.
    static CharStyle_HTML* InitFromClipboard(ReadBlock readBlock = ReadBlock::kept);
    using CharStyle::clipboardHasStyle;
    static bool clipboardHasStyle();

    // Whether the block read was refused; the container then holds nothing.
    bool parsingError() const { return bParsingError; }

    // The whole block, header included. A block read (and kept) and left
    // unchanged is answered as it was read, so that a browser gets back all
    // it wrote.
    const std::string& block();

    bool add(std::int32_t charPos, std::int16_t size, std::int16_t face, std::uint32_t colour,
             std::int16_t fontID) override;
    bool addStyleToClipboard() override;
    // The block addStyleToClipboard adds, made without adding it: a new
    // movable block, or null when it cannot be made. Changes nothing here,
    // so it may run on another thread while this container is only read.
    HGLOBAL newBlock() const;
    // The block of `text` (in the ANSI code page), its `foreign` characters
    // and `runs`, as a container holding them would make it: for a caller
    // that holds them already and need not copy them into a container.
    static HGLOBAL newBlock(const std::string& text, const std::vector<StyleRuns::Run>& runs,
                            const codepage::ForeignChars& foreign);
    using CharStyle::addToClipboard;
    void setText(std::string rawText) override;
    std::string getText() override { return text; }
    // The text as the container holds it, without a copy.
    const std::string& heldText() const { return text; }

  protected:
    std::string_view textForReading(std::string&) override { return text; }

  private:
    bool read(const char* block, std::size_t size, ReadBlock readBlock);

    std::string text;
    std::string html;  // the block read, or the one generated; empty when not made yet
    bool bParsingError = false;
};
