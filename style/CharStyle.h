// A styled text: a byte string and an ordered list of style runs, read and
// written through per-run queries that every clipboard format implements.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "codepage/foreign_chars.h"
#include "style/face_bits.h"

class CharStyle {
  public:
    // Number of runs.
    virtual std::int32_t count() = 0;
    // Start of run `styleNum`, or -1 when there is no such run.
    virtual std::int32_t charPos(std::int32_t styleNum) = 0;
    // Appends a run after the existing ones; false when the container cannot take it.
    virtual bool add(std::int32_t charPos, std::int16_t size, std::int16_t face, std::uint32_t colour,
                     std::int16_t fontID) = 0;
    // Adds the container's own format to what the clipboard holds.
    virtual bool addStyleToClipboard() = 0;
    // Replaces the text and drops every run; the capacity stays.
    virtual void setText(std::string rawText) = 0;
    virtual std::string getText() = 0;
    // Selects run `styleNum` for the queries below; false, with the selection
    // unchanged, when there is no such run.
    virtual bool selectStyle(std::int32_t styleNum) = 0;
    virtual std::int16_t getFace() = 0;
    // Font size in points.
    virtual std::int16_t getSize() = 0;
    // Colour as 0x00RRGGBB.
    virtual std::uint32_t getRGB() = 0;

    // The queries below are answered here, from getFace() and getRGB(), and
    // never by a container: every format then agrees on what a face word
    // means, whatever bits it can store.
    std::uint8_t getRed() { return static_cast<std::uint8_t>(getRGB() >> 16); }
    std::uint8_t getGreen() { return static_cast<std::uint8_t>(getRGB() >> 8); }
    std::uint8_t getBlue() { return static_cast<std::uint8_t>(getRGB()); }
    bool isPlain() { return getFace() == 0; }
    bool isBold() { return hasFace(kFaceBold); }
    bool isItalic() { return hasFace(kFaceItalic); }
    bool isUnderline() { return hasFace(kFaceUnderline); }
    bool isCondensed() { return hasFace(kFaceCondensed); }
    bool isExtended() { return hasFace(kFaceExtended); }
    bool isStrikethrough() { return hasFace(kFaceStrikethrough); }
    bool isSmallCaps() { return hasFace(kFaceSmallCaps); }
    bool isSuperscript() { return hasFace(kFaceSuperscript); }
    bool isSubscript() { return hasFace(kFaceSubscript); }

    // The characters of the text that its code page lacks, each standing in
    // the text as its fallback (codepage/foreign_chars.h). Every container
    // keeps them beside its text; setText drops them.
    const codepage::ForeignChars& foreignChars() const { return foreign_; }
    void setForeignChars(codepage::ForeignChars foreign) { foreign_ = std::move(foreign); }

    // Fills `toStyle` with the text of `fromStyle` (line ends made CR), its
    // foreign characters, and one `add` per source run, in order, positions
    // unchanged, font 0.
    static void copy(CharStyle* toStyle, CharStyle* fromStyle);

    // Replaces every line end of `theText` (CR LF, then CR, then LF) with
    // `newLineEnding`.
    static std::string TextWithLine(std::string theText, const char* newLineEnding);
    // The same for an ending of at most one byte, from the `size` bytes at
    // `from` to `to`, which may be `from` itself; answers the bytes written,
    // never more than `size`.
    static std::size_t copyWithShortLineEnds(const char* from, std::size_t size, char* to, const char* newLineEnding);

    // Clipboard primitives. Each opens the clipboard through the thread's
    // active clipboard::Session, waiting a while for other programs, or uses
    // it as it is when the session has it open (style/clipboard_session.h).

    // Adds a copy of `size` bytes to the clipboard under a format; false when
    // no block can be had or the clipboard cannot be opened.
    static bool addToClipboard(const void* data, std::uint32_t size, std::uint32_t registeredKind);
    static bool addToClipboard(const void* data, std::uint32_t size, const char* kind);
    // The NUL-terminated bytes, NUL included.
    static bool addToClipboard(const char* data, std::uint32_t kind);

    // Hands a filled, unlocked memory block to the clipboard under a format;
    // the clipboard owns it from then on. When the clipboard cannot be opened
    // or refuses it, the block is freed and the answer is false. While the
    // active session stages writes, the session keeps the block instead.
    static bool addBlockToClipboard(void* hGlobal, std::uint32_t registeredKind);

    // Empties the clipboard; false when it could not be opened.
    static bool ClearClipboard();
    static bool clipboardHasStyle(std::int32_t kind);
    static bool clipboardHasStyle(const char* kind);

  protected:
    // The text, for reading without a copy where the container holds it as
    // a string; otherwise made in `scratch`.
    virtual std::string_view textForReading(std::string& scratch);
    // Replaces the text with `source`, its line ends made CR, as setText does.
    virtual void takeTextWithLineEndsMadeCr(std::string_view source);

    CharStyle() = default;
    // Not virtual: a container is always deleted through its own class.
    ~CharStyle() = default;
    CharStyle(const CharStyle&) = default;
    CharStyle& operator=(const CharStyle&) = default;

    std::int32_t nStyle = 0;
    codepage::ForeignChars foreign_;

  private:
    // Whether the selected run's face word holds any of `bits`.
    bool hasFace(std::uint16_t bits) { return (static_cast<std::uint16_t>(getFace()) & bits) != 0; }
};
