#include "style/html_writer.h"

#include <cstdio>

#include "codepage/unicode_text.h"
#include "html/cf_html.h"
#include "style/face_bits.h"

namespace {

// The attributes of a run as an inline style: each one stated, so that the
// run looks the same wherever it is pasted.
void appendRunStyle(std::string& out, const StyleRuns::Run& run) {
    const int face = run.face;
    out += (face & kFaceBold) ? "font-weight:bold;" : "font-weight:normal;";
    out += (face & kFaceItalic) ? "font-style:italic;" : "font-style:normal;";
    const bool underline = (face & kFaceUnderline) != 0;
    const bool strike = (face & kFaceStrikethrough) != 0;
    out += underline && strike ? "text-decoration:underline line-through;"
           : underline         ? "text-decoration:underline;"
           : strike            ? "text-decoration:line-through;"
                               : "text-decoration:none;";
    out += (face & kFaceSuperscript) ? "vertical-align:super;"
           : (face & kFaceSubscript) ? "vertical-align:sub;"
                                     : "vertical-align:baseline;";
    char buf[48];
    if (run.size > 0) {
        std::snprintf(buf, sizeof buf, "font-size:%dpt;", static_cast<int>(run.size));
        out += buf;
    }
    std::snprintf(buf, sizeof buf, "color:#%06x", static_cast<unsigned>(run.colour & 0xFFFFFFu));
    out += buf;
}

// Appends text[from, to), converted to UTF-8, escaped, line ends as <br>.
void appendEscaped(std::string& out, const std::string& text, std::size_t from, std::size_t to, codepage::CodePage cp) {
    std::string utf8;
    codepage::appendUtf8FromCodePage(utf8, text.data() + from, to - from, cp);
    const std::size_t n = utf8.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = utf8[i];
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
                if (i + 1 < n && utf8[i + 1] == '\n') ++i;
                break;
            case '\n':
                out += "<br>";
                break;
            case '\0':
                break;  // the end of CF_TEXT; not a character
            default:
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
                    char ref[8];
                    std::snprintf(ref, sizeof ref, "&#%d;", static_cast<int>(c));
                    out += ref;
                } else {
                    out.push_back(c);
                }
        }
    }
}

}  // namespace

std::string htmlFragment(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp) {
    // Tabs and runs of spaces stay as they are in pre-wrap; each run is a span.
    std::string out = "<div style=\"white-space:pre-wrap\">";
    const std::size_t textLength = text.size();
    // Only a malformed source gives a start outside the text or before the
    // previous run's; clamped starts write every character exactly once.
    std::vector<std::size_t> starts(runs.size());
    std::size_t position = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        std::size_t start = runs[i].charPos < 0 ? 0 : static_cast<std::size_t>(runs[i].charPos);
        if (start > textLength) start = textLength;
        if (start < position) start = position;
        starts[i] = position = start;
    }
    const std::size_t first = runs.empty() ? textLength : starts[0];
    appendEscaped(out, text, 0, first, cp);  // text before the first run, if any
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const std::size_t end = i + 1 < runs.size() ? starts[i + 1] : textLength;
        if (end == starts[i]) continue;
        out += "<span style=\"";
        appendRunStyle(out, runs[i]);
        out += "\">";
        appendEscaped(out, text, starts[i], end, cp);
        out += "</span>";
    }
    out += "</div>";
    return out;
}

std::string htmlBlock(const std::string& text, const std::vector<StyleRuns::Run>& runs, codepage::CodePage cp) {
    return html::makeCfHtml(htmlFragment(text, runs, cp));
}
