// The characters of real programs' RTF that the system's ANSI code page
// lacks, against RichEdit, in each locale the real-world comparison runs in:
// RichEdit's reading of every document in tests/realworld/rtf gives them in
// some order (or, where richedit_rules.txt sets RichEdit's reading aside, the
// document's text written by hand); the plug-in's text (its bytes with the characters kept beside
// them) must give the same ones in the same order, and so must RichEdit's
// reading of the RTF the plug-in writes.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "style/CharStyle_RTF.h"
#include "style/unicode_text.h"
#include "windows/reader_process.h"
#include "windows/realworld_reading.h"
#include "windows/richedit_rules.h"

namespace {

const std::string kCorpus = STYLEDTEXT_REALWORLD;

std::wstring richEditUnicode(const std::string& rtf) {
    RichEdit edit;
    realworld::setPlainDefault(edit.window());
    edit.streamIn(rtf);
    return realworld::richEditText(edit.window());
}

// The characters of `text` that do not come back whole through the ANSI
// code page, in order; surrogate pairs count as one.
std::vector<std::uint32_t> beyondCodePage(const std::wstring& text) {
    std::vector<std::uint32_t> out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = text[i];
        std::size_t units = 1;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            units = 2;
        }
        char bytes[8];
        BOOL lossy = FALSE;
        const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &text[i], static_cast<int>(units), bytes,
                                          sizeof bytes, nullptr, &lossy);
        wchar_t back[4] = {};
        const int m = n > 0 ? MultiByteToWideChar(CP_ACP, 0, bytes, n, back, 4) : 0;
        if (lossy || m != static_cast<int>(units) || std::wstring(back, m) != text.substr(i, units)) out.push_back(c);
        i += units - 1;
    }
    return out;
}

TEST(RealWorldUnicodeTest, CharactersBeyondTheCodePageSurviveAsRichEditReadsThem) {
    std::vector<std::string> documents;
    realworld::listDocuments(kCorpus, "", documents);
    std::sort(documents.begin(), documents.end());
    ASSERT_FALSE(documents.empty());
    std::string error;
    const std::vector<realworld::RuleLine> rules = realworld::readRules(kCorpus + "/richedit_rules.txt", error);
    EXPECT_TRUE(error.empty()) << error;
    const std::string locale = realworld::sessionLocale();
    int withSuch = 0, agreeRead = 0, agreeWritten = 0, byHandCount = 0;
    for (const std::string& name : documents) {
        std::ifstream in(kCorpus + "/" + name, std::ios::binary);
        const std::string rtf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // Where RichEdit's reading cannot be mended, the text written by hand
        // tells what the document holds.
        std::wstring byHand;
        const bool fromHand =
            realworld::usesTextByHand(realworld::rulesFor(rules, name, locale)) &&
            realworld::readTextByHand(kCorpus + "/" + name.substr(0, name.size() - 4) + ".expected.txt", byHand);
        const std::vector<std::uint32_t> expected = beyondCodePage(fromHand ? byHand : richEditUnicode(rtf));
        if (expected.empty()) continue;
        ++withSuch;
        CharStyle_RTF read(rtf.data(), rtf.size());
        const std::u16string ours = unicodeText(read.getText(), GetACP(), &read.foreignChars());
        const std::vector<std::uint32_t> fromPlugin =
            beyondCodePage(std::wstring(reinterpret_cast<const wchar_t*>(ours.data()), ours.size()));
        const std::vector<std::uint32_t> fromWritten = beyondCodePage(richEditUnicode(read.getRTF()));
        EXPECT_EQ(fromPlugin, expected) << name << ": the plug-in's text";
        EXPECT_EQ(fromWritten, expected) << name << ": RichEdit's reading of the RTF the plug-in wrote";
        byHandCount += fromHand ? 1 : 0;
        agreeRead += fromPlugin == expected;
        agreeWritten += fromWritten == expected;
    }
    std::printf(
        "[ code page %u ] %zu documents, %d with characters beyond it: the plug-in's text agrees with "
        "RichEdit on %d, RichEdit's reading of the RTF written on %d (the text written by hand for %d)\n",
        GetACP(), documents.size(), withSuch, agreeRead, agreeWritten, byHandCount);
}

}  // namespace
