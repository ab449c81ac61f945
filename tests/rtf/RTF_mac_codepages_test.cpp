// Documents of Word for Mac and TextEdit: text in the Mac code pages, named
// by "\ansicpg", by a font's "\cpg" or by its Mac "\fcharset", read on a
// Western, a Cyrillic and a Japanese system. Every character arrives: in
// the ANSI code page where it has the character, else as a foreign
// character after its fallback. Under Wine the cases of the code page Wine
// runs in are read through the real conversions.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "rtf/RTF.h"
#include "rtf/reader_session.h"

namespace {

using rtftest::appendText;
using rtftest::Foreign;
using rtftest::noteForeign;
using rtftest::Told;
using rtftest::useAnsiCodePage;

std::u32string decodeAnsi(const std::string& bytes) {
    if (bytes.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::vector<WCHAR> units(static_cast<std::size_t>(n > 0 ? n : 0));
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), units.data(), n);
    return std::u32string(units.begin(), units.end());  // the cases hold no character beyond the first plane
}

// The characters the reader delivered: the ANSI text with each foreign
// character in place of its fallback.
std::u32string charactersOf(const Told& told) {
    std::u32string out;
    std::size_t at = 0;
    for (const Foreign& f : told.foreign) {
        out += decodeAnsi(told.text.substr(at, f.at - at));
        out += static_cast<char32_t>(f.codePoint);
        at = f.at + f.cchFallback;
    }
    return out + decodeAnsi(told.text.substr(at));
}

// Whether the ANSI code page writes `c` as itself.
bool ansiHas(char32_t c) {
    const WCHAR unit = static_cast<WCHAR>(c);
    char bytes[4];
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, 0, &unit, 1, bytes, 4, nullptr, &usedDefault);
    return n > 0 && !usedDefault && decodeAnsi(std::string(bytes, static_cast<std::size_t>(n))) == std::u32string(1, c);
}

struct MacCase {
    unsigned codePage;
    int charset;          // the Mac "\fcharset" of the code page
    const char* bytes;    // RTF text in the code page
    std::u32string text;  // what it reads as
};

// Two or three characters of each Mac code page, as Apple's charts give them.
const MacCase kMacCases[] = {
    {10000, 77, "\\'8e\\'d5\\'a5", U"\u00E9\u2019\u2022"},
    {10001, 78, "\\'82\\'a0\\'93\\'fa\\'b1", U"\u3042\u65E5\uFF71"},
    {10002, 81, "\\'a4\\'40\\'a4\\'a4", U"\u4E00\u4E2D"},
    {10003, 79, "\\'b0\\'a1\\'c7\\'d1", U"\uAC00\uD55C"},
    {10004, 84, "\\'c7\\'e4", U"\u0627\u0644"},
    {10005, 83, "\\'e0\\'f9", U"\u05D0\u05E9"},
    {10006, 85, "\\'a1\\'e1", U"\u0393\u03B1"},
    {10007, 89, "\\'8f\\'e0", U"\u041F\u0430"},
    {10008, 80, "\\'b0\\'a1\\'d6\\'d0", U"\u554A\u4E2D"},
    {10021, 87, "\\'a1\\'c1", U"\u0E01\u0E21"},
    {10029, 88, "\\'82\\'e0", U"\u0101\u0157"},
    {10079, 0, "\\'a0\\'e0", U"\u00DD\u00FD"},  // Icelandic has no charset of its own
    {10081, 86, "\\'da\\'db\\'dd", U"\u011E\u011F\u0131"},
};

// The three ways a document names the code page of its text.
std::vector<std::pair<std::string, std::string>> documentsOf(const MacCase& c) {
    const std::string cp = std::to_string(c.codePage);
    const std::string text = std::string(" a") + c.bytes + "z}";
    std::vector<std::pair<std::string, std::string>> documents = {
        {"\\ansicpg", "{\\rtf1\\ansi\\ansicpg" + cp + "{\\fonttbl{\\f0 Font;}}\\f0" + text},
        {"\\cpg", "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\cpg" + cp + " Font;}}\\f0" + text},
    };
    if (c.charset != 0)
        documents.push_back({"\\fcharset", "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset" +
                                               std::to_string(c.charset) + " Font;}}\\f0" + text});
    return documents;
}

TEST(ReaderMacCodePages, EveryCharacterArrivesOnEachSystem) {
    for (unsigned acp : {1252u, 1251u, 932u}) {
        if (!useAnsiCodePage(acp)) continue;
        for (const MacCase& c : kMacCases) {
            for (const auto& [how, rtf] : documentsOf(c)) {
                SCOPED_TRACE(rtf + " on " + std::to_string(acp));
                Told told;
                ASSERT_EQ(ecRtfParseText(rtf.data(), rtf.size(), appendText, noteForeign, &told), ecNoError) << how;
                EXPECT_EQ(charactersOf(told), U"a" + c.text + U"z") << how;
                for (const Foreign& f : told.foreign)
                    EXPECT_FALSE(ansiHas(f.codePoint))
                        << how << ": U+" << std::hex << f.codePoint << " told as foreign";
            }
        }
    }
    useAnsiCodePage(1252);
}

TEST(ReaderMacCodePages, MacRomanByTheMacKeyword) {
    if (!useAnsiCodePage(1252)) GTEST_SKIP() << "the system's code page is not 1252";
    const std::string rtf = "{\\rtf1\\mac \\'8e\\'d5\\'a5}";
    Told told;
    ASSERT_EQ(ecRtfParseText(rtf.data(), rtf.size(), appendText, noteForeign, &told), ecNoError);
    EXPECT_EQ(told.text, "\xE9\x92\x95");
    EXPECT_TRUE(told.foreign.empty());
}

// The old Mac Johab charset names no code page Windows converts: its font
// reads in the document's code page.
TEST(ReaderMacCodePages, MacJohabFontReadsInTheDocumentsCodePage) {
    if (!useAnsiCodePage(1252)) GTEST_SKIP() << "the system's code page is not 1252";
    const std::string rtf = "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset82 Font;}}\\f0 \\'cf}";
    Told told;
    ASSERT_EQ(ecRtfParseText(rtf.data(), rtf.size(), appendText, noteForeign, &told), ecNoError);
    EXPECT_EQ(charactersOf(told), U"\u041F");
}

}  // namespace
