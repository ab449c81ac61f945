#include "tools/run_view.h"

#include <algorithm>
#include <cstdio>

#include "codepage/unicode_text.h"
#include "codepage/utf8.h"
#include "style/CharStyle.h"

namespace tool {

namespace {

std::string hexColour(std::uint32_t colour) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%06X", static_cast<unsigned>(colour & 0xFFFFFFu));
    return buffer;
}

// The characters of text[begin, end), clamped to the text, in UTF-8: bytes
// in the text's code page, and its foreign characters in place of their
// fallbacks. The slices asked of one walk must not go backwards.
std::string utf8Slice(const StyledText& styled, codepage::ForeignWalk& walk, std::int32_t begin, std::int32_t end) {
    const std::int32_t size = static_cast<std::int32_t>(styled.text.size());
    begin = std::clamp(begin, 0, size);
    end = std::clamp(end, begin, size);
    std::string out;
    walk.walk(
        static_cast<std::size_t>(begin), static_cast<std::size_t>(end),
        [&](std::size_t a, std::size_t b) {
            codepage::appendUtf8FromCodePage(out, styled.text.data() + a, b - a, styled.cp);
        },
        [&](const codepage::ForeignChar& c) { codepage::appendUtf8(out, c.codePoint); });
    return out;
}

// Decodes the UTF-8 character at s[i]; answers its length (1 for a byte that
// starts none, which reads as U+FFFD).
std::size_t decodeUtf8(const std::string& s, std::size_t i, std::uint32_t& cp) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const std::size_t len = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
    if (len == 0 || i + len > s.size()) {
        cp = 0xFFFD;
        return 1;
    }
    cp = len == 1 ? c : c & (0x7F >> len);
    for (std::size_t k = 1; k < len; ++k) cp = cp << 6 | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    return len;
}

// UTF-8 for a terminal: every line end a newline, other controls "?".
std::string terminalText(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c == '\r') {
            out.push_back('\n');
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
        } else if (c < 0x20 && c != '\n' && c != '\t') {
            out.push_back('?');
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

// UTF-8 for a page that keeps white space: markup escaped, every line end a
// newline, other controls U+FFFD.
std::string htmlText(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\r':
                out += "\n";
                if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
                break;
            case '\n':
            case '\t':
                out.push_back(static_cast<char>(c));
                break;
            default:
                if (c < 0x20)
                    out += "&#xFFFD;";
                else
                    out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

}  // namespace

StyledText readContainer(CharStyle& container) {
    StyledText styled;
    styled.text = container.getText();
    styled.cp = codepage::ansiCodePage();
    styled.foreign = container.foreignChars();
    const std::int32_t n = container.count();
    const std::int32_t length = static_cast<std::int32_t>(styled.text.size());
    for (std::int32_t i = 0; i < n; ++i) {
        if (!container.selectStyle(i)) continue;
        Run run;
        run.start = container.charPos(i);
        run.end = i + 1 < n ? container.charPos(i + 1) : length;
        run.size = container.getSize();
        run.face = static_cast<std::uint16_t>(container.getFace());
        run.colour = container.getRGB();
        styled.runs.push_back(run);
    }
    return styled;
}

std::string faceNames(std::uint16_t face) {
    static const struct {
        std::uint16_t bit;
        const char* name;
    } kNames[] = {{kFaceBold, "bold"},
                  {kFaceItalic, "italic"},
                  {kFaceUnderline, "underline"},
                  {kFaceWordUnderline, "word-underline"},
                  {kFaceDoubleUnderline, "double-underline"},
                  {kFaceStrikethrough, "strike"},
                  {kFaceSmallCaps, "small-caps"},
                  {kFaceSuperscript, "super"},
                  {kFaceSubscript, "sub"},
                  {kFaceOutline, "outline"},
                  {kFaceShadow, "shadow"},
                  {kFaceCondensed, "condensed"},
                  {kFaceExtended, "extended"},
                  {0x0010, "0x0010"},
                  {0x0020, "0x0020"},
                  {0x8000, "0x8000"}};
    if (face == 0) return "plain";
    std::string out;
    for (const auto& n : kNames) {
        if ((face & n.bit) == 0) continue;
        if (!out.empty()) out += ' ';
        out += n.name;
    }
    return out;
}

std::string asTable(const StyledText& styled) {
    std::string out =
        "text: " + std::to_string(styled.text.size()) + " bytes, " + std::to_string(styled.runs.size()) + " runs\n";
    char line[256];
    std::snprintf(line, sizeof line, "%5s %8s %8s %5s  %-7s %s\n", "run", "start", "end", "size", "colour", "face");
    out += line;
    for (size_t i = 0; i < styled.runs.size(); ++i) {
        const Run& r = styled.runs[i];
        std::snprintf(line, sizeof line, "%5zu %8d %8d %5d  %-7s %s\n", i, r.start, r.end, r.size,
                      hexColour(r.colour).c_str(), faceNames(r.face).c_str());
        out += line;
    }
    return out;
}

std::string asJson(const StyledText& styled) {
    std::string out = "{\"text\": \"";
    codepage::ForeignWalk walk(&styled.foreign);
    const std::string text = utf8Slice(styled, walk, 0, static_cast<std::int32_t>(styled.text.size()));
    for (std::size_t i = 0; i < text.size();) {
        std::uint32_t c = 0;
        i += decodeUtf8(text, i, c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c >= 0x80) {
                    char escape[16];
                    if (c >= 0x10000)
                        std::snprintf(escape, sizeof escape, "\\u%04X\\u%04X", 0xD800 + ((c - 0x10000) >> 10),
                                      0xDC00 + ((c - 0x10000) & 0x3FF));
                    else
                        std::snprintf(escape, sizeof escape, "\\u%04X", c);
                    out += escape;
                } else {
                    out.push_back(static_cast<char>(c));
                }
        }
    }
    out += "\", \"runs\": [";
    for (size_t i = 0; i < styled.runs.size(); ++i) {
        const Run& r = styled.runs[i];
        if (i > 0) out += ", ";
        out += "{\"start\": " + std::to_string(r.start) + ", \"size\": " + std::to_string(r.size) +
               ", \"face\": " + std::to_string(r.face) + ", \"colour\": \"" + hexColour(r.colour) + "\"}";
    }
    out += "]}\n";
    return out;
}

std::string asAnsi(const StyledText& styled) {
    std::string out;
    codepage::ForeignWalk walk(&styled.foreign);
    std::int32_t position = 0;
    auto plainUpTo = [&](std::int32_t end) {
        if (end > position) out += terminalText(utf8Slice(styled, walk, position, end));
        position = std::max(position, end);
    };
    for (const Run& r : styled.runs) {
        plainUpTo(r.start);
        std::string codes = "0";
        if (r.face & kFaceBold) codes += ";1";
        if (r.face & kFaceItalic) codes += ";3";
        if (r.face & (kFaceUnderline | kFaceWordUnderline | kFaceDoubleUnderline)) codes += ";4";
        if (r.face & kFaceStrikethrough) codes += ";9";
        if (r.colour != 0)
            codes += ";38;2;" + std::to_string((r.colour >> 16) & 0xFF) + ";" + std::to_string((r.colour >> 8) & 0xFF) +
                     ";" + std::to_string(r.colour & 0xFF);
        const bool styledRun = codes != "0";
        if (styledRun) out += "\x1b[" + codes + "m";
        out += terminalText(utf8Slice(styled, walk, std::max(position, r.start), r.end));
        position = std::max(position, r.end);
        if (styledRun) out += "\x1b[0m";
    }
    plainUpTo(static_cast<std::int32_t>(styled.text.size()));
    if (out.empty() || out.back() != '\n') out.push_back('\n');
    return out;
}

std::string asHtml(const StyledText& styled, const std::string& title) {
    std::string out = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
                      htmlText(title) +
                      "</title>\n<style>\nbody { font-family: Arial, sans-serif; font-size: 12pt; margin: 2em; }\n"
                      "main { white-space: pre-wrap; }\n</style>\n</head>\n<body>\n<main>";
    codepage::ForeignWalk walk(&styled.foreign);
    std::int32_t position = 0;
    for (const Run& r : styled.runs) {
        if (r.start > position) out += htmlText(utf8Slice(styled, walk, position, r.start));
        position = std::max(position, r.start);
        std::string css;
        if (r.size > 0) css += "font-size: " + std::to_string(r.size) + "pt; ";
        if (r.colour != 0) css += "color: #" + hexColour(r.colour) + "; ";
        if (r.face & kFaceBold) css += "font-weight: bold; ";
        if (r.face & kFaceItalic) css += "font-style: italic; ";
        std::string decoration;
        if (r.face & (kFaceUnderline | kFaceWordUnderline | kFaceDoubleUnderline)) decoration += " underline";
        if (r.face & kFaceStrikethrough) decoration += " line-through";
        if (!decoration.empty()) css += "text-decoration:" + decoration + "; ";
        if (r.face & kFaceDoubleUnderline) css += "text-decoration-style: double; ";
        if (r.face & kFaceSmallCaps) css += "font-variant: small-caps; ";
        if (r.face & kFaceSuperscript) css += "vertical-align: super; font-size: smaller; ";
        if (r.face & kFaceSubscript) css += "vertical-align: sub; font-size: smaller; ";
        if (!css.empty()) css.pop_back();
        out += "<span style=\"" + css + "\">" + htmlText(utf8Slice(styled, walk, position, r.end)) + "</span>";
        position = std::max(position, r.end);
    }
    if (position < static_cast<std::int32_t>(styled.text.size()))
        out += htmlText(utf8Slice(styled, walk, position, static_cast<std::int32_t>(styled.text.size())));
    out += "</main>\n</body>\n</html>\n";
    return out;
}

}  // namespace tool
