#include "style/CharStyle_RTF.h"

#include <climits>
#include <cstddef>
#include <cstring>
#include <new>
#include <stdexcept>

#include "codepage/code_page.h"
#include "platform/winapi.h"
#include "style/clipboard_blocks.h"
#include "style/rtf_writer.h"

namespace {

const char* const CF_RTF = CharStyle_RTF::kFormatName;

// The callback's own results, which end the parse.
constexpr std::int32_t kNoMemory = -1;
constexpr std::int32_t kTextTooLong = -2;

// Compares every field: the thirteen flags and the four integers. Compared as
// two blocks, since the padding between them holds nothing defined.
bool sameProps(const char_prop& a, const char_prop& b) {
    static_assert(
        offsetof(char_prop, fSuperscript) == 12 && offsetof(char_prop, iExpanded) == 16 && sizeof(char_prop) == 32,
        "the flags are bytes 0 to 12 and the integers bytes 16 to 31");
    return std::memcmp(&a, &b, 13) == 0 && std::memcmp(&a.iExpanded, &b.iExpanded, 16) == 0;
}

std::int16_t faceOf(const char_prop& p) {
    unsigned face = 0;
    if (p.fStrikeThru || p.fDoubleStrikeThru) face |= kFaceStrikethrough;
    if (p.fSmallCaps) face |= kFaceSmallCaps;
    if (p.fSuperscript) face |= kFaceSuperscript;
    if (p.fSubscript) face |= kFaceSubscript;
    if (p.fWordUnderline) face |= kFaceWordUnderline;
    if (p.fDoubleUnderline) face |= kFaceDoubleUnderline;
    if (p.fBold) face |= kFaceBold;
    if (p.fItalic) face |= kFaceItalic;
    if (p.fUnderline || p.fContinuousUnderline) face |= kFaceUnderline;
    if (p.fOutline) face |= kFaceOutline;
    if (p.fShadow) face |= kFaceShadow;
    if (p.iExpanded < 0) face |= kFaceCondensed;
    if (p.iExpanded > 0) face |= kFaceExtended;
    return static_cast<std::int16_t>(face);
}

// Half-points to points, kept to the 16 bits of the field; no size reads as 12.
std::int16_t sizeOf(const char_prop& p) {
    const std::int16_t size = static_cast<std::int16_t>(static_cast<std::uint16_t>((p.iFontSize / 2) & 0xFFFF));
    return size == 0 ? 12 : size;
}

}  // namespace

std::int32_t CharStyle_RTF::openRun(const char_prop& charProps) {
    reading_.previous = charProps;
    if (!add(reading_.charCount, sizeOf(charProps), faceOf(charProps), static_cast<std::uint32_t>(charProps.iColour),
             0))
        return kNoMemory;  // better no RTF at all than one with its styling lost
    ++reading_.charCount;
    return 0;
}

std::int32_t CharStyle_RTF::deliver(const char* pch, std::size_t cch, const char_prop& charProps) {
    // Run positions are int32: the text holds at most INT32_MAX characters.
    const std::size_t room = static_cast<std::size_t>(INT32_MAX - reading_.charCount);
    const std::size_t taken = cch < room ? cch : room;
    if (taken == 0) return kTextTooLong;
    try {
        add(pch, taken);
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
    // Only the first character of a run can differ from the one before it.
    if (!sameProps(charProps, reading_.previous)) {
        const std::int32_t ec = openRun(charProps);
        if (ec != 0) return ec;
        reading_.charCount += static_cast<std::int32_t>(taken - 1);
    } else {
        reading_.charCount += static_cast<std::int32_t>(taken);
    }
    return taken < cch ? kTextTooLong : 0;
}

std::int32_t CharStyle_RTF::noteForeign(std::uint32_t codePoint, std::size_t cchFallback) {
    // The fallback is the last bytes appended; one cut short by the length
    // limit stands for nothing.
    if (cchFallback == 0 || cchFallback > text.size()) return 0;
    try {
        foreign_.push_back(codepage::ForeignChar{static_cast<std::uint32_t>(text.size() - cchFallback),
                                                 static_cast<std::uint32_t>(cchFallback), codePoint});
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
    return 0;
}

std::int32_t InitFromDataTextCallback(const char* pch, std::size_t cch, void* userData, const doc_prop&,
                                      const sect_prop&, const para_prop&, const char_prop& charProps) {
    return static_cast<CharStyle_RTF*>(userData)->deliver(pch, cch, charProps);
}

std::int32_t InitFromDataForeignCallback(std::uint32_t codePoint, std::size_t cchFallback, void* userData) {
    return static_cast<CharStyle_RTF*>(userData)->noteForeign(codePoint, cchFallback);
}

std::int32_t InitFromDataCallback(std::int32_t c, void* userData, doc_prop dop, sect_prop sep, para_prop pap,
                                  char_prop charProps) {
    const char byte = static_cast<char>(c & 0xFF);
    return InitFromDataTextCallback(&byte, 1, userData, dop, sep, pap, charProps);
}

CharStyle_RTF::CharStyle_RTF(CharStyle* pStyle) {
    // Room for all the source's runs at once: growing step by step would
    // copy them and touch about twice their memory. Every container holds
    // the runs it counts in memory of its own (a block's count is checked
    // against the block when it is read), so the room made is at most twice
    // what the source already takes.
    const std::int32_t sourceRuns = pStyle->count();
    runs_.reserve(static_cast<std::size_t>(sourceRuns < 0 ? 0 : sourceRuns));
    CharStyle::copy(this, pStyle);
    bParsingError = false;
}

CharStyle_RTF::CharStyle_RTF(const char* pRTF) { bParsingError = !InitFromData(pRTF); }

CharStyle_RTF::CharStyle_RTF(const char* pRTF, std::size_t cbRTF) { bParsingError = !InitFromData(pRTF, cbRTF); }

CharStyle_RTF::~CharStyle_RTF() = default;

bool CharStyle_RTF::InitFromData(const char* pRTFData) {
    return InitFromData(pRTFData, pRTFData != nullptr ? std::strlen(pRTFData) : 0);
}

bool CharStyle_RTF::InitFromData(const char* pRTFData, std::size_t cbRTFData) {
    // The text ends at its first NUL or at the end of its block, whichever
    // comes first; the reader stops at either, so the block's size serves as
    // the bound for everything but keeping the source.
    const std::size_t cch = pRTFData != nullptr ? cbRTFData : 0;
    text.clear();
    rtf.clear();
    runs_.clear();
    foreign_.clear();
    // Room made once, as far as the source's size suggests, spares the
    // copies and fresh pages of growing step by step; untouched room costs
    // no memory. Every character comes from at least one byte of the source.
    const std::size_t runsExpected = cch / kSourceBytesPerRun;
    runs_.reserve(runsExpected > static_cast<std::size_t>(kReadingRuns) ? runsExpected
                                                                        : static_cast<std::size_t>(kReadingRuns));
    try {
        text.reserve(cch);
    } catch (const std::bad_alloc&) {
        // then grows as the source is read
    } catch (const std::length_error&) {
    }

    reading_ = ReadState{};
    const std::int32_t ec = ecRtfParseText(pRTFData, cch, InitFromDataTextCallback, InitFromDataForeignCallback, this);

    // A source from which no run was recorded goes back to the clipboard unchanged.
    if (runs_.count() == 0 && cch > 0) {
        const void* nul = std::memchr(pRTFData, '\0', cch);
        rtf.assign(pRTFData, nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - pRTFData) : cch);
    }
    return ec == ecNoError;
}

CharStyle_RTF* CharStyle_RTF::InitFromClipboard() { return clipboard::newFromBlock<CharStyle_RTF>(CF_RTF); }

bool CharStyle_RTF::clipboardHasStyle() { return CharStyle::clipboardHasStyle(CF_RTF); }

bool CharStyle_RTF::add(std::int32_t charPos, std::int16_t size, std::int16_t face, std::uint32_t colour,
                        std::int16_t /*fontID*/) {
    if (!runs_.add(StyleRuns::Run{charPos, face, size, colour})) return false;
    // Release the memory of a source document that the runs now replace.
    if (!rtf.empty()) std::string().swap(rtf);
    return true;
}

void CharStyle_RTF::setText(std::string rawText) {
    text = std::move(rawText);
    std::string().swap(rtf);
    runs_.clear();
    foreign_.clear();
}

void CharStyle_RTF::selectLastRun() {
    if (runs_.count() > 0) selectStyle(runs_.count() - 1);
}

std::string CharStyle_RTF::getRTF() { return document(); }

const std::string& CharStyle_RTF::document() {
    if (!rtf.empty()) return rtf;
    // The text is in the ANSI code page, and the document says so.
    std::string out = rtfDocument(text, runs_.all(), codepage::ansiCodePage(), &foreign_);
    selectLastRun();
    rtf = std::move(out);
    return rtf;
}

bool CharStyle_RTF::addStyleToClipboard() {
    HGLOBAL hRTF = newBlock();
    return hRTF != nullptr && addBlockToClipboard(hRTF, RegisterClipboardFormatA(CF_RTF));
}

HGLOBAL CharStyle_RTF::newBlock() {
    if (!rtf.empty()) {
        if (rtf.size() >= UINT32_MAX) return nullptr;
        return clipboard::newBlockCopy(rtf.c_str(), rtf.size() + 1);
    }
    // Not generated yet: written straight into the block that goes to the
    // clipboard, which spares a copy of the document and its memory.
    HGLOBAL hRTF = newBlock(text, runs_.all(), foreign_);
    if (hRTF != nullptr) selectLastRun();
    return hRTF;
}

HGLOBAL CharStyle_RTF::newBlock(const std::string& text, const std::vector<StyleRuns::Run>& runs,
                                const codepage::ForeignChars& foreign) {
    return clipboard::newDocumentBlock(RtfDocument(text, runs, codepage::ansiCodePage(), &foreign));
}
