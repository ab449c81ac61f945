#include "style/CharStyle_HTML.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

#include "codepage/unicode_text.h"
#include "html/cf_html.h"
#include "style/clipboard_blocks.h"

namespace {

// The attributes of a run as an inline style: each one stated, so that the
// run looks the same wherever it is pasted.
void appendRunStyle(std::string& out, const CharStyle_HTML::Style_t& run) {
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
void appendEscaped(std::string& out, const std::string& text, std::size_t from, std::size_t to) {
    std::string utf8;
    codepage::appendUtf8FromAnsi(utf8, text.data() + from, to - from);
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

CharStyle_HTML::CharStyle_HTML(CharStyle* pStyle) {
    const std::int32_t sourceRuns = pStyle->count();
    try {
        style.reserve(static_cast<std::size_t>(sourceRuns < 0 ? 0 : sourceRuns));
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    CharStyle::copy(this, pStyle);
}

CharStyle_HTML::CharStyle_HTML(const char* block, std::size_t size) { bParsingError = !read(block, size); }

bool CharStyle_HTML::read(const char* data, std::size_t size) {
    html::FragmentText fragment;
    if (!html::readCfHtml(data, size, fragment)) return false;
    // Each run's text in the ANSI code page, its start counted in those bytes.
    text.reserve(fragment.text.size());
    style.reserve(fragment.runs.size());
    for (std::size_t i = 0; i < fragment.runs.size(); ++i) {
        const std::size_t from = fragment.runs[i].start;
        const std::size_t to = i + 1 < fragment.runs.size() ? fragment.runs[i + 1].start : fragment.text.size();
        if (text.size() > static_cast<std::size_t>(INT32_MAX)) return false;
        const html::RunStyle& rs = fragment.runs[i].style;
        const std::int32_t at = static_cast<std::int32_t>(text.size());
        codepage::appendAnsiFromUtf8(text, fragment.text.data() + from, to - from);
        style.push_back(Style_t{at, 0, static_cast<std::int16_t>(rs.face), rs.size, rs.colour});
    }
    if (text.size() > static_cast<std::size_t>(INT32_MAX)) return false;
    for (char& c : text)
        if (c == '\n') c = '\r';
    // The block itself goes back to the clipboard unchanged, up to its first NUL.
    const void* nul = std::memchr(data, '\0', size);
    html.assign(data, nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - data) : size);
    return true;
}

CharStyle_HTML* CharStyle_HTML::InitFromClipboard() {
    clipboard::OpenedClipboard open;
    if (!open.isOpen()) return nullptr;
    clipboard::LockedBlock block(RegisterClipboardFormatA(kFormatName));
    const clipboard::ByteView& view = block.view();
    if (view.data == nullptr) return nullptr;
    try {
        return new CharStyle_HTML(reinterpret_cast<const char*>(view.data), view.size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (const std::length_error&) {
        return nullptr;
    }
}

bool CharStyle_HTML::clipboardHasStyle() { return CharStyle::clipboardHasStyle(kFormatName); }

std::int32_t CharStyle_HTML::charPos(std::int32_t styleNum) {
    if (styleNum < 0 || styleNum >= count()) return -1;
    return style[static_cast<std::size_t>(styleNum)].charPos;
}

bool CharStyle_HTML::add(std::int32_t charPos, std::int16_t size, std::int16_t face, std::uint32_t colour,
                         std::int16_t fontID) {
    if (style.size() >= static_cast<std::size_t>(INT32_MAX)) return false;
    try {
        style.push_back(Style_t{charPos, fontID, face, size, colour});
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    std::string().swap(html);
    return true;
}

void CharStyle_HTML::setText(std::string rawText) {
    text = std::move(rawText);
    style.clear();
    std::string().swap(html);
    bSelected = false;
}

bool CharStyle_HTML::selectStyle(std::int32_t styleNum) {
    if (styleNum < 0 || styleNum >= count()) return false;
    nStyle = styleNum;
    bSelected = true;
    return true;
}

const CharStyle_HTML::Style_t& CharStyle_HTML::selected() const {
    static const Style_t noRun = {};
    return bSelected && static_cast<std::size_t>(nStyle) < style.size() ? style[static_cast<std::size_t>(nStyle)]
                                                                        : noRun;
}

std::string CharStyle_HTML::fragment() const {
    // Tabs and runs of spaces stay as they are in pre-wrap; each run is a span.
    std::string out = "<div style=\"white-space:pre-wrap\">";
    const std::size_t textLength = text.size();
    // Only a malformed source gives a start outside the text or before the
    // previous run's; clamped starts write every character exactly once.
    std::vector<std::size_t> starts(style.size());
    std::size_t position = 0;
    for (std::size_t i = 0; i < style.size(); ++i) {
        std::size_t start = style[i].charPos < 0 ? 0 : static_cast<std::size_t>(style[i].charPos);
        if (start > textLength) start = textLength;
        if (start < position) start = position;
        starts[i] = position = start;
    }
    const std::size_t first = style.empty() ? textLength : starts[0];
    appendEscaped(out, text, 0, first);  // text before the first run, if any
    for (std::size_t i = 0; i < style.size(); ++i) {
        const std::size_t end = i + 1 < style.size() ? starts[i + 1] : textLength;
        if (end == starts[i]) continue;
        out += "<span style=\"";
        appendRunStyle(out, style[i]);
        out += "\">";
        appendEscaped(out, text, starts[i], end);
        out += "</span>";
    }
    out += "</div>";
    return out;
}

const std::string& CharStyle_HTML::block() {
    if (html.empty()) html = html::makeCfHtml(fragment());
    return html;
}

bool CharStyle_HTML::addStyleToClipboard() {
    const std::string& b = block();
    if (b.size() >= UINT32_MAX) return false;
    return CharStyle::addToClipboard(b.c_str(), static_cast<std::uint32_t>(b.size() + 1), kFormatName);
}
