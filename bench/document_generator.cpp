#include "bench/document_generator.h"

#include <cstdio>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// A small generator with the same sequence on every platform and library.
class SplitMix {
  public:
    explicit SplitMix(unsigned seed) : state_(0x9E3779B97F4A7C15ull ^ seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A number from 0 to n - 1.
    unsigned below(unsigned n) { return static_cast<unsigned>(next() % n); }
    bool chance(unsigned percent) { return below(100) < percent; }

  private:
    std::uint64_t state_;
};

struct Word {
    const char* rtf;
    const char* text;
};

// Words as the document writes them and as they read back.
const Word kWords[] = {
    {"the", "the"},
    {"of", "of"},
    {"and", "and"},
    {"to", "to"},
    {"in", "in"},
    {"styled", "styled"},
    {"text", "text"},
    {"clipboard", "clipboard"},
    {"paste", "paste"},
    {"copy", "copy"},
    {"format", "format"},
    {"window", "window"},
    {"between", "between"},
    {"programs", "programs"},
    {"survives", "survives"},
    {"every", "every"},
    {"paragraph", "paragraph"},
    {"keeps", "keeps"},
    {"its", "its"},
    {"colour", "colour"},
    {"size", "size"},
    {"bold", "bold"},
    {"italic", "italic"},
    {"underline", "underline"},
    {"document", "document"},
    {"reader", "reader"},
    {"writer", "writer"},
    {"quickly", "quickly"},
    {"with", "with"},
    {"a", "a"},
    {"is", "is"},
    {"for", "for"},
    {"caf\\'e9", "caf\xE9"},
    {"na\\'efve", "na\xEFve"},
    {"r\\'e9sum\\'e9", "r\xE9sum\xE9"},
    {"\\'93quoted\\'94", "\x93quoted\x94"},
    {"\\{braces\\}", "{braces}"},
    {"back\\\\slash", "back\\slash"},
    {"fa\\'e7ade",
     "fa\xE7"
     "ade"},
};
constexpr unsigned kWordCount = sizeof kWords / sizeof kWords[0];

// The colour table after its automatic first entry.
const std::uint32_t kColours[] = {0x000000, 0xC00000, 0x00A000, 0x0000C0, 0x808000, 0x800080, 0x008080, 0xFF8000};
constexpr unsigned kColourCount = sizeof kColours / sizeof kColours[0];

// The character properties a reader tracks for the runs.
struct Props {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 0;
    int font = 0;
    std::uint32_t colour = 0;
    bool operator==(const Props& o) const {
        return bold == o.bold && italic == o.italic && underline == o.underline && halfPoints == o.halfPoints &&
               font == o.font && colour == o.colour;
    }
};

class Builder {
  public:
    explicit Builder(bool keepText) : keepText_(keepText) {}

    void raw(const char* rtf) { doc.rtf += rtf; }
    void raw(const std::string& rtf) { doc.rtf += rtf; }

    // Appends RTF that delivers `text`, every character with `props`.
    void chars(const char* rtf, const char* text, const Props& props) {
        doc.rtf += rtf;
        if (!keepText_) return;
        for (const char* c = text; *c != '\0'; ++c) {
            if (!(props == previous_)) {
                previous_ = props;
                const int points = static_cast<std::int16_t>(props.halfPoints / 2);
                doc.runs.push_back(GeneratedRun{
                    static_cast<std::int32_t>(doc.text.size()), static_cast<std::int16_t>(points == 0 ? 12 : points),
                    static_cast<std::int16_t>((props.bold ? 0x0100 : 0) | (props.italic ? 0x0200 : 0) |
                                              (props.underline ? 0x0400 : 0)),
                    props.colour});
            }
            doc.text += *c;
        }
    }

    GeneratedDocument doc;

  private:
    bool keepText_;
    Props previous_;  // the reader starts with every property zero
};

GeneratedDocument generate(std::size_t approxBytes, unsigned seed, bool keepText) {
    SplitMix random(seed);
    Builder out(keepText);
    out.doc.rtf.reserve(approxBytes + 256);

    out.raw(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
        "{\\f1\\froman\\fcharset0 Times New Roman;}{\\f2\\fmodern\\fcharset0 Courier New;}}\r\n");
    out.raw("{\\colortbl;");
    for (std::uint32_t c : kColours)
        out.raw("\\red" + std::to_string(c >> 16 & 0xFF) + "\\green" + std::to_string(c >> 8 & 0xFF) + "\\blue" +
                std::to_string(c & 0xFF) + ";");
    out.raw(
        "}\r\n{\\info{\\title Generated styled text}{\\author Benchmark}"
        "{\\creatim\\yr2024\\mo6\\dy1\\hr9\\min30}{\\doccomm Frequent style changes.}}\r\n");
    out.raw("\\viewkind4\\uc1\\pard\\f0\\fs24 ");

    Props base;
    base.halfPoints = 24;
    unsigned bookmark = 0;
    const Props space = base;
    while (out.doc.rtf.size() < approxBytes) {
        const unsigned sentences = 2 + random.below(4);
        for (unsigned s = 0; s < sentences; ++s) {
            const unsigned words = 4 + random.below(10);
            for (unsigned w = 0; w < words; ++w) {
                if (random.chance(30)) {
                    // A short group that switches on one to three properties.
                    Props props = base;
                    std::string opening = "{";
                    const unsigned changes = 1 + random.below(3);
                    for (unsigned c = 0; c < changes; ++c) {
                        switch (random.below(6)) {
                            case 0:
                                opening += "\\b";
                                props.bold = true;
                                break;
                            case 1:
                                opening += "\\i";
                                props.italic = true;
                                break;
                            case 2:
                                opening += "\\ul";
                                props.underline = true;
                                break;
                            case 3: {
                                const unsigned index = 1 + random.below(kColourCount);
                                opening += "\\cf" + std::to_string(index);
                                props.colour = kColours[index - 1];
                                break;
                            }
                            case 4: {
                                const int halfPoints = 16 + 2 * static_cast<int>(random.below(11));
                                opening += "\\fs" + std::to_string(halfPoints);
                                props.halfPoints = halfPoints;
                                break;
                            }
                            default: {
                                const int font = static_cast<int>(random.below(3));
                                opening += "\\f" + std::to_string(font);
                                props.font = font;
                                break;
                            }
                        }
                    }
                    opening += ' ';
                    out.raw(opening);
                    const unsigned grouped = 1 + random.below(3);
                    for (unsigned g = 0; g < grouped; ++g) {
                        const Word& word = kWords[random.below(kWordCount)];
                        if (g > 0) out.chars(" ", " ", props);
                        out.chars(word.rtf, word.text, props);
                    }
                    out.raw("}");
                } else {
                    const Word& word = kWords[random.below(kWordCount)];
                    out.chars(word.rtf, word.text, base);
                }
                if (random.chance(3)) {
                    const std::string name = "bm" + std::to_string(bookmark++);
                    out.raw("{\\*\\bkmkstart " + name + "}{\\*\\bkmkend " + name + "}");
                }
                out.chars(w + 1 < words ? " " : ". ", w + 1 < words ? " " : ". ", space);
            }
        }
        if (random.chance(5)) {
            std::string picture = "{\\pict\\pngblip\\picw16\\pich16 ";
            for (unsigned i = 0; i < 32; ++i) picture += "0123456789abcdef"[random.below(16)];
            out.raw(picture + "}");
        }
        if (random.chance(20)) out.chars("\\tab ", "\t", base);
        out.chars("\\par\r\n", "\n", base);
    }
    out.raw("}");
    return std::move(out.doc);
}

}  // namespace

GeneratedDocument generateStyledDocument(std::size_t approxBytes, unsigned seed) {
    return generate(approxBytes, seed, true);
}

std::string generateStyledRtf(std::size_t approxBytes, unsigned seed) { return generate(approxBytes, seed, false).rtf; }

// Word's clipboard markup: its style sheet, then paragraphs repeated up to `bytes`.
std::string generateWordClipboardBlock(std::size_t bytes) {
    const std::string head =
        "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\"><head><style><!--\n"
        "p.MsoNormal, li.MsoNormal, div.MsoNormal {margin:0in; font-size:11.0pt; font-family:\"Calibri\",sans-serif;}\n"
        "h1 {font-size:16.0pt; color:#2F5496; font-weight:normal;}\n"
        "a:link, span.MsoHyperlink {color:#0563C1; text-decoration:underline;}\n"
        "p.MsoListParagraph, li.MsoListParagraph {margin-left:.5in; font-size:11.0pt;}\n"
        "@page WordSection1 {size:8.5in 11.0in;}\n--></style></head><body lang=EN-US>";
    const std::string paragraph =
        "<p class=MsoNormal><b>Bold</b> and <i>italic</i>, <span style='font-size:14.0pt;color:#C00000'>fourteen "
        "red</span> <u>under</u> x<sup>2</sup> caf&eacute; &amp; cr&egrave;me &#8211; more plain words "
        "here.<o:p></o:p></p>\n"
        "<p class=MsoListParagraph style='text-indent:-.25in;mso-list:l0 level1 lfo1'><![if !supportLists]><span "
        "style='mso-list:Ignore'>1.<span style='font:7.0pt \"Times New Roman\"'>&nbsp;&nbsp;&nbsp; "
        "</span></span><![endif]>List item with <a href=\"https://example.com/\">a link</a><o:p></o:p></p>\n";
    std::string document = head;
    while (document.size() < bytes) document += paragraph;
    document += "</body></html>";
    // Word's layout: the style sheet in the head, the fragment in the body.
    const std::size_t fragmentStart = head.size();
    const std::size_t fragmentEnd = document.size() - std::string("</body></html>").size();
    char header[160];
    const int headerLength =
        std::snprintf(header, sizeof header,
                      "Version:1.0\r\nStartHTML:%010zu\r\nEndHTML:%010zu\r\nStartFragment:%010zu\r\n"
                      "EndFragment:%010zu\r\n",
                      std::size_t{0}, std::size_t{0}, std::size_t{0}, std::size_t{0});
    const std::size_t h = static_cast<std::size_t>(headerLength);
    std::snprintf(header, sizeof header,
                  "Version:1.0\r\nStartHTML:%010zu\r\nEndHTML:%010zu\r\nStartFragment:%010zu\r\nEndFragment:%010zu\r\n",
                  h, h + document.size(), h + fragmentStart, h + fragmentEnd);
    return std::string(header, h) + document;
}
