// Styled text in the clipboard format "Rich Text Format": read through the
// RTF reader, written as a small single-font document with one group per run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/winapi.h"
#include "rtf/RTF.h"
#include "style/style_runs.h"

class CharStyle_RTF final : public RunListStyle {
  public:
    // One style run, kept in the run store the RTF and HTML containers share.
    using Style_t = StyleRuns::Run;
    // The clipboard format's registered name.
    static constexpr const char* kFormatName = "Rich Text Format";

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
    // until the text or runs change. Generating it selects the last run.
    const std::string& document();

    // Appends one character to the text; the runs stay as they are.
    void add(char c) { text.push_back(c); }
    // Appends `cch` characters to the text; the runs stay as they are.
    void add(const char* pch, std::size_t cch) { text.append(pch, cch); }

    bool add(std::int32_t charPos, std::int16_t size, std::int16_t face, std::uint32_t colour,
             std::int16_t fontID) override;
    bool addStyleToClipboard() override;
    // The block addStyleToClipboard adds, made without adding it: a new
    // movable block, or null when it cannot be made.
    HGLOBAL newBlock();
    // The block of `text` (in the ANSI code page, line ends CR), its
    // `foreign` characters and `runs`, as a container converted from them
    // would make it: for a caller that holds them already and need not copy
    // them into a container.
    static HGLOBAL newBlock(const std::string& text, const std::vector<StyleRuns::Run>& runs,
                            const codepage::ForeignChars& foreign);
    void setText(std::string rawText) override;
    std::string getText() override { return text; }
    // The text as the container holds it, without a copy.
    const std::string& heldText() const { return text; }

  protected:
    std::string_view textForReading(std::string&) override { return text; }
    // Reads RTF into the text and runs; true when the reader succeeded.
    bool InitFromData(const char* pRTFData);
    bool InitFromData(const char* pRTFData, std::size_t cbRTFData);

  private:
    // What reading needs to remember between two deliveries of the reader.
    struct ReadState {
        char_prop previous = {};     // the properties of the last character delivered
        std::int32_t charCount = 0;  // characters delivered
    };

    // Room for runs while reading RTF; more are made as needed.
    static constexpr std::int32_t kReadingRuns = 1000;
    // Bytes of RTF that a run of a densely styled document takes at least, for
    // the room made before reading.
    static constexpr std::size_t kSourceBytesPerRun = 16;

    // Appends `cch` delivered characters of the same properties, opening a
    // run when they differ from the previous character's; answers 0 or the
    // reader's result that ends the parse.
    std::int32_t deliver(const char* pch, std::size_t cch, const char_prop& charProps);
    // Notes that the last `cchFallback` bytes appended stand for `codePoint`.
    std::int32_t noteForeign(std::uint32_t codePoint, std::size_t cchFallback);
    // Opens a run at the character just appended.
    std::int32_t openRun(const char_prop& charProps);
    // After a document was generated, the last run is selected.
    void selectLastRun();

    friend std::int32_t InitFromDataForeignCallback(std::uint32_t codePoint, std::size_t cchFallback, void* userData);
    friend std::int32_t InitFromDataTextCallback(const char* pch, std::size_t cch, void* userData, const doc_prop& dop,
                                                 const sect_prop& sep, const para_prop& pap,
                                                 const char_prop& charProps);

    std::string text;
    std::string rtf;
    bool bParsingError = false;
    ReadState reading_;
};

// The reader's callback while reading into the CharStyle_RTF at `userData`:
// appends the character and opens a run whenever its properties differ from
// the previous character's. The state of the parse is that container's, so
// parses into different containers are independent.
std::int32_t InitFromDataCallback(std::int32_t c, void* userData, doc_prop dop, sect_prop sep, para_prop pap,
                                  char_prop charProps);
// Notes, in the CharStyle_RTF at `userData`, a character the ANSI code page
// lacks, whose fallback was the last text delivered.
std::int32_t InitFromDataForeignCallback(std::uint32_t codePoint, std::size_t cchFallback, void* userData);
// The same for a run of characters with the same properties, as the reader
// delivers them when reading a document.
std::int32_t InitFromDataTextCallback(const char* pch, std::size_t cch, void* userData, const doc_prop& dop,
                                      const sect_prop& sep, const para_prop& pap, const char_prop& charProps);
