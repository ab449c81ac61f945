#include "tools/run_view.h"

#include <algorithm>
#include <cstdio>

#include "codepage/utf8.h"
#include "style/CharStyle.h"

namespace tool {

namespace {

std::string hexColour(std::uint32_t colour) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%06X", static_cast<unsigned>(colour & 0xFFFFFFu));
    return buffer;
}

// Windows-1252 code points for 0x80..0x9F; Latin-1 elsewhere.
char32_t codePoint(unsigned char c) {
    static const char16_t k80[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                     0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    return c >= 0x80 && c < 0xA0 ? k80[c - 0x80] : c;
}

// Characters of the text from `begin` to `end`, bounded by the text.
std::string slice(const std::string& text, std::int32_t begin, std::int32_t end) {
    const std::int32_t size = static_cast<std::int32_t>(text.size());
    begin = std::clamp(begin, 0, size);
    end = std::clamp(end, begin, size);
    return text.substr(static_cast<size_t>(begin), static_cast<size_t>(end - begin));
}

// The text for a terminal: UTF-8, every line end a newline.
std::string terminalText(const std::string& bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\r') {
            out.push_back('\n');
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else if (c < 0x20 && c != '\n' && c != '\t') {
            out.push_back('?');
        } else {
            codepage::appendUtf8(out, codePoint(c));
        }
    }
    return out;
}

std::string htmlText(const std::string& bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
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
            case '\r':  // the page keeps white space, so a newline breaks the line
                out += "\n";
                if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
                break;
            default:
                if (c < 0x20 && c != '\t')
                    out += "&#xFFFD;";
                else
                    codepage::appendUtf8(out, codePoint(c));
        }
    }
    return out;
}

}  // namespace

StyledText readContainer(CharStyle& container) {
    StyledText styled;
    styled.text = container.getText();
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
    for (unsigned char c : styled.text) {
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
                    char escape[8];
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
    std::int32_t position = 0;
    auto plainUpTo = [&](std::int32_t end) {
        if (end > position) out += terminalText(slice(styled.text, position, end));
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
        out += terminalText(slice(styled.text, std::max(position, r.start), r.end));
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
    std::int32_t position = 0;
    for (const Run& r : styled.runs) {
        if (r.start > position) out += htmlText(slice(styled.text, position, r.start));
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
        out += "<span style=\"" + css + "\">" + htmlText(slice(styled.text, position, r.end)) + "</span>";
        position = std::max(position, r.end);
    }
    if (position < static_cast<std::int32_t>(styled.text.size()))
        out += htmlText(slice(styled.text, position, static_cast<std::int32_t>(styled.text.size())));
    out += "</main>\n</body>\n</html>\n";
    return out;
}

}  // namespace tool
