#include "style/html_writer.h"

#include <cstdint>
#include <cstring>
#include <unordered_map>

#include "codepage/unicode_text.h"
#include "html/cf_html.h"
#include "style/face_bits.h"
#include "style/writer_sinks.h"

namespace {

// The face bits the block states; the others have no place in it.
constexpr int kWrittenFaces =
    kFaceBold | kFaceItalic | kFaceUnderline | kFaceStrikethrough | kFaceSuperscript | kFaceSubscript;

// What the outer element states for every run: the most common size and
// colour, so that most runs state neither.
struct Defaults {
    std::int16_t size = 0;  // 0: no run has a size
    std::uint32_t colour = 0;
};

using Look = HtmlDocument::Look;

Look lookOf(const StyleRuns::Run& run) {
    return Look{run.face & kWrittenFaces, run.size > 0 ? run.size : std::int16_t{0}, run.colour & 0xFFFFFFu};
}

template <class Key>
Key mostCommon(const std::unordered_map<Key, std::size_t>& counts, Key otherwise) {
    Key best = otherwise;
    std::size_t bestCount = 0;
    for (const auto& [key, count] : counts)
        if (count > bestCount || (count == bestCount && key < best)) {
            best = key;
            bestCount = count;
        }
    return best;
}

Defaults defaultsOf(const std::vector<Look>& looks) {
    std::unordered_map<std::int16_t, std::size_t> sizes;
    std::unordered_map<std::uint32_t, std::size_t> colours;
    for (const Look& look : looks) {
        if (look.size > 0) ++sizes[look.size];
        ++colours[look.colour];
    }
    return Defaults{mostCommon<std::int16_t>(sizes, 0), mostCommon<std::uint32_t>(colours, 0)};
}

// A colour as #rgb where that is exact, else as #rrggbb.
template <class Sink>
void appendColour(Sink& out, std::uint32_t rgb) {
    static const char kHex[] = "0123456789abcdef";
    const bool shortForm = ((rgb >> 4) & 0x0F0F0F) == (rgb & 0x0F0F0F);
    out.put('#');
    if (shortForm) {
        out.put(kHex[(rgb >> 16) & 0xF]);
        out.put(kHex[(rgb >> 8) & 0xF]);
        out.put(kHex[rgb & 0xF]);
        return;
    }
    for (int shift = 20; shift >= 0; shift -= 4) out.put(kHex[(rgb >> shift) & 0xF]);
}

// The outer element: white space kept, and every attribute a run can have
// stated once, so that the place the block is pasted into cannot lend its
// own style to the runs.
template <class Sink>
void appendOpening(Sink& out, const Defaults& defaults) {
    out.append(
        "<div style=\"white-space:pre-wrap;font-weight:normal;font-style:normal;text-decoration:none;"
        "vertical-align:baseline;");
    if (defaults.size > 0) {
        out.append("font-size:");
        appendDecimal(out, defaults.size);
        out.append("pt;");
    }
    out.append("color:");
    appendColour(out, defaults.colour);
    out.append("\">");
}

// The elements of a run: size, colour and vertical alignment that differ
// from the defaults go on a span outside the others, so that an underline or
// a line through takes the run's colour; bold, italic, underline and
// line-through are their own elements, which Chromium computes as those
// properties.
struct FaceElement {
    int face;
    const char* open;
    const char* close;
};
constexpr FaceElement kFaceElements[] = {{kFaceBold, "<b>", "</b>"},
                                         {kFaceItalic, "<i>", "</i>"},
                                         {kFaceUnderline, "<u>", "</u>"},
                                         {kFaceStrikethrough, "<s>", "</s>"}};

bool needsSpan(const Look& look, const Defaults& defaults) {
    return (look.size > 0 && look.size != defaults.size) || look.colour != defaults.colour ||
           (look.face & (kFaceSuperscript | kFaceSubscript)) != 0;
}

template <class Sink>
void openRun(Sink& out, const Look& look, const Defaults& defaults) {
    if (needsSpan(look, defaults)) {
        out.append("<span style=\"");
        bool separate = false;
        if (look.size > 0 && look.size != defaults.size) {
            out.append("font-size:");
            appendDecimal(out, look.size);
            out.append("pt");
            separate = true;
        }
        if (look.colour != defaults.colour) {
            if (separate) out.put(';');
            out.append("color:");
            appendColour(out, look.colour);
            separate = true;
        }
        if ((look.face & (kFaceSuperscript | kFaceSubscript)) != 0) {
            if (separate) out.put(';');
            // Superscript wins where a run has both.
            if (look.face & kFaceSuperscript)
                out.append("vertical-align:super");
            else
                out.append("vertical-align:sub");
        }
        out.append("\">");
    }
    for (const FaceElement& e : kFaceElements)
        if (look.face & e.face) out.append(e.open, std::strlen(e.open));
}

template <class Sink>
void closeRun(Sink& out, const Look& look, const Defaults& defaults) {
    for (std::size_t i = sizeof kFaceElements / sizeof kFaceElements[0]; i-- > 0;)
        if (look.face & kFaceElements[i].face) out.append(kFaceElements[i].close, std::strlen(kFaceElements[i].close));
    if (needsSpan(look, defaults)) out.append("</span>");
}

// Bytes of UTF-8 that are not copied as they are: markup characters, line
// ends, NUL and the other controls but tab.
struct EscapedBytes {
    bool escaped[256] = {};
    constexpr EscapedBytes() {
        for (int c = 0; c < 0x20; ++c) escaped[c] = c != '\t';
        for (unsigned char c : {'&', '<', '>', '"', '\''}) escaped[c] = true;
    }
};
constexpr EscapedBytes kEscapedBytes;

// Appends text[from, to), converted to UTF-8, escaped, line ends as <br>;
// `utf8` is room to convert in, kept between calls.
template <class Sink>
void appendEscaped(Sink& out, const std::string& text, std::size_t from, std::size_t to, codepage::CodePage cp,
                   std::string& utf8) {
    utf8.clear();
    codepage::appendUtf8FromCodePage(utf8, text.data() + from, to - from, cp);
    const char* const s = utf8.data();
    const std::size_t n = utf8.size();
    std::size_t i = 0;
    while (i < n) {
        std::size_t plain = i;
        while (plain < n && !kEscapedBytes.escaped[static_cast<unsigned char>(s[plain])]) ++plain;
        out.append(s + i, plain - i);
        if (plain == n) break;
        i = plain;
        const char c = s[i];
        switch (c) {
            case '&':
                out.append("&amp;");
                break;
            case '<':
                out.append("&lt;");
                break;
            case '>':
                out.append("&gt;");
                break;
            case '"':
                out.append("&quot;");
                break;
            case '\'':
                out.append("&#39;");
                break;
            case '\r':
                out.append("<br>");
                if (i + 1 < n && s[i + 1] == '\n') ++i;
                break;
            case '\n':
                out.append("<br>");
                break;
            case '\0':
                break;  // the end of CF_TEXT; not a character
            default:
                out.append("&#");
                appendDecimal(out, static_cast<int>(c));
                out.put(';');
        }
        ++i;
    }
}

}  // namespace

HtmlDocument::HtmlDocument(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp)
    : text_(text), cp_(cp) {
    const std::size_t textLength = text.size();
    // Only a malformed source gives a start outside the text or before the
    // previous run's; clamped starts write every character exactly once.
    // Neighbouring runs that look the same are written as one.
    starts_.reserve(runs.size());
    looks_.reserve(runs.size());
    std::size_t position = 0;
    for (const StyleRuns::Run& run : runs) {
        std::size_t start = run.charPos < 0 ? 0 : static_cast<std::size_t>(run.charPos);
        if (start > textLength) start = textLength;
        if (start < position) start = position;
        position = start;
        const Look look = lookOf(run);
        if (!looks_.empty() && starts_.back() == start) {
            looks_.back() = look;  // the earlier run has no text
        } else if (looks_.empty() || !(looks_.back() == look)) {
            starts_.push_back(start);
            looks_.push_back(look);
        }
    }
    if (!looks_.empty() && starts_.back() == textLength) {
        starts_.pop_back();
        looks_.pop_back();
    }
    const Defaults defaults = defaultsOf(looks_);
    defaultSize_ = defaults.size;
    defaultColour_ = defaults.colour;
    CountingSink count;
    writeFragment(count);
    fragmentSize_ = count.size;
    before_ = html::cfHtmlBefore(fragmentSize_);
}

std::size_t HtmlDocument::size() const { return before_.size() + fragmentSize_ + html::cfHtmlAfter().size(); }

void HtmlDocument::writeTo(char* out) const {
    WritingSink writer{out};
    writer.append(before_.data(), before_.size());
    writeFragment(writer);
    writer.append(html::cfHtmlAfter().data(), html::cfHtmlAfter().size());
}

template <class Sink>
void HtmlDocument::writeFragment(Sink& out) const {
    const Defaults defaults{defaultSize_, defaultColour_};
    const std::size_t textLength = text_.size();
    std::string scratch;
    appendOpening(out, defaults);
    const std::size_t first = looks_.empty() ? textLength : starts_[0];
    appendEscaped(out, text_, 0, first, cp_, scratch);  // text before the first run, if any
    for (std::size_t i = 0; i < looks_.size(); ++i) {
        const std::size_t end = i + 1 < looks_.size() ? starts_[i + 1] : textLength;
        openRun(out, looks_[i], defaults);
        appendEscaped(out, text_, starts_[i], end, cp_, scratch);
        closeRun(out, looks_[i], defaults);
    }
    out.append("</div>");
}

std::string htmlFragment(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp) {
    const std::string block = htmlBlock(text, runs, cp);
    html::CfHtmlLayout layout;
    html::parseCfHtmlHeader(block.data(), block.size(), layout);
    return block.substr(layout.fragmentStart, layout.fragmentEnd - layout.fragmentStart);
}

std::string htmlBlock(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp) {
    const HtmlDocument document(text, runs, cp);
    std::string block(document.size(), '\0');
    document.writeTo(block.data());
    return block;
}
