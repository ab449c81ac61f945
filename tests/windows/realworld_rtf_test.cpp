// The plug-in against Wine's RichEdit on RTF that real programs wrote
// (tests/realworld/rtf), in the ANSI code page of the session: Wine takes it
// from LANG, and CMake registers one run of these tests per locale.
//
// RTF to FileMaker: each document is read by RichEdit (its Unicode text made
// bytes of the code page, with each character's attributes) and by the
// plug-in (the document alone on the clipboard, StyledClipboard, then CF_TEXT
// and "Mac-FMcs" read back), each reading in a process of its own
// (realworld_rtf_reader). Where Wine's RichEdit is known to read a document
// otherwise, named rules (richedit_rules.h, listed for each document in
// tests/realworld/rtf/richedit_rules.txt) mend RichEdit's reading first;
// then the texts must agree byte for byte, and the attributes character by
// character, counted against RichEdit's characters.
//
// FileMaker to RTF: a text in the session's code page with runs of every
// attribute goes on the clipboard as CF_TEXT and "Mac-FMcs"; the RTF that
// StyledClipboard writes is read by RichEdit, whose Unicode text must be the
// CF_TEXT converted from the code page, with the same runs.
// There the two must agree with no rule at all.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host/plugin_driver.h"
#include "style/CharStyle_FMcs.h"
#include "windows/reader_process.h"
#include "windows/reading_compare.h"
#include "windows/realworld_reading.h"
#include "windows/richedit_rules.h"

namespace {

using realworld::Attributes;
using realworld::compare;
using realworld::Comparison;
using realworld::Reading;
using realworld::runReader;

const std::string kCorpus = STYLEDTEXT_REALWORLD;
const std::string kRules = kCorpus + "/richedit_rules.txt";

// The locales the tests run under, with the code page Wine must then answer
// and a text of the locale's language (every character in that code page).
struct Locale {
    const char* name;
    UINT codePage;
    const char* language;
    const wchar_t* sample;
};
const Locale kLocales[] = {
    {"en_US.UTF-8", 1252, "western",
     L"Caf\u00e9 cr\u00e8me, na\u00efve fa\u00e7ade, Stra\u00dfe, \u00c6r\u00f8, \u00bfQu\u00e9?"},
    {"pl_PL.UTF-8", 1250, "polish",
     L"Za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105 ja\u017a\u0144, \u0141\u00f3d\u017a, \u015awi\u0119ty"},
    {"ru_RU.UTF-8", 1251, "russian",
     L"\u0421\u044a\u0435\u0448\u044c \u0436\u0435 \u0435\u0449\u0451 \u044d\u0442\u0438\u0445 \u043c\u044f\u0433\u043a"
     L"\u0438\u0445 \u0431\u0443\u043b\u043e\u043a, \u2116 5, \u0401\u043b\u043a\u0430"},
    {"el_GR.UTF-8", 1253, "greek",
     L"\u039e\u03b5\u03c3\u03ba\u03b5\u03c0\u03ac\u03b6\u03c9 \u03c4\u03b7\u03bd \u03c8\u03c5\u03c7\u03bf\u03c6\u03b8"
     L"\u03cc\u03c1\u03b1 \u03b2\u03b4\u03b5\u03bb\u03c5\u03b3\u03bc\u03af\u03b1, \u0390 \u03c2"},
    {"ja_JP.UTF-8", 932, "japanese",
     L"\u3044\u308d\u306f\u306b\u307b\u3078\u3068 \u65e5\u672c\u8a9e\u3001\u30ab\u30bf\u30ab\u30ca\u3068\u6f22\u5b57"
     L"\u3001\uff71\uff72\uff73\u3002"},
    {"zh_CN.UTF-8", 936, "chinese",
     L"\u6211\u80fd\u541e\u4e0b\u73bb\u7483\u800c\u4e0d\u4f24\u8eab\u4f53\uff0c\u7b80\u4f53\u5b57\u3002"},
};

// ASCII and the punctuation that word processors put in text; characters
// that the session's code page lacks are left out.
const wchar_t kPunctuation[] =
    L"ASCII {braces} back\\slash\ttab 100% & <tags>; \u201cdouble\u201d \u2018single\u2019 it\u2019s "
    L"\u2013 \u2014 \u2022 \u2026 \u20ac \u00bd \u00a0end";

const Locale* findLocale(const std::string& name) {
    for (const Locale& l : kLocales)
        if (name == l.name) return &l;
    return nullptr;
}

// ---- comparison ------------------------------------------------------

// Prints the line of the report of one comparison; answers whether the two
// readings agree.
bool report(const std::string& locale, const std::string& document, const Comparison& c) {
    std::ostringstream line;
    line << "[" << locale << "] " << document << ": text agrees " << (c.textAgrees ? "yes" : "no");
    if (!c.textAgrees) line << " (" << c.firstDifference << ")";
    line << "; attributes agree " << c.agree << "/" << c.total << " characters";
    if (c.unjudged > 0) line << " (" << c.unjudged << " not judged)";
    if (!c.alignment.empty()) line << " paired by " << c.alignment;
    if (!c.firstAttributeDifference.empty()) line << " (" << c.firstAttributeDifference << ")";
    std::cout << line.str() << std::endl;
    return c.textAgrees && c.agree == c.total;
}

// ---- the tests -------------------------------------------------------

// A document that crashes or hangs a reader is reported as such, and the
// test goes on with the next one.
TEST(RealWorldRtfReaderTest, CrashAndHangAreReportedAndTheRunGoesOn) {
    EXPECT_EQ(runReader("crash", "-").status, "crashed");
    EXPECT_EQ(runReader("hang", "-", 2000).status, "hung");
    EXPECT_EQ(runReader("nonsense", "-").status, "failed (exit code 2)");
    EXPECT_EQ(runReader("richedit", kCorpus + "/no such document.rtf").status, "failed (exit code 2)");
    const Reading read = runReader("richedit", kCorpus + "/handmade/pc.rtf");
    EXPECT_EQ(read.status, "ok");
    EXPECT_EQ(read.text.substr(0, 15), "Code page 437: ");
    ASSERT_EQ(read.attributes.size(), read.text.size());
    EXPECT_EQ(read.attributes[0], Attributes()) << "plain 12-point black where the document sets nothing";
}

class RealWorldRtfTest : public ::testing::Test {
  protected:
    void SetUp() override {
        localeName = realworld::sessionLocale();
        locale = findLocale(localeName);
        if (locale == nullptr)
            GTEST_SKIP() << "LANG is \"" << localeName << "\": run under one of the registered locales";
        ASSERT_EQ(GetACP(), locale->codePage) << "Wine did not take the ANSI code page from LANG=" << localeName
                                              << ": the C library needs the locale (tests/windows/wine_locales.sh DIR "
                                              << localeName << ", then LOCPATH=DIR)";
    }

    std::string localeName;
    const Locale* locale = nullptr;
};

TEST_F(RealWorldRtfTest, PlugInReadsDocumentsAsRichEditDoes) {
    std::vector<std::string> documents;
    realworld::listDocuments(kCorpus, "", documents);
    std::sort(documents.begin(), documents.end());
    ASSERT_FALSE(documents.empty()) << "no documents in " << kCorpus;
    std::string error;
    const std::vector<realworld::RuleLine> rules = realworld::readRules(kRules, error);
    EXPECT_TRUE(error.empty()) << kRules << ": " << error;
    for (const realworld::RuleLine& r : rules) {
        EXPECT_TRUE(r.locale == "*" || findLocale(r.locale) != nullptr)
            << kRules << " line " << r.line << " names a locale the tests do not run under";
        EXPECT_NE(std::find(documents.begin(), documents.end(), r.document), documents.end())
            << kRules << " line " << r.line << " names no document of the corpus";
    }

    size_t agreeing = 0, characters = 0, charactersAgree = 0, mended = 0;
    for (const std::string& document : documents) {
        SCOPED_TRACE(document);
        const std::string path = kCorpus + "/" + document;
        const Reading richEdit = runReader("richedit", path);
        const Reading plugin = runReader("plugin", path);
        EXPECT_EQ(richEdit.status, "ok") << "RichEdit's reading";
        EXPECT_EQ(plugin.status, "ok") << "the plug-in's reading";
        if (richEdit.status != "ok" || plugin.status != "ok") continue;
        const std::vector<std::string> own = realworld::rulesFor(rules, document, localeName);
        realworld::Mended m = realworld::unmended(richEdit);
        std::string ruleError;
        const bool applied = realworld::applyRules(own, realworld::readWholeFile(path),
                                                   path.substr(0, path.size() - 4) + ".expected.txt", m, ruleError);
        EXPECT_TRUE(applied) << ruleError;
        mended += own.empty() ? 0 : 1;
        const Comparison c =
            compare(m.text, m.attributes, plugin.text, plugin.attributes, "RichEdit", "plug-in", m.judged);
        const bool agrees = report(localeName, document, c);
        EXPECT_TRUE(c.textAgrees) << "after " << own.size() << " rules, the texts differ " << c.firstDifference;
        EXPECT_EQ(c.agree, c.total) << "attributes: " << c.firstAttributeDifference;
        agreeing += agrees && applied ? 1 : 0;
        characters += c.total;
        charactersAgree += c.agree;
    }
    std::cout << "[" << localeName << "] RTF to FileMaker, code page " << locale->codePage << ": " << documents.size()
              << " documents compared, " << agreeing << " agree after the rules (" << mended
              << " of them with rules); attributes agree for " << charactersAgree << "/" << characters << " characters"
              << std::endl;
}

// One attribute set a run of the FileMaker text has.
struct RunStyle {
    std::uint16_t face;
    std::int16_t size;
    std::uint32_t colour;
};
const RunStyle kRunStyles[] = {
    {0, 12, 0x000000},
    {kFaceBold, 12, 0x000000},
    {kFaceItalic, 12, 0x000000},
    {kFaceUnderline, 12, 0x000000},
    {kFaceStrikethrough, 12, 0x000000},
    {kFaceSuperscript, 12, 0x000000},
    {kFaceSubscript, 12, 0x000000},
    {0, 9, 0x000000},
    {0, 18, 0x000000},
    {0, 36, 0x000000},
    {0, 12, 0xFF0000},
    {0, 12, 0x00A000},
    {0, 12, 0x0000FF},
    {kFaceBold | kFaceItalic | kFaceUnderline, 24, 0x123456},
    {kFaceBold | kFaceStrikethrough, 10, 0x808080},
};

TEST_F(RealWorldRtfTest, FileMakerTextReachesRichEditInTheSessionsCodePage) {
    // The text: punctuation, the locale's language and ASCII, as bytes of the
    // code page; a character the code page lacks is left out. `units` holds
    // each kept character's UTF-16 units, `starts` its first byte.
    const std::wstring wanted = std::wstring(kPunctuation) + L"\r" + locale->sample + L"\rASCII again: 0123456789.";
    std::string text;
    std::wstring expected;
    std::vector<size_t> starts, unitStarts;
    for (size_t i = 0; i < wanted.size();) {
        size_t units = IS_HIGH_SURROGATE(wanted[i]) && i + 1 < wanted.size() ? 2 : 1;
        char bytes[16];
        BOOL lossy = FALSE;
        int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &wanted[i], static_cast<int>(units), bytes,
                                    sizeof bytes, nullptr, &lossy);
        if (n > 0 && !lossy) {
            starts.push_back(text.size());
            unitStarts.push_back(expected.size());
            text.append(bytes, static_cast<size_t>(n));
            expected.append(wanted, i, units);
        }
        i += units;
    }
    ASSERT_GT(starts.size(), 40u) << "the code page keeps too little of the text";

    // Runs of three characters each, through every attribute set in turn.
    constexpr size_t kPerRun = 3;
    const size_t runs = (starts.size() + kPerRun - 1) / kPerRun;
    std::vector<Attributes> expectedAttributes(expected.size());
    CharStyle_FMcs source(text.c_str(), static_cast<std::int32_t>(runs));
    for (size_t r = 0; r < runs; ++r) {
        const RunStyle& s = kRunStyles[r % (sizeof kRunStyles / sizeof kRunStyles[0])];
        ASSERT_TRUE(source.add(static_cast<std::int32_t>(starts[r * kPerRun]), s.size,
                               static_cast<std::int16_t>(s.face), s.colour, 0));
        Attributes a;
        a.flags = realworld::flagsOfFace(s.face);
        a.size = s.size;
        a.colour = s.colour;
        const size_t from = unitStarts[r * kPerRun];
        const size_t to = (r + 1) * kPerRun < unitStarts.size() ? unitStarts[(r + 1) * kPerRun] : expected.size();
        for (size_t u = from; u < to; ++u) expectedAttributes[u] = a;
    }

    fmhost::PluginDriver plugin;
    ASSERT_TRUE(plugin.load(STYLEDTEXT_PLUGIN)) << plugin.error();
    ASSERT_EQ(plugin.initialise(50), 50);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    ASSERT_TRUE(source.addTextToClipboard());
    ASSERT_TRUE(source.addStyleToClipboard());
    EXPECT_TRUE(plugin.call(u"StyledClipboard").found);

    // The plain text the clipboard then holds, as Windows reads it in this code page.
    std::string held, rtf;
    ASSERT_TRUE(OpenClipboard(nullptr));
    for (auto [format, into] :
         {std::pair<UINT, std::string*>{CF_TEXT, &held}, {RegisterClipboardFormatA("Rich Text Format"), &rtf}}) {
        HANDLE h = GetClipboardData(format);
        const char* p = h != nullptr ? static_cast<const char*>(GlobalLock(h)) : nullptr;
        if (p != nullptr) {
            into->assign(p, strnlen(p, GlobalSize(h)));
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    plugin.shutdown();
    EXPECT_EQ(held, text) << "the plug-in changed the plain text";
    std::wstring fromCodePage(held.size(), L'\0');
    fromCodePage.resize(
        static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, held.data(), static_cast<int>(held.size()), &fromCodePage[0],
                                                static_cast<int>(fromCodePage.size()))));
    ASSERT_EQ(fromCodePage, expected) << "the code page does not give back the text it was made of";

    const std::string document = std::string("filemaker/") + locale->language;
    ASSERT_FALSE(rtf.empty()) << "the plug-in wrote no RTF";
    RichEdit edit;
    ASSERT_TRUE(edit.ok());
    realworld::setPlainDefault(edit.window());
    edit.streamIn(rtf);
    const std::wstring shown = realworld::richEditText(edit.window());
    const std::vector<Attributes> shownAttributes = realworld::richEditAttributes(edit.window(), shown.size());
    // The reference here is the text put on the clipboard; RichEdit's reading is compared with it.
    const Comparison c = compare(expected, expectedAttributes, shown, shownAttributes, "clipboard", "RichEdit");
    report(localeName, document, c);
    std::cout << "[" << localeName << "] FileMaker to RTF, code page " << locale->codePage << ": text agrees in "
              << (c.textAgrees ? 1 : 0) << "/1 documents; attributes agree for " << c.agree << "/" << c.total
              << " characters" << std::endl;
    EXPECT_TRUE(c.textAgrees) << c.firstDifference;
    EXPECT_EQ(c.agree, c.total) << c.firstAttributeDifference;
}

}  // namespace
