#include "style/rtf_writer.h"

#include <cstdint>
#include <cstring>

#include "style/face_bits.h"
#include "style/two_parts.h"
#include "style/writer_sinks.h"

namespace {

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

// Appends the character `codePoint` as "\uN" and its fallback byte: one
// escape per UTF-16 unit, N signed as RTF has it, each unit's fallback one
// byte as "\uc1" says.
template <class Sink>
void appendUnicodeEscape(Sink& out, std::uint32_t codePoint, unsigned char fallback) {
    std::uint32_t units[2] = {codePoint, 0};
    int count = 1;
    if (codePoint >= 0x10000 && codePoint <= 0x10FFFF) {
        units[0] = 0xD800 + ((codePoint - 0x10000) >> 10);
        units[1] = 0xDC00 + ((codePoint - 0x10000) & 0x3FF);
        count = 2;
    } else if (codePoint > 0xFFFF) {
        units[0] = '?';
    }
    for (int k = 0; k < count; ++k) {
        out.append("\\u");
        appendDecimal(out, units[k] >= 0x8000 ? static_cast<long>(units[k]) - 0x10000 : static_cast<long>(units[k]));
        const unsigned char b = k == 0 ? fallback : static_cast<unsigned char>('?');
        // A letter or digit would go on with the number, and a space would
        // end it instead of being the fallback: a space ends it first.
        const bool needsDelimiter =
            (b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || b == ' ';
        if (needsDelimiter) out.put(' ');
        if (b >= 0x80 || kWriterSpecials.special[b])
            appendHexEscape(out, b);
        else
            out.put(static_cast<char>(b));
    }
}

// Appends text[from, to) as RTF: "\", "{" and "}" escaped, a NUL byte as
// "\'00", and each line end (CR LF, a lone CR, a lone LF) as "\par ". A segment is converted on its own,
// so a CR that ends one segment and an LF that starts the next are two line ends.
template <class Sink>
void appendConverted(Sink& out, const std::string& text, std::size_t from, std::size_t to, bool fDoubleByte,
                     codepage::CodePage cp) {
    const char* s = text.data();
    const bool* const special =
        fDoubleByte || cp == codepage::kUtf8 ? kDoubleByteWriterSpecials.special : kWriterSpecials.special;
    std::size_t i = from;
    while (i < to) {
        std::size_t plain = i;
        while (plain < to && !special[static_cast<unsigned char>(s[plain])]) ++plain;
        out.append(s + i, plain - i);
        if (plain == to) break;
        const char c = s[plain];
        i = plain + 1;
        if (static_cast<unsigned char>(c) >= 0x80 && cp == codepage::kUtf8) {
            // A character of UTF-8, which no RTF code page is: as "\u".
            std::size_t len = 0;
            const unsigned char lead = static_cast<unsigned char>(c);
            if (lead >= 0xC2 && lead <= 0xDF)
                len = 2;
            else if (lead >= 0xE0 && lead <= 0xEF)
                len = 3;
            else if (lead >= 0xF0 && lead <= 0xF4)
                len = 4;
            const std::uint32_t codePoint =
                len != 0 && len - 1 <= to - i ? codepage::decode(cp, s + plain, static_cast<int>(len)) : 0;
            if (codePoint != 0) {
                appendUnicodeEscape(out, codePoint, '?');
                i = plain + len;
            } else {
                appendHexEscape(out, lead);
            }
        } else if (static_cast<unsigned char>(c) >= 0x80) {
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

RtfDocument::RtfDocument(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp,
                         const codepage::ForeignChars* foreign, std::size_t twoPartsFrom)
    : text_(text), runs_(runs), cp_(cp), foreign_(foreign) {
    // The colour table precedes the body but is made from the runs in their
    // order; taking the colours first lets the body find each colour where
    // it was put, and the document be written in one pass.
    colours_[0] = 0;  // black, always first
    colourCount_ = 1;
    // A large document is split at the first run that starts in the second
    // half of the text, so that two threads can count and write it.
    const std::size_t splitFrom = text.size() >= twoPartsFrom ? text.size() / 2 : SIZE_MAX;
    std::size_t position = 0;
    for (std::size_t i = 0; i < runs_.size(); ++i) {
        const StyleRuns::Run& run = runs_[i];
        addColour(run.colour & 0xFFFFFFu);
        const std::size_t start = clampedStart(run, position);
        if (start >= splitFrom && splitRun_ == SIZE_MAX) {
            splitRun_ = i;
            splitPosition_ = position;
        }
        position = start;
    }
    colourTable_ = "{\\colortbl;";
    for (std::int32_t i = 1; i < colourCount_; ++i) {
        colourTable_ += "\\red";
        colourTable_ += std::to_string((colours_[i] >> 16) & 0xFF);
        colourTable_ += "\\green";
        colourTable_ += std::to_string((colours_[i] >> 8) & 0xFF);
        colourTable_ += "\\blue";
        colourTable_ += std::to_string(colours_[i] & 0xFF);
        colourTable_ += ';';
    }
    colourTable_ += '}';
    runParts(splitRun_ != SIZE_MAX, [this](int part) {
        CountingSink count;
        writePart(count, part);
        partSizes_[part] = count.size;
    });
}

std::size_t RtfDocument::clampedStart(const StyleRuns::Run& run, std::size_t position) const {
    // Only a malformed source gives a start outside the text or before the
    // previous run's; clamping writes every character exactly once.
    std::size_t start = run.charPos < 0 ? 0 : static_cast<std::size_t>(run.charPos);
    if (start > text_.size()) start = text_.size();
    return start < position ? position : start;
}

std::int32_t RtfDocument::addColour(std::uint32_t colour) {
    for (std::int32_t i = 0; i < colourCount_; ++i)
        if (colours_[i] == colour) return i;
    if (colourCount_ == kColourTableSize) return kColourTableSize - 1;
    colours_[colourCount_] = colour;
    return colourCount_++;
}

std::int32_t RtfDocument::colourIndex(std::uint32_t colour) const {
    // Every colour of the runs went into the table, unless it was full.
    for (std::int32_t i = 0; i < colourCount_; ++i)
        if (colours_[i] == colour) return i;
    return kColourTableSize - 1;
}

void RtfDocument::writeTo(char* out) const {
    runParts(splitRun_ != SIZE_MAX, [this, out](int part) {
        WritingSink writer{part == 0 ? out : out + partSizes_[0]};
        writePart(writer, part);
    });
}

// Part 0 is the header and the runs before the split, part 1 the runs from
// the split on and the end; part 0 is the whole document when it is not
// split, and part 1 is then empty.
template <class Sink>
void RtfDocument::writePart(Sink& out, int part) const {
    const bool split = splitRun_ != SIZE_MAX;
    if (part == 1 && !split) return;
    const bool fDoubleByte = codepage::isDoubleByte(cp_);
    codepage::ForeignWalk walk(foreign_);
    const auto appendText = [&](std::size_t from, std::size_t to) {
        walk.walk(
            from, to, [&](std::size_t a, std::size_t b) { appendConverted(out, text_, a, b, fDoubleByte, cp_); },
            [&](const codepage::ForeignChar& c) {
                appendUnicodeEscape(out, c.codePoint, c.cb == 1 ? static_cast<unsigned char>(text_[c.pos]) : '?');
            });
    };
    if (part == 0) {
        out.append("{\\rtf1\\ansi\\ansicpg");
        appendDecimal(out, static_cast<long>(cp_));
        // A reader that knows "\u" skips the one fallback byte after each.
        if (codepage::hasForeign(foreign_) || cp_ == codepage::kUtf8) out.append("\\uc1");
        out.append("{\\fonttbl\\f0\\fswiss\\fcharset");
        appendDecimal(out, static_cast<long>(codepage::codePageCharset(cp_)));
        out.append(" Arial;}");
        out.append(colourTable_.data(), colourTable_.size());
        out.append("\\f0\\fs24 {");
    }

    std::size_t position = part == 0 ? 0 : splitPosition_;
    const std::size_t first = part == 0 ? 0 : splitRun_;
    const std::size_t last = part == 0 && split ? splitRun_ : runs_.size();
    for (std::size_t i = first; i < last; ++i) {
        const StyleRuns::Run& run = runs_[i];
        const std::size_t start = clampedStart(run, position);
        if (start > position) {
            appendText(position, start);
            out.append("}{");
        }
        bool anyWord = false;
        if (run.size > 0) {
            out.append("\\cf");
            appendDecimal(out, colourIndex(run.colour & 0xFFFFFFu));
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
    if (part == 1 || !split) {
        appendText(position, text_.size());
        out.append("}}");
    }
}

std::string rtfDocument(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp,
                        const codepage::ForeignChars* foreign) {
    const RtfDocument document(text, runs, cp, foreign);
    std::string out(document.size(), '\0');
    if (!out.empty()) document.writeTo(&out[0]);
    return out;
}
