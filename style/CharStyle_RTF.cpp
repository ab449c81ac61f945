#include "style/CharStyle_RTF.h"

#include <charconv>
#include <climits>
#include <cstddef>
#include <cstring>
#include <new>
#include <stdexcept>

#include "codepage/code_page.h"
#include "platform/winapi.h"
#include "style/clipboard_session.h"

namespace {

const char* const CF_RTF = "Rich Text Format";

// Properties of the previously delivered character and the number of
// characters delivered, for the parse in progress.
char_prop prevCharProps = {};
std::int32_t charCount = 0;

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

// Where a document goes: counted first, then written into room of exactly
// the counted size, so that both passes share every decision.
struct CountingSink {
    std::size_t size = 0;
    void append(const char*, std::size_t n) { size += n; }
    template <std::size_t N>
    void append(const char (&)[N]) {
        size += N - 1;
    }
    void put(char) { ++size; }
};

struct WritingSink {
    char* p;
    void append(const char* s, std::size_t n) {
        std::memcpy(p, s, n);
        p += n;
    }
    template <std::size_t N>
    void append(const char (&s)[N]) {
        append(s, N - 1);
    }
    void put(char c) { *p++ = c; }
};

struct StringSink {
    std::string& out;
    template <std::size_t N>
    void append(const char (&s)[N]) {
        out.append(s, N - 1);
    }
    void append(const char* s, std::size_t n) { out.append(s, n); }
    void put(char c) { out += c; }
};

template <class Sink>
void appendDecimal(Sink& out, long value) {
    char digits[24];
    const std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, static_cast<std::size_t>(r.ptr - digits));
}

// Bytes that the writer does not copy unchanged.
struct WriterSpecials {
    bool special[256] = {};
    constexpr WriterSpecials() {
        special[static_cast<unsigned char>('\\')] = true;
        special[static_cast<unsigned char>('{')] = true;
        special[static_cast<unsigned char>('}')] = true;
        special[static_cast<unsigned char>('\r')] = true;
        special[static_cast<unsigned char>('\n')] = true;
        special[0] = true;
    }
};
constexpr WriterSpecials kWriterSpecials;

// The same, and every byte from 0x80 up: in a double-byte code page a trail
// byte may be "\\", "{" or "}", so characters of two bytes are written as
// escapes.
struct DoubleByteWriterSpecials {
    bool special[256] = {};
    constexpr DoubleByteWriterSpecials() {
        for (int c = 0; c < 256; ++c) special[c] = c >= 0x80 || kWriterSpecials.special[c];
    }
};
constexpr DoubleByteWriterSpecials kDoubleByteWriterSpecials;

template <class Sink>
void appendHexEscape(Sink& out, unsigned char byte) {
    static const char kHex[] = "0123456789abcdef";
    const char escape[4] = {'\\', '\'', kHex[byte >> 4], kHex[byte & 0xF]};
    out.append(escape, sizeof escape);
}

// Appends text[from, to) as RTF: "\", "{" and "}" escaped, a NUL byte as
// "\'00", and each line end (CR LF, a lone CR, a lone LF) as "\par ". A segment is converted on its own,
// so a CR that ends one segment and an LF that starts the next are two line ends.
template <class Sink>
void appendConverted(Sink& out, const std::string& text, std::size_t from, std::size_t to, bool fDoubleByte,
                     codepage::CodePage cp) {
    const char* s = text.data();
    const bool* const special = fDoubleByte ? kDoubleByteWriterSpecials.special : kWriterSpecials.special;
    std::size_t i = from;
    while (i < to) {
        std::size_t plain = i;
        while (plain < to && !special[static_cast<unsigned char>(s[plain])]) ++plain;
        out.append(s + i, plain - i);
        if (plain == to) break;
        const char c = s[plain];
        i = plain + 1;
        if (static_cast<unsigned char>(c) >= 0x80) {
            appendHexEscape(out, static_cast<unsigned char>(c));
            // The trail byte of a character of two bytes, whatever it is.
            if (codepage::isLeadByte(cp, static_cast<unsigned char>(c)) && i < to)
                appendHexEscape(out, static_cast<unsigned char>(s[i++]));
        } else if (c == '\r' || c == '\n') {
            out.append("\\par ");
            if (c == '\r' && i < to && s[i] == '\n') ++i;
        } else if (c == '\0') {
            // A NUL byte would end the document on the clipboard, where every
            // reader stops at the first NUL; as an escape it survives.
            out.append("\\'00");
        } else {
            out.put('\\');
            out.put(c);
        }
    }
}

}  // namespace

// Opens a run at the character just appended: the rare path of the callback.
std::int32_t openRun(CharStyle_RTF* self, const char_prop& charProps) {
    prevCharProps = charProps;
    if (!self->add(charCount, sizeOf(charProps), faceOf(charProps), static_cast<std::uint32_t>(charProps.iColour), 0))
        return kNoMemory;  // better no RTF at all than one with its styling lost
    ++charCount;
    return 0;
}

std::int32_t InitFromDataTextCallback(const char* pch, std::size_t cch, void* userData, const doc_prop&,
                                      const sect_prop&, const para_prop&, const char_prop& charProps) {
    CharStyle_RTF* self = static_cast<CharStyle_RTF*>(userData);
    // Run positions are int32: the text holds at most INT32_MAX characters.
    const std::size_t room = static_cast<std::size_t>(INT32_MAX - charCount);
    const std::size_t taken = cch < room ? cch : room;
    if (taken == 0) return kTextTooLong;
    try {
        self->add(pch, taken);
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
    // Only the first character of a run can differ from the one before it.
    if (!sameProps(charProps, prevCharProps)) {
        const std::int32_t ec = openRun(self, charProps);
        if (ec != 0) return ec;
        charCount += static_cast<std::int32_t>(taken - 1);
    } else {
        charCount += static_cast<std::int32_t>(taken);
    }
    return taken < cch ? kTextTooLong : 0;
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
    try {
        style.reserve(static_cast<std::size_t>(sourceRuns < 0 ? 0 : sourceRuns));
    } catch (const std::bad_alloc&) {
        // made room for run by run instead
    } catch (const std::length_error&) {
    }
    maxStyles = static_cast<std::int32_t>(style.capacity());
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
    numStyles = 0;
    pStyle = nullptr;
    style.clear();
    try {
        // Room made once, as far as the source's size suggests, spares the
        // copies and fresh pages of growing step by step; untouched room costs
        // no memory. Every character comes from at least one byte of the source.
        const std::size_t runsExpected = cch / kSourceBytesPerRun;
        style.reserve(runsExpected > static_cast<std::size_t>(kReadingRuns) ? runsExpected
                                                                            : static_cast<std::size_t>(kReadingRuns));
        text.reserve(cch);
    } catch (const std::bad_alloc&) {
        // both then grow as the source is read
    } catch (const std::length_error&) {
    }
    maxStyles = static_cast<std::int32_t>(style.capacity() < INT32_MAX ? style.capacity() : INT32_MAX);

    prevCharProps = char_prop{};
    charCount = 0;
    const std::int32_t ec = ecRtfParseText(pRTFData, cch, InitFromDataTextCallback, this);

    // A source from which no run was recorded goes back to the clipboard unchanged.
    if (numStyles == 0 && cch > 0) {
        const void* nul = std::memchr(pRTFData, '\0', cch);
        rtf.assign(pRTFData, nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - pRTFData) : cch);
    }
    return ec == ecNoError;
}

CharStyle_RTF* CharStyle_RTF::InitFromClipboard() {
    clipboard::OpenedClipboard open;
    if (!open.isOpen()) return nullptr;
    const UINT format = RegisterClipboardFormatA(CF_RTF);
    CharStyle_RTF* result = nullptr;
    if (IsClipboardFormatAvailable(format)) {
        HANDLE hData = GetClipboardData(format);
        if (hData != nullptr) {
            const char* pData = static_cast<const char*>(GlobalLock(hData));
            if (pData != nullptr) {
                try {
                    result = new CharStyle_RTF(pData, GlobalSize(hData));
                } catch (const std::bad_alloc&) {
                    result = nullptr;
                }
                GlobalUnlock(hData);
            }
        }
    }
    return result;
}

bool CharStyle_RTF::clipboardHasStyle() { return CharStyle::clipboardHasStyle(CF_RTF); }

std::int32_t CharStyle_RTF::charPos(std::int32_t styleNum) {
    if (styleNum < 0 || styleNum >= numStyles) return -1;
    return style[static_cast<std::size_t>(styleNum)].charPos;
}

bool CharStyle_RTF::add(std::int32_t charPos, std::int16_t size, std::int16_t face, std::uint32_t colour,
                        std::int16_t fontID) {
    if (numStyles == INT32_MAX) return false;
    const std::size_t capacityBefore = style.capacity();
    try {
        style.push_back(Style_t{charPos, fontID, face, size, colour});
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    ++numStyles;
    maxStyles = static_cast<std::int32_t>(style.capacity() < INT32_MAX ? style.capacity() : INT32_MAX);
    if (pStyle != nullptr && style.capacity() != capacityBefore) pStyle = &style[static_cast<std::size_t>(nStyle)];
    // Release the memory of a source document that the runs now replace.
    if (!rtf.empty()) std::string().swap(rtf);
    return true;
}

void CharStyle_RTF::setText(std::string rawText) {
    text = std::move(rawText);
    std::string().swap(rtf);
    style.clear();
    numStyles = 0;
    pStyle = nullptr;
}

bool CharStyle_RTF::selectStyle(std::int32_t styleNum) {
    if (styleNum < 0 || styleNum >= numStyles) return false;
    nStyle = styleNum;
    pStyle = &style[static_cast<std::size_t>(styleNum)];
    return true;
}

const CharStyle_RTF::Style_t& CharStyle_RTF::selected() const {
    static const Style_t noRun = {};
    return pStyle != nullptr ? *pStyle : noRun;
}

void CharStyle_RTF::InitRTFColourTable() {
    colTab[0] = 0;
    colTabCount = 1;
}

std::int32_t CharStyle_RTF::AddRTFColour(std::uint32_t newColour) {
    for (std::int32_t i = 0; i < colTabCount; ++i)
        if (colTab[i] == newColour) return i;
    if (colTabCount == kColourTableSize) return kColourTableSize - 1;
    colTab[colTabCount] = newColour;
    return colTabCount++;
}

std::string CharStyle_RTF::RTFColourTable() {
    std::string table = "{\\colortbl;";
    StringSink out{table};
    for (std::int32_t i = 1; i < colTabCount; ++i) {
        out.append("\\red");
        appendDecimal(out, static_cast<long>((colTab[i] >> 16) & 0xFF));
        out.append("\\green");
        appendDecimal(out, static_cast<long>((colTab[i] >> 8) & 0xFF));
        out.append("\\blue");
        appendDecimal(out, static_cast<long>(colTab[i] & 0xFF));
        out.put(';');
    }
    out.put('}');
    return table;
}

std::string CharStyle_RTF::getRTF() { return document(); }

std::size_t CharStyle_RTF::prepareDocument(std::string& colourTable) {
    // The colour table precedes the body but is made from the runs in their
    // order; taking the colours first lets the body find each colour where
    // it was put, and the document be written in one pass.
    InitRTFColourTable();
    for (const Style_t& run : style) AddRTFColour(run.colour & 0xFFFFFFu);
    colourTable = RTFColourTable();
    CountingSink count;
    writeDocument(count, colourTable);
    return count.size;
}

template <class Sink>
void CharStyle_RTF::writeDocument(Sink& out, const std::string& colourTable) {
    // The text is in the ANSI code page, and the document says so.
    const codepage::CodePage cp = codepage::ansiCodePage();
    const bool fDoubleByte = codepage::isDoubleByte(cp);
    out.append("{\\rtf1\\ansi\\ansicpg");
    appendDecimal(out, static_cast<long>(cp));
    out.append("{\\fonttbl\\f0\\fswiss\\fcharset");
    appendDecimal(out, static_cast<long>(codepage::codePageCharset(cp)));
    out.append(" Arial;}");
    out.append(colourTable.data(), colourTable.size());
    out.append("\\f0\\fs24 {");

    const std::size_t textLength = text.size();
    std::size_t position = 0;
    for (const Style_t& run : style) {
        // Only a malformed source gives a start outside the text or before the
        // previous run's; clamping writes every character exactly once.
        std::size_t start = run.charPos < 0 ? 0 : static_cast<std::size_t>(run.charPos);
        if (start > textLength) start = textLength;
        if (start < position) start = position;

        if (start > position) {
            appendConverted(out, text, position, start, fDoubleByte, cp);
            out.append("}{");
        }
        bool anyWord = false;
        if (run.size > 0) {
            out.append("\\cf");
            appendDecimal(out, AddRTFColour(run.colour & 0xFFFFFFu));
            out.append("\\fs");
            appendDecimal(out, 2L * run.size);
            anyWord = true;
        }
        const std::int16_t face = run.face;
        if (face & kFaceBold) out.append("\\b");
        if (face & kFaceItalic) out.append("\\i");
        if (face & kFaceUnderline) out.append("\\ul");
        if (face & kFaceStrikethrough) out.append("\\strike");
        if (face & kFaceSmallCaps) out.append("\\scaps");
        if (face & kFaceSuperscript) out.append("\\super");
        if (face & kFaceSubscript) out.append("\\sub");
        constexpr std::int16_t kWrittenFaces = kFaceBold | kFaceItalic | kFaceUnderline | kFaceStrikethrough |
                                               kFaceSmallCaps | kFaceSuperscript | kFaceSubscript;
        if (anyWord || (face & kWrittenFaces) != 0) out.put(' ');  // ends the last control word
        position = start;
    }
    appendConverted(out, text, position, textLength, fDoubleByte, cp);
    out.append("}}");
}

const std::string& CharStyle_RTF::document() {
    if (!rtf.empty()) return rtf;
    std::string colourTable;
    std::string out(prepareDocument(colourTable), '\0');
    WritingSink writer{&out[0]};
    writeDocument(writer, colourTable);
    if (numStyles > 0) selectStyle(numStyles - 1);
    rtf = std::move(out);
    return rtf;
}

bool CharStyle_RTF::addStyleToClipboard() {
    if (!rtf.empty()) {
        if (rtf.size() >= UINT32_MAX) return false;
        return CharStyle::addToClipboard(rtf.c_str(), static_cast<std::uint32_t>(rtf.size() + 1), CF_RTF);
    }
    // Not generated yet: written straight into the block that goes to the
    // clipboard, which spares a copy of the document and its memory.
    std::string colourTable;
    const std::size_t size = prepareDocument(colourTable);
    if (size >= UINT32_MAX) return false;
    HGLOBAL hRTF = GlobalAlloc(GMEM_MOVEABLE, size + 1);
    if (hRTF == nullptr) return false;
    char* p = static_cast<char*>(GlobalLock(hRTF));
    if (p == nullptr) {
        GlobalFree(hRTF);
        return false;
    }
    WritingSink writer{p};
    writeDocument(writer, colourTable);
    p[size] = '\0';
    if (numStyles > 0) selectStyle(numStyles - 1);
    GlobalUnlock(hRTF);
    return addBlockToClipboard(hRTF, RegisterClipboardFormatA(CF_RTF));
}
