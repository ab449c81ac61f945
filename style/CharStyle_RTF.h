// Styled text in the clipboard format "Rich Text Format": read through the
// RTF reader, written as a small single-font document with one group per run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "rtf/RTF.h"
#include "style/CharStyle.h"

class CharStyle_RTF final : public CharStyle {
  public:
    // One style run.
    struct Style_t {
        std::int32_t charPos;  // index in the text of the run's first character
        std::int16_t fontID;   // always 0 here; never written
        std::int16_t face;
        std::int16_t size;     // points
        std::uint32_t colour;  // 0x00RRGGBB
    };

    // Converts any container: its text with line ends made CR, and its runs.
    explicit CharStyle_RTF(CharStyle* pStyle);
    // Reads the NUL-terminated RTF text `pRTF`; see parsingError().
    explicit CharStyle_RTF(const char* pRTF);
    // Reads at most `cbRTF` bytes of RTF from `pRTF`, up to the first NUL.
    CharStyle_RTF(const char* pRTF, std::size_t cbRTF);
    ~CharStyle_RTF();
    CharStyle_RTF(const CharStyle_RTF&) = delete;
    CharStyle_RTF& operator=(const CharStyle_RTF&) = delete;

    // A new container read from the clipboard's RTF, or null when the
    // clipboard cannot be opened or holds none. RTF that did not parse still
    // gives a container, whose parsingError() is true.
    static CharStyle_RTF* InitFromClipboard();
    using CharStyle::clipboardHasStyle;
    // Whether the clipboard holds "Rich Text Format".
    static bool clipboardHasStyle();

    // Whether reading the source RTF failed; the text and runs then hold what
    // was delivered before the failure.
    bool parsingError() const { return bParsingError; }

    // Answers the RTF document of the text and runs. Generated at most once
    // per change; a source from which reading recorded no run is answered
    // byte for byte as it was read.
    std::string getRTF();
    // The same document, generated if need be, without a copy: it stays here
    // until the text or runs change.
    const std::string& document();

    // Appends one character to the text; the runs stay as they are.
    void add(char c) { text.push_back(c); }
    // Appends `cch` characters to the text; the runs stay as they are.
    void add(const char* pch, std::size_t cch) { text.append(pch, cch); }

    std::int32_t count() override { return numStyles; }
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

  protected:
    // Reads RTF into the text and runs; true when the reader succeeded.
    bool InitFromData(const char* pRTFData);
    bool InitFromData(const char* pRTFData, std::size_t cbRTFData);
    // Starts the writer's colour table with black alone.
    void InitRTFColourTable();
    // Answers the colour-table index of `newColour`, adding it while there is
    // room; a full table answers its last entry.
    std::int32_t AddRTFColour(std::uint32_t newColour);
    // The colour table as an RTF group.
    std::string RTFColourTable();

  private:
    // Room for runs while reading RTF; more are made as needed.
    static constexpr std::int32_t kReadingRuns = 1000;
    // Bytes of RTF that a run of a densely styled document takes at least, for
    // the room made before reading.
    static constexpr std::size_t kSourceBytesPerRun = 16;
    // Entries of the writer's colour table, black included.
    static constexpr std::int32_t kColourTableSize = 100;

    // Makes the colour table of the runs and answers the exact size of the
    // document, which writeDocument then writes.
    std::size_t prepareDocument(std::string& colourTable);
    template <class Sink>
    void writeDocument(Sink& out, const std::string& colourTable);

    // The selected run, or an all-zero run while none is selected.
    const Style_t& selected() const;

    std::vector<Style_t> style;  // numStyles runs; its capacity is maxStyles
    std::int32_t numStyles = 0;
    std::int32_t maxStyles = 0;
    Style_t* pStyle = nullptr;
    std::string text;
    std::string rtf;
    bool bParsingError = false;
    std::int32_t colTabCount = 0;
    std::uint32_t colTab[kColourTableSize] = {};
};

// The reader's callback while reading: appends the character and opens a run
// whenever its properties differ from the previous character's.
std::int32_t InitFromDataCallback(std::int32_t c, void* userData, doc_prop dop, sect_prop sep, para_prop pap,
                                  char_prop charProps);
// The same for a run of characters with the same properties, as the reader
// delivers them when reading a document.
std::int32_t InitFromDataTextCallback(const char* pch, std::size_t cch, void* userData, const doc_prop& dop,
                                      const sect_prop& sep, const para_prop& pap, const char_prop& charProps);
