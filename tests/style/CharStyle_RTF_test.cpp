#include "style/CharStyle_RTF.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/clipboard_control.h"
#include "support/clipboard_fixture.h"

namespace {

const std::string kHeader = "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0\\fswiss\\fcharset0 Arial;}";

struct StyleRun {
    std::int32_t charPos;
    std::int16_t size;
    std::int16_t face;
    std::uint32_t colour;
};

// A container with whatever text and runs a test gives it, malformed ones included.
class SourceStyle final : public CharStyle {
  public:
    SourceStyle(std::string text, std::vector<StyleRun> runs) : text_(std::move(text)), runs_(std::move(runs)) {}
    std::int32_t count() override { return static_cast<std::int32_t>(runs_.size()); }
    std::int32_t charPos(std::int32_t i) override { return valid(i) ? runs_[i].charPos : -1; }
    bool add(std::int32_t, std::int16_t, std::int16_t, std::uint32_t, std::int16_t) override { return false; }
    bool addStyleToClipboard() override { return false; }
    void setText(std::string rawText) override { text_ = std::move(rawText); }
    std::string getText() override { return text_; }
    bool selectStyle(std::int32_t i) override {
        if (!valid(i)) return false;
        selected_ = i;
        return true;
    }
    std::int16_t getFace() override { return runs_[selected_].face; }
    std::int16_t getSize() override { return runs_[selected_].size; }
    std::uint32_t getRGB() override { return runs_[selected_].colour & 0xFFFFFF; }

  private:
    bool valid(std::int32_t i) const { return i >= 0 && i < static_cast<std::int32_t>(runs_.size()); }
    std::string text_;
    std::vector<StyleRun> runs_;
    std::int32_t selected_ = 0;
};

std::string write(const std::string& text, const std::vector<StyleRun>& runs) {
    SourceStyle source(text, runs);
    CharStyle_RTF rtf(&source);
    return rtf.getRTF();
}

// Writes a container filled directly, so that its text keeps every kind of line end.
std::string writeDirect(const std::string& text, const std::vector<StyleRun>& runs) {
    SourceStyle empty("", {});
    CharStyle_RTF rtf(&empty);
    rtf.setText(text);
    for (const StyleRun& run : runs) EXPECT_TRUE(rtf.add(run.charPos, run.size, run.face, run.colour, 0));
    return rtf.getRTF();
}

// The document around a body, with the colour table `colours` (without braces).
std::string document(const std::string& colours, const std::string& body) {
    return kHeader + "{\\colortbl;" + colours + "}\\f0\\fs24 {" + body + "}}";
}

std::vector<StyleRun> runsOf(CharStyle_RTF& rtf) {
    std::vector<StyleRun> runs;
    for (std::int32_t i = 0; i < rtf.count(); ++i) {
        EXPECT_TRUE(rtf.selectStyle(i));
        runs.push_back(StyleRun{rtf.charPos(i), rtf.getSize(), rtf.getFace(), rtf.getRGB()});
    }
    return runs;
}

bool operator==(const StyleRun& a, const StyleRun& b) {
    return a.charPos == b.charPos && a.size == b.size && a.face == b.face && a.colour == b.colour;
}
std::ostream& operator<<(std::ostream& os, const StyleRun& r) {
    return os << "{" << r.charPos << ", size " << r.size << ", face 0x" << std::hex << r.face << ", colour 0x"
              << r.colour << std::dec << "}";
}

// ---------------------------------------------------------------------------
// Writing

TEST(CharStyleRTFWrite, HelloWorld) {
    EXPECT_EQ(write("Hello World", {{0, 12, kFaceBold, 0xFF0000}, {6, 18, 0, 0x000000}}),
              "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0\\fswiss\\fcharset0 Arial;}{\\colortbl;\\red255\\green0\\blue0;}"
              "\\f0\\fs24 {\\cf1\\fs24\\b Hello }{\\cf0\\fs36 World}}");
}

TEST(CharStyleRTFWrite, PlainRunOverLines) {
    EXPECT_EQ(write("One\rTwo", {{0, 12, 0, 0}}),
              "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0\\fswiss\\fcharset0 Arial;}{\\colortbl;}"
              "\\f0\\fs24 {\\cf0\\fs24 One\\par Two}}");
}

TEST(CharStyleRTFWrite, NoTextNoRuns) { EXPECT_EQ(write("", {}), document("", "")); }

TEST(CharStyleRTFWrite, TextWithoutRunsInDefaults) { EXPECT_EQ(write("a{b}\r", {}), document("", "a\\{b\\}\\par ")); }

TEST(CharStyleRTFWrite, LeadingTextBeforeFirstRun) {
    EXPECT_EQ(write("abcd", {{2, 10, kFaceItalic, 0}}), document("", "ab}{\\cf0\\fs20\\i cd"));
}

TEST(CharStyleRTFWrite, SizeZeroRunWritesNoColourOrSize) {
    // The colour still takes its place in the table.
    EXPECT_EQ(write("abc", {{0, 0, 0, 0x00FF00}, {1, 0, kFaceBold, 0}, {2, 12, 0, 0x0000FF}}),
              document("\\red0\\green255\\blue0;\\red0\\green0\\blue255;", "a}{\\b b}{\\cf2\\fs24 c"));
}

TEST(CharStyleRTFWrite, RunsAtOnePositionShareAGroup) {
    EXPECT_EQ(write("ab", {{0, 12, kFaceBold, 0}, {0, 14, kFaceItalic, 0xFF}, {1, 12, 0, 0}}),
              document("\\red0\\green0\\blue255;", "\\cf0\\fs24\\b \\cf1\\fs28\\i a}{\\cf0\\fs24 b"));
}

TEST(CharStyleRTFWrite, AttributeWordsInOrderAndUnwrittenFaces) {
    EXPECT_EQ(write("x", {{0, 12, static_cast<std::int16_t>(0x7FFF), 0}}),
              document("", "\\cf0\\fs24\\b\\i\\ul\\strike\\scaps\\super\\sub x"));
    const std::int16_t unwritten =
        kFaceOutline | kFaceShadow | kFaceCondensed | kFaceExtended | kFaceWordUnderline | kFaceDoubleUnderline;
    EXPECT_EQ(write("x", {{0, -3, unwritten, 0}}), document("", "x"));
}

struct LineEndCase {
    const char* name;
    std::string text;
    std::vector<StyleRun> runs;
    std::string body;
};

TEST(CharStyleRTFWrite, EscapesAndLineEnds) {
    const LineEndCase cases[] = {
        {"escapes", "\\{}", {}, "\\\\\\{\\}"},
        {"CR LF is one", "a\r\nb", {}, "a\\par b"},
        {"LF CR is two", "a\n\rb", {}, "a\\par \\par b"},
        {"lone CR", "a\rb", {}, "a\\par b"},
        {"lone LF", "a\nb", {}, "a\\par b"},
        {"CR CR LF", "\r\r\n", {}, "\\par \\par "},
        {"in an inner segment", "a\r\nb{c", {{4, 12, 0, 0}}, "a\\par b}{\\cf0\\fs24 \\{c"},
        {"in the last segment", "ab\r\n}", {{1, 12, 0, 0}}, "a}{\\cf0\\fs24 b\\par \\}"},
        // Each segment is converted on its own: a pair split by a run start is two line ends.
        {"pair split by a run", "a\r\nb", {{2, 12, 0, 0}}, "a\\par }{\\cf0\\fs24 \\par b"},
        {"tabs and high bytes unchanged", "\t\x80\xFF", {}, "\t\x80\xFF"},
    };
    for (const LineEndCase& c : cases) EXPECT_EQ(writeDirect(c.text, c.runs), document("", c.body)) << c.name;
}

TEST(CharStyleRTFWrite, BlackHasNoEntryAndTableHoldsNinetyNineColours) {
    std::string text;
    std::vector<StyleRun> runs;
    for (std::int32_t i = 0; i < 120; ++i) {
        text += 'x';
        runs.push_back(StyleRun{i, 12, 0, i == 0 ? 0u : static_cast<std::uint32_t>(i)});
    }
    const std::string rtf = write(text, runs);
    std::string colours;
    for (int i = 1; i <= 99; ++i) colours += "\\red0\\green0\\blue" + std::to_string(i) + ";";
    EXPECT_EQ(rtf.find(document(colours, "").substr(0, kHeader.size() + 12 + colours.size())), 0u);
    EXPECT_NE(rtf.find("{\\cf0\\fs24 x}{\\cf1\\fs24 x}"), std::string::npos);
    EXPECT_NE(rtf.find("{\\cf99\\fs24 x}{\\cf99\\fs24 x}"), std::string::npos);  // the 100th new colour and on
    EXPECT_EQ(rtf.find("\\cf100"), std::string::npos);
    EXPECT_EQ(rtf.find_first_of("\r\n"), std::string::npos);
}

TEST(CharStyleRTFWrite, MalformedRunStartsAreClamped) {
    // Starts beyond the text and before the previous start: every character exactly once.
    EXPECT_EQ(write("abc", {{1, 12, 0, 0}, {0, 12, kFaceBold, 0}, {9, 12, kFaceItalic, 0}, {-5, 12, 0, 0}}),
              document("", "a}{\\cf0\\fs24 \\cf0\\fs24\\b bc}{\\cf0\\fs24\\i \\cf0\\fs24 "));
    EXPECT_EQ(write("ab", {{-1, 12, 0, 0}}), document("", "\\cf0\\fs24 ab"));
}

TEST(CharStyleRTFWrite, DocumentKeptUntilChanged) {
    SourceStyle source("ab", {{0, 12, 0, 0}});
    CharStyle_RTF rtf(&source);
    const std::string first = rtf.getRTF();
    EXPECT_EQ(rtf.getRTF(), first);
    EXPECT_EQ(rtf.getSize(), 12);  // the last run is left selected
    ASSERT_TRUE(rtf.add(1, 20, 0, 0, 0));
    EXPECT_EQ(rtf.getRTF(), document("", "\\cf0\\fs24 a}{\\cf0\\fs40 b"));
    rtf.setText("z");
    EXPECT_EQ(rtf.count(), 0);
    EXPECT_EQ(rtf.getRTF(), document("", "z"));
}

// The writer's algorithm done the slow way, step by step: a substring and a line-end
// conversion per segment, every word through the queries.
std::string referenceRTF(CharStyle_RTF& rtf, const std::string& text) {
    std::vector<std::uint32_t> colours = {0};
    auto colourIndex = [&colours](std::uint32_t c) -> int {
        for (std::size_t i = 0; i < colours.size(); ++i)
            if (colours[i] == c) return static_cast<int>(i);
        if (colours.size() == 100) return 99;
        colours.push_back(c);
        return static_cast<int>(colours.size() - 1);
    };
    auto convert = [](const std::string& segment) {
        std::string escaped;
        for (char c : segment) {
            if (c == '\\' || c == '{' || c == '}') escaped += '\\';
            escaped += c;
        }
        return CharStyle::TextWithLine(escaped, "\\par ");
    };
    std::string body;
    std::size_t position = 0;
    for (std::int32_t i = 0; i < rtf.count(); ++i) {
        const std::size_t start = static_cast<std::size_t>(rtf.charPos(i));
        const std::string appendText = text.substr(position, start - position);
        if (!appendText.empty()) body += convert(appendText) + "}{";
        rtf.selectStyle(i);
        const std::size_t length = body.size();
        const int k = colourIndex(rtf.getRGB());
        if (rtf.getSize() > 0) body += "\\cf" + std::to_string(k) + "\\fs" + std::to_string(2 * rtf.getSize());
        if (rtf.isBold()) body += "\\b";
        if (rtf.isItalic()) body += "\\i";
        if (rtf.isUnderline()) body += "\\ul";
        if (rtf.isStrikethrough()) body += "\\strike";
        if (rtf.isSmallCaps()) body += "\\scaps";
        if (rtf.isSuperscript()) body += "\\super";
        if (rtf.isSubscript()) body += "\\sub";
        if (body.size() != length) body += " ";
        position = start;
    }
    body += convert(text.substr(position));
    std::string table = "{\\colortbl;";
    for (std::size_t i = 1; i < colours.size(); ++i)
        table += "\\red" + std::to_string(colours[i] >> 16 & 0xFF) + "\\green" +
                 std::to_string(colours[i] >> 8 & 0xFF) + "\\blue" + std::to_string(colours[i] & 0xFF) + ";";
    return kHeader + table + "}\\f0\\fs24 {" + body + "}}";
}

TEST(CharStyleRTFWrite, MatchesStepByStepAlgorithm) {
    std::mt19937 random(20240611);
    const char alphabet[] = "ab \\{}\r\n\t\xE9";
    for (int round = 0; round < 200; ++round) {
        const std::size_t length = random() % 60;
        std::string text;
        for (std::size_t i = 0; i < length; ++i) text += alphabet[random() % (sizeof alphabet - 1)];
        std::vector<StyleRun> runs;
        std::int32_t position = 0;
        const int runCount = static_cast<int>(random() % 12);
        for (int r = 0; r < runCount && position <= static_cast<std::int32_t>(length); ++r) {
            runs.push_back(StyleRun{position, static_cast<std::int16_t>(static_cast<int>(random() % 30) - 4),
                                    static_cast<std::int16_t>(random() & 0x7FFF),
                                    static_cast<std::uint32_t>(random() % 3 == 0 ? 0 : random() % 150)});
            position += static_cast<std::int32_t>(random() % 6);
        }
        SourceStyle empty("", {});
        CharStyle_RTF rtf(&empty);
        rtf.setText(text);
        for (const StyleRun& run : runs) ASSERT_TRUE(rtf.add(run.charPos, run.size, run.face, run.colour, 0));
        const std::string expected = referenceRTF(rtf, text);
        ASSERT_EQ(writeDirect(text, runs), expected) << "round " << round;
    }
}

TEST(CharStyleRTFWrite, ManyRuns) {
    std::string text;
    std::vector<StyleRun> runs;
    for (std::int32_t i = 0; i < 100000; ++i) {
        text += "ab";
        runs.push_back(StyleRun{2 * i, static_cast<std::int16_t>(8 + i % 3),
                                static_cast<std::int16_t>(i % 2 ? kFaceBold : 0), static_cast<std::uint32_t>(i % 150)});
    }
    SourceStyle source(text, runs);
    CharStyle_RTF rtf(&source);
    ASSERT_EQ(rtf.count(), 100000);
    const std::string written = rtf.getRTF();
    CharStyle_RTF read(written.c_str());
    EXPECT_FALSE(read.parsingError());
    EXPECT_EQ(read.getText(), text);
}

// ---------------------------------------------------------------------------
// Converting

TEST(CharStyleRTFConvert, TakesTextAndRuns) {
    SourceStyle source("a\r\nb\nc", {{0, 12, static_cast<std::int16_t>(0x0800 | kFaceBold), 0x123456}, {3, 9, 0, 0}});
    CharStyle_RTF rtf(&source);
    EXPECT_FALSE(rtf.parsingError());
    EXPECT_EQ(rtf.getText(), "a\rb\rc");
    EXPECT_EQ(runsOf(rtf), (std::vector<StyleRun>{{0, 12, 0x0900, 0x123456}, {3, 9, 0, 0}}));
    EXPECT_EQ(rtf.charPos(-1), -1);
    EXPECT_EQ(rtf.charPos(2), -1);
    EXPECT_FALSE(rtf.selectStyle(2));
    EXPECT_EQ(rtf.getSize(), 9);  // the selection stays
}

TEST(CharStyleRTFConvert, QueriesBeforeAnySelectionAnswerZero) {
    SourceStyle source("ab", {{0, 12, kFaceBold, 0xFF}});
    CharStyle_RTF rtf(&source);
    EXPECT_EQ(rtf.getFace(), 0);
    EXPECT_EQ(rtf.getRGB(), 0u);
    EXPECT_TRUE(rtf.isPlain());
}

TEST(CharStyleRTFConvert, ColourQueries) {
    SourceStyle source("ab", {{0, 12, 0, 0x123456}});
    CharStyle_RTF rtf(&source);
    ASSERT_TRUE(rtf.selectStyle(0));
    EXPECT_EQ(rtf.getRed(), 0x12);
    EXPECT_EQ(rtf.getGreen(), 0x34);
    EXPECT_EQ(rtf.getBlue(), 0x56);
    EXPECT_FALSE(rtf.isCondensed());
    EXPECT_FALSE(rtf.isExtended());
}

// ---------------------------------------------------------------------------
// Reading

TEST(CharStyleRTFRead, ReadThenWrite) {
    CharStyle_RTF rtf("{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;}\\fs20 a{\\b\\cf1 b}c}");
    EXPECT_FALSE(rtf.parsingError());
    EXPECT_EQ(rtf.getText(), "abc");
    EXPECT_EQ(runsOf(rtf), (std::vector<StyleRun>{{0, 10, 0, 0}, {1, 10, kFaceBold, 0xFF0000}, {2, 10, 0, 0}}));
    EXPECT_EQ(rtf.getRTF(),
              "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0\\fswiss\\fcharset0 Arial;}{\\colortbl;\\red255\\green0\\blue0;}"
              "\\f0\\fs24 {\\cf0\\fs20 a}{\\cf1\\fs20\\b b}{\\cf0\\fs20 c}}");
}

TEST(CharStyleRTFRead, SizesInPoints) {
    CharStyle_RTF rtf("{\\fs25 a\\fs1 b\\fs0\\b c\\fs-7 d\\fs131074 e\\fs131072 f}");
    EXPECT_EQ(runsOf(rtf), (std::vector<StyleRun>{{0, 12, 0, 0},
                                                  {1, 12, 0, 0},
                                                  {2, 12, kFaceBold, 0},
                                                  {3, -3, kFaceBold, 0},
                                                  {4, 1, kFaceBold, 0},
                                                  {5, 12, kFaceBold, 0}}));
}

TEST(CharStyleRTFRead, FaceBitsFromKeywords) {
    struct FaceCase {
        const char* keyword;
        std::int16_t face;
    };
    const FaceCase cases[] = {
        {"\\b", kFaceBold},          {"\\i", kFaceItalic},          {"\\ul", kFaceUnderline},
        {"\\uldb", kFaceUnderline},  {"\\ulw", kFaceUnderline},     {"\\strike", kFaceStrikethrough},
        {"\\scaps", kFaceSmallCaps}, {"\\super", kFaceSuperscript}, {"\\sub", kFaceSubscript},
        {"\\outl", kFaceOutline},    {"\\shad", kFaceShadow},       {"\\expnd5", 0},
    };
    for (const FaceCase& c : cases) {
        CharStyle_RTF rtf((std::string("{\\fs24") + c.keyword + " x}").c_str());
        ASSERT_EQ(rtf.count(), 1) << c.keyword;
        ASSERT_TRUE(rtf.selectStyle(0));
        EXPECT_EQ(rtf.getFace(), c.face) << c.keyword;
    }
}

TEST(CharStyleRTFRead, InvisibleChangeOpensEqualRun) {
    CharStyle_RTF rtf("{\\fs24 a\\f1 b\\b2 c\\b1 d}");
    EXPECT_EQ(runsOf(rtf),
              (std::vector<StyleRun>{{0, 12, 0, 0}, {1, 12, 0, 0}, {2, 12, kFaceBold, 0}, {3, 12, kFaceBold, 0}}));
}

TEST(CharStyleRTFRead, LeadingPlainCharactersOpenNoRun) {
    CharStyle_RTF rtf("{ab{\\i c}d\\par}");
    EXPECT_EQ(rtf.getText(), "abcd\n");
    EXPECT_EQ(runsOf(rtf), (std::vector<StyleRun>{{2, 12, kFaceItalic, 0}, {3, 12, 0, 0}}));
}

TEST(CharStyleRTFRead, SourceKeptWhenNoRunRecorded) {
    const std::string source = "{\\rtf1\\ansi {\\fonttbl{\\f0 Arial;}}Plain\\par text}";
    CharStyle_RTF rtf(source.c_str());
    EXPECT_FALSE(rtf.parsingError());
    EXPECT_EQ(rtf.count(), 0);
    EXPECT_EQ(rtf.getText(), "Plain\ntext");
    EXPECT_EQ(rtf.getRTF(), source);
}

TEST(CharStyleRTFRead, ParseErrorKeepsWhatWasDelivered) {
    CharStyle_RTF rtf("{\\b ab\\'4g}");
    EXPECT_TRUE(rtf.parsingError());
    EXPECT_EQ(rtf.getText(), "ab");
    EXPECT_EQ(runsOf(rtf), (std::vector<StyleRun>{{0, 12, kFaceBold, 0}}));
}

TEST(CharStyleRTFRead, EveryReadStartsFromPlainProperties) {
    CharStyle_RTF first("{\\b x");
    EXPECT_TRUE(first.parsingError());
    CharStyle_RTF second("yz");
    EXPECT_EQ(second.count(), 0);
}

TEST(CharStyleRTFRead, MoreThanAThousandRuns) {
    std::string source = "{";
    for (int i = 0; i < 2500; ++i) source += i % 2 ? "{\\b x}" : "{\\i x}";
    source += "}";
    CharStyle_RTF rtf(source.c_str());
    ASSERT_EQ(rtf.count(), 2500);
    ASSERT_TRUE(rtf.selectStyle(2499));
    EXPECT_EQ(rtf.charPos(2499), 2499);
    EXPECT_TRUE(rtf.isBold());
}

TEST(CharStyleRTFRead, BoundedBySizeAndFirstNul) {
    const std::string source = "{\\b ab}";
    std::unique_ptr<char[]> block(new char[source.size()]);  // no terminating NUL
    std::memcpy(block.get(), source.data(), source.size());
    CharStyle_RTF whole(block.get(), source.size());
    EXPECT_FALSE(whole.parsingError());
    EXPECT_EQ(whole.getText(), "ab");

    CharStyle_RTF cut(block.get(), 5);
    EXPECT_TRUE(cut.parsingError());
    EXPECT_EQ(cut.getText(), "a");

    CharStyle_RTF plain("{ab}\0{\\b c}", 11);
    EXPECT_FALSE(plain.parsingError());
    EXPECT_EQ(plain.getRTF(), "{ab}");  // the source up to its NUL
}

// RTF written by Wine's RichEdit control, as another program puts it on the clipboard.
TEST(CharStyleRTFRead, RichEditDocument) {
    std::ifstream in(std::string(STYLEDTEXT_CORPUS) + "/pass/wine_richedit_styled.rtf", std::ios::binary);
    const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(source.empty());
    CharStyle_RTF rtf(source.data(), source.size());
    EXPECT_FALSE(rtf.parsingError());
    EXPECT_EQ(rtf.getText(),
              "Plain bold italic underline struck super sub\n"
              "Red big small {braces} back\\slash\ttab caf\xE9 na\xEFve \x80uro end\n");
    const std::vector<StyleRun> runs = runsOf(rtf);
    ASSERT_EQ(runs.size(), 17u);
    EXPECT_EQ(runs[0], (StyleRun{0, 9, kFaceBold, 0}));
    EXPECT_EQ(runs[1], (StyleRun{11, 9, kFaceBold | kFaceItalic, 0}));
    EXPECT_EQ(runs[3], (StyleRun{18, 9, kFaceBold | kFaceUnderline, 0}));
    EXPECT_EQ(runs[5], (StyleRun{28, 9, kFaceBold | kFaceStrikethrough, 0}));
    EXPECT_EQ(runs[7], (StyleRun{35, 9, kFaceBold | kFaceSuperscript, 0}));
    EXPECT_EQ(runs[9], (StyleRun{41, 9, kFaceBold | kFaceSubscript, 0}));
    EXPECT_EQ(runs[11], (StyleRun{45, 9, kFaceBold, 0xFF0000}));
    EXPECT_EQ(runs[13], (StyleRun{49, 36, kFaceBold, 0x0000FF}));
    EXPECT_EQ(runs[15], (StyleRun{53, 7, kFaceBold, 0}));
}

// The character-at-a-time callback builds what reading a run at a time builds.
TEST(CharStyleRTFRead, CharacterCallbackReadsAlike) {
    std::ifstream in(std::string(STYLEDTEXT_CORPUS) + "/pass/wine_richedit_styled.rtf", std::ios::binary);
    const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CharStyle_RTF read(source.data(), source.size());
    // Reading an empty document leaves the callback's state at its start.
    CharStyle_RTF byCharacter("");
    ASSERT_EQ(ecRtfParse(source.data(), source.size(), InitFromDataCallback, &byCharacter), ecNoError);
    EXPECT_EQ(byCharacter.getText(), read.getText());
    EXPECT_EQ(runsOf(byCharacter), runsOf(read));
}

// ---------------------------------------------------------------------------
// The clipboard

class CharStyleRTFClipboard : public ClipboardTest {};

TEST_F(CharStyleRTFClipboard, ReadsBlockWithoutNul) {
    put(format("Rich Text Format"), std::string("{\\i hi}"));
    EXPECT_TRUE(CharStyle_RTF::clipboardHasStyle());
    std::unique_ptr<CharStyle_RTF> rtf(CharStyle_RTF::InitFromClipboard());
    ASSERT_NE(rtf, nullptr);
    EXPECT_FALSE(rtf->parsingError());
    EXPECT_EQ(rtf->getText(), "hi");
    EXPECT_EQ(rtf->count(), 1);
}

TEST_F(CharStyleRTFClipboard, AnswersNullWithoutRTF) {
    putText("plain");
    EXPECT_FALSE(CharStyle_RTF::clipboardHasStyle());
    EXPECT_EQ(CharStyle_RTF::InitFromClipboard(), nullptr);
}

TEST_F(CharStyleRTFClipboard, AnswersNullWhenClipboardCannotOpen) {
    put(format("Rich Text Format"), std::string("{x}"));
    holdClipboardPastTheWait();
    EXPECT_EQ(CharStyle_RTF::InitFromClipboard(), nullptr);
    releaseClipboard();
    standin::failNext(standin::Op::GlobalLock);
    EXPECT_EQ(CharStyle_RTF::InitFromClipboard(), nullptr);
}

TEST_F(CharStyleRTFClipboard, UnreadableRTFStillGivesContainer) {
    put(format("Rich Text Format"), std::string("}{\\b x}"));
    std::unique_ptr<CharStyle_RTF> rtf(CharStyle_RTF::InitFromClipboard());
    ASSERT_NE(rtf, nullptr);
    EXPECT_TRUE(rtf->parsingError());
}

TEST_F(CharStyleRTFClipboard, DocumentWrittenIntoItsBlockIsTheGeneratedOne) {
    // Escapes and line ends at the edges of runs, runs that start out of
    // order, and more colours than the table holds: the block is written
    // after counting its size, and both passes must agree.
    std::string manyColours = "{\\rtf1{\\colortbl;";
    for (int i = 0; i < 120; ++i) manyColours += "\\red" + std::to_string(i) + "\\green1\\blue2;";
    manyColours += "}";
    for (int i = 1; i <= 120; ++i) manyColours += "{\\cf" + std::to_string(i) + " c" + std::to_string(i) + "}";
    manyColours += "}";
    const std::string sources[] = {
        "{\\rtf1 a\\'0d{\\b \\'0a b}\\'00c\\{\\}\\\\{\\i\\'0d\\'0a}\\'0d}",
        "{\\rtf1 {\\fs0 zero size}{\\strike\\scaps\\super\\sub\\ul\\i\\b all}{\\outl\\shad unwritten}}",
        "{\\rtf1 }",
        manyColours,
    };
    for (const std::string& src : sources) {
        SCOPED_TRACE(src);
        CharStyle_RTF direct(src.c_str());
        standin::reset();
        ASSERT_TRUE(direct.addStyleToClipboard());
        CharStyle_RTF generated(src.c_str());
        EXPECT_EQ(held(format("Rich Text Format")), generated.getRTF() + std::string(1, '\0'));
        EXPECT_EQ(direct.getRTF(), generated.getRTF());
    }
}

TEST_F(CharStyleRTFClipboard, WriteFailuresAddNothingAndLeakNothing) {
    for (const bool generatedFirst : {false, true}) {
        SCOPED_TRACE(generatedFirst ? "document generated first" : "document written into its block");
        SourceStyle source("Hi\r\nthere", {{0, 12, kFaceBold, 0}, {4, 10, 0, 0xFF0000}});
        CharStyle_RTF rtf(&source);
        if (generatedFirst) rtf.getRTF();
        expectWriteFailuresLeaveTheClipboardAsItWas([&rtf] { return rtf.addStyleToClipboard(); });
    }
}

TEST_F(CharStyleRTFClipboard, WritesDocumentWithNul) {
    SourceStyle source("Hi", {{0, 12, kFaceBold, 0}});
    CharStyle_RTF rtf(&source);
    ASSERT_TRUE(rtf.addStyleToClipboard());
    EXPECT_EQ(held(format("Rich Text Format")), rtf.getRTF() + std::string(1, '\0'));

    standin::failNext(standin::Op::GlobalAlloc);
    EXPECT_FALSE(rtf.addStyleToClipboard());
    holdClipboardPastTheWait();
    EXPECT_FALSE(rtf.addStyleToClipboard());
    releaseClipboard();
}

}  // namespace

// Text read from "\'00" holds a NUL byte; written raw it would cut the
// document short wherever it is read up to its first NUL.
TEST(CharStyleRtfNul, NulByteIsWrittenAsAnEscapeAndReadsBack) {
    CharStyle_RTF read("{\\rtf1 a{\\b b\\'00c}}");
    ASSERT_FALSE(read.parsingError());
    ASSERT_EQ(read.getText(), std::string("ab\0c", 4));
    const std::string written = read.getRTF();
    EXPECT_EQ(written.find('\0'), std::string::npos);
    EXPECT_NE(written.find("b\\'00c"), std::string::npos) << written;
    CharStyle_RTF again(written.c_str());
    EXPECT_FALSE(again.parsingError());
    EXPECT_EQ(again.getText(), std::string("ab\0c", 4));
}
