// The rules that mend RichEdit's reading before the real-world comparison:
// each changes what it names and nothing else, and a rule that finds nothing
// to change, or no place for its change, fails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windows/richedit_rules.h"

namespace {

using realworld::Mended;

Mended reading(const std::string& text) {
    realworld::Reading r;
    r.text = text;
    r.attributes.assign(text.size(), realworld::Attributes());
    return realworld::unmended(r);
}

TEST(RichEditRules, EachMendsWhatItNamesOrFails) {
    const struct {
        const char* name;
        std::vector<std::string> rules;
        std::string rtf;
        std::string richEdit;
        bool applies;
        std::string mended;  // where the rules apply
    } cases[] = {
        {"final mark", {"RichEdit ends the document without a paragraph mark"}, "{\\rtf1 a\\par}", "a", true, "a\r"},
        {"rows and cells",
         {"RichEdit ends a cell with TAB and a row with CR LF"},
         "{\\rtf1 x\\par\\trowd a\\cell b\\cell\\row}",
         "x\r\r\na\tb\t\r\n",
         true,
         "x\ra\tb\r"},
        {"nested row",
         {"RichEdit ends a cell with TAB and a row with CR LF"},
         "",
         "\r\na\t\r\r\nb\tc\t\r\nd\t\r\n",
         true,
         "a\t\rb\tc\rd\r"},
        {"no table", {"RichEdit ends a cell with TAB and a row with CR LF"}, "", "a\tb\r", false, ""},
        {"line breaks",
         {"RichEdit gives \\line as a space"},
         "{\\rtf1 A line\\line broken\\line twice.\\par}",
         "A line broken twice.\r",
         true,
         "A line\rbroken\rtwice.\r"},
        {"line break after other characters",
         {"RichEdit gives \\line as a space"},
         "{\\rtf1 x. caf\\'e9.\\line next}",
         "x. caf\xE9. next",
         true,
         "x. caf\xE9.\rnext"},
        {"line break where RichEdit has none",
         {"RichEdit gives \\line as a space"},
         "{\\rtf1 A line\\line next}",
         "A linenext",
         false,
         ""},
        {"no line break", {"RichEdit gives \\line as a space"}, "{\\rtf1 A line next}", "A line next", false, ""},
        {"hidden text",
         {"RichEdit shows hidden text"},
         "{\\rtf1 Visible{\\v  hidden} and {\\v gone}more.}",
         "Visible hidden and gonemore.",
         true,
         "Visible and more."},
        {"field results",
         {"RichEdit drops field results"},
         "{\\rtf1 Page {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}, by {\\field{\\*\\fldinst AUTHOR}{\\*\\fldrslt "
         "Jan}}.}",
         "Page , by .",
         true,
         "Page 1, by Jan."},
        {"note numbers",
         {"RichEdit drops note numbers: 1 i"},
         "{\\rtf1 One{\\super\\chftn}{\\*\\footnote\\chftn a} two\\chftn{\\footnote\\ftnalt b}.}",
         "One two.",
         true,
         "One1 twoi."},
        {"more numbers than notes",
         {"RichEdit drops note numbers: 1 2"},
         "{\\rtf1 One{\\super\\chftn}{\\*\\footnote\\chftn a}.}",
         "One.",
         false,
         ""},
        {"underline kinds",
         {"RichEdit shows no underline of the kinds it lacks (dash, wave, thick)"},
         "{\\rtf1 a {\\uldash dash}, {\\uld dot}, {\\ulwave wave\\ulwave0  not}.}",
         "a dash, dot, wave not.",
         true,
         "a dash, dot, wave not."},
        {"no underline kinds",
         {"RichEdit shows no underline of the kinds it lacks (dash, wave, thick)"},
         "{\\rtf1 a {\\ul plain}, {\\uldb double}.}",
         "a plain, double.",
         false,
         ""},
        {"SYMBOL fields without a result",
         {"RichEdit shows nothing of a SYMBOL field without a result: * A"},
         "{\\rtf1 [{\\field{\\*\\fldinst SYMBOL 42 \\\\f \"Arial\"}}] [{\\field{\\*\\fldinst {SYMBOL 65}}{\\fldrslt }}] "
         "[{\\field{\\*\\fldinst SYMBOL 66}{\\fldrslt B}}]}",
         "[] [] [B]",
         true,
         "[*] [A] [B]"},
        {"SYMBOL field with a result",
         {"RichEdit shows nothing of a SYMBOL field without a result: A"},
         "{\\rtf1 [{\\field{\\*\\fldinst SYMBOL 65}{\\fldrslt A}}]}",
         "[A]",
         false,
         ""},
        {"text in a note is no place",
         {"RichEdit drops note numbers: 1"},
         "{\\rtf1 One{\\*\\footnote x\\line y}.}",
         "One.",
         false,
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Mended m = reading(c.richEdit);
        std::string error;
        const bool applied = realworld::applyRules(c.rules, c.rtf, "", m, error);
        EXPECT_EQ(applied, c.applies) << error;
        if (c.applies) {
            EXPECT_EQ(m.text, c.mended);
            EXPECT_EQ(m.attributes.size(), m.text.size());
            EXPECT_EQ(m.judged.size(), m.text.size());
        }
    }
}

// What RichEdit did not show has no format of RichEdit's to judge; the rest keeps its own.
TEST(RichEditRules, AddedCharactersAreNotJudged) {
    Mended m = reading("Page .");
    std::string error;
    ASSERT_TRUE(
        realworld::applyRules({"RichEdit drops field results", "RichEdit ends the document without a paragraph mark"},
                              "{\\rtf1 Page {\\field{\\*\\fldinst PAGE}{\\fldrslt 12}}.\\par}", "", m, error))
        << error;
    ASSERT_EQ(m.text, "Page 12.\r");
    EXPECT_EQ(m.judged, (std::vector<bool>{true, true, true, true, true, false, false, true, false}));
}

TEST(RichEditRules, UnderlinesOnlyTheKindsRichEditLacks) {
    Mended m = reading("a dash, dot, wave not.");
    std::string error;
    ASSERT_TRUE(realworld::applyRules({"RichEdit shows no underline of the kinds it lacks (dash, wave, thick)"},
                                      "{\\rtf1 a {\\uldash dash}, {\\uld dot}, {\\ulwave wave\\ulwave0  not}.}", "", m,
                                      error))
        << error;
    std::string underlined;
    for (size_t i = 0; i < m.text.size(); ++i)
        underlined += (m.attributes[i].flags & realworld::Attributes::kUnderline) ? m.text[i] : '_';
    EXPECT_EQ(underlined, "__dash_______wave_____");
}

TEST(RichEditRules, ListNamesKnownRulesOnly) {
    const std::vector<std::string>& names = realworld::ruleNames();
    EXPECT_EQ(names.size(), 9u);
    std::string error;
    const std::vector<realworld::RuleLine> lines =
        realworld::readRules(std::string(STYLEDTEXT_REALWORLD) + "/richedit_rules.txt", error);
    EXPECT_TRUE(error.empty()) << error;
    EXPECT_FALSE(lines.empty());
}

}  // namespace
