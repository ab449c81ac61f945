#include "style/html_writer.h"

#include <cstdint>
#include <cstdio>
#include <unordered_map>

#include "codepage/unicode_text.h"
#include "html/cf_html.h"
#include "style/face_bits.h"

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

// A run as the block writes it: what differs between runs.
struct Look {
    int face;
    std::int16_t size;
    std::uint32_t colour;
    bool operator==(const Look& o) const { return face == o.face && size == o.size && colour == o.colour; }
};

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
void appendColour(std::string& out, std::uint32_t rgb) {
    static const char kHex[] = "0123456789abcdef";
    const bool shortForm = ((rgb >> 4) & 0x0F0F0F) == (rgb & 0x0F0F0F);
    out += '#';
    if (shortForm) {
        out += kHex[(rgb >> 16) & 0xF];
        out += kHex[(rgb >> 8) & 0xF];
        out += kHex[rgb & 0xF];
        return;
    }
    for (int shift = 20; shift >= 0; shift -= 4) out += kHex[(rgb >> shift) & 0xF];
}

void appendDecimal(std::string& out, int value) {
    char digits[16];
    const int n = std::snprintf(digits, sizeof digits, "%d", value);
    out.append(digits, static_cast<std::size_t>(n));
}

// The outer element: white space kept, and every attribute a run can have
// stated once, so that the place the block is pasted into cannot lend its
// own style to the runs.
void appendOpening(std::string& out, const Defaults& defaults) {
    out +=
        "<div style=\"white-space:pre-wrap;font-weight:normal;font-style:normal;text-decoration:none;"
        "vertical-align:baseline;";
    if (defaults.size > 0) {
        out += "font-size:";
        appendDecimal(out, defaults.size);
        out += "pt;";
    }
    out += "color:";
    appendColour(out, defaults.colour);
    out += "\">";
}

// Opens the elements of a run, outermost first, and appends their closing
// tags to `closing`. Size, colour and vertical alignment that differ from the
// defaults go on a span outside the others, so that an underline or a line
// through takes the run's colour; bold, italic, underline and line-through
// are their own elements, which Chromium computes as those properties.
void openRun(std::string& out, std::string& closing, const Look& look, const Defaults& defaults) {
    closing.clear();
    const bool size = look.size > 0 && look.size != defaults.size;
    const bool colour = look.colour != defaults.colour;
    const char* vertical = (look.face & kFaceSuperscript) ? "super" : (look.face & kFaceSubscript) ? "sub" : nullptr;
    if (size || colour || vertical != nullptr) {
        out += "<span style=\"";
        const char* separator = "";
        if (size) {
            out += "font-size:";
            appendDecimal(out, look.size);
            out += "pt";
            separator = ";";
        }
        if (colour) {
            out += separator;
            out += "color:";
            appendColour(out, look.colour);
            separator = ";";
        }
        if (vertical != nullptr) {
            out += separator;
            out += "vertical-align:";
            out += vertical;
        }
        out += "\">";
        closing = "</span>";
    }
    static const struct {
        int face;
        const char* open;
        const char* close;
    } kElements[] = {{kFaceBold, "<b>", "</b>"},
                     {kFaceItalic, "<i>", "</i>"},
                     {kFaceUnderline, "<u>", "</u>"},
                     {kFaceStrikethrough, "<s>", "</s>"}};
    for (const auto& e : kElements) {
        if ((look.face & e.face) == 0) continue;
        out += e.open;
        closing.insert(0, e.close);
    }
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
void appendEscaped(std::string& out, const std::string& text, std::size_t from, std::size_t to, codepage::CodePage cp,
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
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            case '\r':
                out += "<br>";
                if (i + 1 < n && s[i + 1] == '\n') ++i;
                break;
            case '\n':
                out += "<br>";
                break;
            case '\0':
                break;  // the end of CF_TEXT; not a character
            default: {
                char ref[8];
                std::snprintf(ref, sizeof ref, "&#%d;", static_cast<int>(c));
                out += ref;
            }
        }
        ++i;
    }
}

}  // namespace

std::string htmlFragment(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp) {
    const std::size_t textLength = text.size();
    // Only a malformed source gives a start outside the text or before the
    // previous run's; clamped starts write every character exactly once.
    // Neighbouring runs that look the same are written as one.
    std::vector<std::size_t> starts;
    std::vector<Look> looks;
    starts.reserve(runs.size());
    looks.reserve(runs.size());
    std::size_t position = 0;
    for (const StyleRuns::Run& run : runs) {
        std::size_t start = run.charPos < 0 ? 0 : static_cast<std::size_t>(run.charPos);
        if (start > textLength) start = textLength;
        if (start < position) start = position;
        position = start;
        const Look look = lookOf(run);
        if (!looks.empty() && starts.back() == start) {
            looks.back() = look;  // the earlier run has no text
        } else if (looks.empty() || !(looks.back() == look)) {
            starts.push_back(start);
            looks.push_back(look);
        }
    }
    if (!looks.empty() && starts.back() == textLength) {
        starts.pop_back();
        looks.pop_back();
    }
    const Defaults defaults = defaultsOf(looks);

    std::string out;
    out.reserve(textLength + textLength / 8 + looks.size() * 16 + 256);
    appendOpening(out, defaults);
    std::string scratch;
    std::string closing;
    const std::size_t first = looks.empty() ? textLength : starts[0];
    appendEscaped(out, text, 0, first, cp, scratch);  // text before the first run, if any
    for (std::size_t i = 0; i < looks.size(); ++i) {
        const std::size_t end = i + 1 < looks.size() ? starts[i + 1] : textLength;
        openRun(out, closing, looks[i], defaults);
        appendEscaped(out, text, starts[i], end, cp, scratch);
        out += closing;
    }
    out += "</div>";
    return out;
}

std::string htmlBlock(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp) {
    return html::makeCfHtml(htmlFragment(text, runs, cp));
}
