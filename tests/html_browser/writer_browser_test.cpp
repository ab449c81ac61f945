// Every block the writer makes, rendered by Chromium: the text and the
// computed style of every character equal the source's text and runs.
// Generated texts carry every attribute, sizes 6 to 72 points, many colours,
// tabs, runs of spaces, line ends, & < > " ' and bytes from 0x80 up, in
// several ANSI code pages.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "browser.h"
#include "codepage/code_page.h"
#include "codepage/unicode_text.h"
#include "html/cf_html.h"
#include "html/utf8.h"
#include "platform/clipboard_control.h"
#include "style/CharStyle_HTML.h"
#include "support/recording_style.h"
#include "support/test_random.h"

namespace {

using testrandom::Generator;

// Characters from 0x80 up that the code page holds and that come back as
// themselves through UTF-8: whole characters, one or two bytes.
std::vector<std::string> highCharacters(codepage::CodePage cp) {
    std::vector<std::string> out;
    auto keepIfRoundTrips = [&](const std::string& bytes) {
        std::string utf8, back;
        codepage::appendUtf8FromAnsi(utf8, bytes.data(), bytes.size());
        codepage::appendAnsiFromUtf8(back, utf8.data(), utf8.size());
        // U+FFFD, "?" and the private use area stand for no character.
        if (back != bytes || utf8.find("\xEF\xBF\xBD") != std::string::npos || utf8 == "?") return;
        if (utf8.size() == 3 && static_cast<unsigned char>(utf8[0]) == 0xEE) return;
        // C1 controls and the no-break space render as themselves but collapse or vanish differently.
        if (utf8.size() == 2 && static_cast<unsigned char>(utf8[0]) == 0xC2 &&
            static_cast<unsigned char>(utf8[1]) < 0xA1)
            return;
        out.push_back(bytes);
    };
    if (!codepage::isDoubleByte(cp)) {
        for (int b = 0x80; b <= 0xFF; ++b) keepIfRoundTrips(std::string(1, static_cast<char>(b)));
    } else {
        for (int lead = 0x81; lead <= 0xFE; lead += 7)
            for (int trail = 0x40; trail <= 0xFE; trail += 13)
                if (codepage::isLeadByte(cp, static_cast<unsigned char>(lead)))
                    keepIfRoundTrips(std::string{static_cast<char>(lead), static_cast<char>(trail)});
    }
    return out;
}

// A text of `pieces` pieces and a run at the start of each, with attributes
// drawn from every combination the containers have.
RecordingStyle generated(codepage::CodePage cp, std::uint32_t seed, int pieces) {
    Generator g{seed};
    const std::vector<std::string> high = highCharacters(cp);
    static const char* const kPlain[] = {"word", "Text", "a",  "&",    "<",  ">",   "\"",        "'",    "&amp;", "<b>",
                                         "x=1",  "\t",   "  ", "    ", "\r", " - ", "tab\there", "end.", "\r\r",  " "};
    static const std::uint32_t kColours[] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xABCDEF,
                                             0x808080, 0xFFFFFF, 0x00AA55, 0xC00000, 0x7F7F00, 0x010203};
    static const std::int16_t kFaces[] = {kFaceBold, kFaceItalic, kFaceUnderline, kFaceStrikethrough};
    std::string text;
    std::vector<RecordingStyle::Run> runs;
    for (int i = 0; i < pieces; ++i) {
        std::int16_t face = 0;
        for (std::int16_t f : kFaces)
            if (g.below(3) == 0) face = static_cast<std::int16_t>(face | f);
        const std::uint32_t vertical = g.below(6);
        if (vertical == 0) face = static_cast<std::int16_t>(face | kFaceSuperscript);
        if (vertical == 1) face = static_cast<std::int16_t>(face | kFaceSubscript);
        // Half the runs share one size, so that runs of the block's size,
        // which state only a colour or nothing, are many.
        const std::int16_t size = static_cast<std::int16_t>(g.below(2) == 0 ? 12 : 6 + g.below(67));
        const std::uint32_t colour = g.below(2) == 0 ? kColours[g.below(12)] : g.next() & 0xFFFFFF;
        runs.push_back({static_cast<std::int32_t>(text.size()), size, face, colour});
        const int parts = 1 + static_cast<int>(g.below(4));
        for (int k = 0; k < parts; ++k) {
            if (!high.empty() && g.below(3) == 0)
                text += high[g.below(static_cast<std::uint32_t>(high.size()))];
            else
                text += kPlain[g.below(sizeof kPlain / sizeof kPlain[0])];
        }
    }
    return RecordingStyle(text, runs);
}

struct CodePageCase {
    unsigned acp;
    std::uint32_t seed;
};

class WriterInChromium : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(WriterInChromium, TextAndEveryCharactersStyleEqualTheSource) {
    const CodePageCase tc = GetParam();
    standin::setAnsiCodePage(tc.acp);
    RecordingStyle source = generated(tc.acp, tc.seed, 400);
    CharStyle_HTML written(&source);
    const std::string block = written.block();
    html::CfHtmlLayout layout;
    ASSERT_TRUE(html::parseCfHtmlHeader(block.data(), block.size(), layout));
    const std::string document = block.substr(layout.documentStart, layout.documentEnd - layout.documentStart);
    std::vector<browser::BrowserChar> shown;
    std::string error;
    ASSERT_TRUE(browser::render(document, layout.fragmentStart - layout.documentStart,
                                layout.fragmentEnd - layout.documentStart, shown, error))
        << error;

    // Chromium's text in the code page, line ends CR, each byte with the style shown.
    std::string text;
    std::vector<const browser::BrowserChar*> byteChar;
    for (const browser::BrowserChar& c : shown) {
        std::string utf8;
        html::appendUtf8(utf8, c.codePoint == '\n' ? '\r' : c.codePoint);
        const std::size_t before = text.size();
        codepage::appendAnsiFromUtf8(text, utf8.data(), utf8.size());
        for (std::size_t i = before; i < text.size(); ++i) byteChar.push_back(&c);
    }
    ASSERT_EQ(text, source.text);

    std::size_t compared = 0, differing = 0;
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        while (run + 1 < source.runs.size() && static_cast<std::size_t>(source.runs[run + 1].pos) <= i) ++run;
        if (!byteChar[i]->styled) continue;
        ++compared;
        const RecordingStyle::Run& r = source.runs[run];
        const html::RunStyle& s = byteChar[i]->style;
        if (s.size != r.size || s.face != static_cast<std::uint16_t>(r.face) || s.colour != r.colour) {
            if (++differing <= 5)
                ADD_FAILURE() << "byte " << i << ": source " << r.size << "pt face " << std::hex << r.face << " colour "
                              << r.colour << ", Chromium " << std::dec << s.size << "pt face " << std::hex << s.face
                              << " colour " << s.colour;
        }
    }
    EXPECT_EQ(differing, 0u);
    EXPECT_GT(compared, text.size() / 2) << "most characters are compared";
    std::printf("code page %u: %zu bytes, %zu runs, %zu characters' styles compared, %zu differ\n", tc.acp, text.size(),
                source.runs.size(), compared, differing);
    standin::setAnsiCodePage(1252);
}

INSTANTIATE_TEST_SUITE_P(CodePages, WriterInChromium,
                         ::testing::Values(CodePageCase{1252, 1}, CodePageCase{1250, 2}, CodePageCase{1251, 3},
                                           CodePageCase{1253, 4}, CodePageCase{932, 5}, CodePageCase{936, 6}),
                         [](const ::testing::TestParamInfo<CodePageCase>& info) {
                             return "cp" + std::to_string(info.param.acp);
                         });

}  // namespace
