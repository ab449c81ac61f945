// Characters a code page lacks, kept beside its text: found from a Unicode
// text that stands beside the bytes, from UTF-8, moved with line ends, and
// walked by the writers.
#include "codepage/foreign_chars.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clipboard_control.h"
#include "support/unicode_strings.h"

namespace {

using codepage::ForeignChar;
using codepage::ForeignChars;
using unicode_strings::utf16;

std::string ansiOf(const std::u16string& wide, UINT cp) {
    const WCHAR* w = reinterpret_cast<const WCHAR*>(wide.data());
    const int n = WideCharToMultiByte(cp, 0, w, static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(cp, 0, w, static_cast<int>(wide.size()), &bytes[0], n, nullptr, nullptr);
    return bytes;
}

class ForeignChars_ : public ::testing::Test {
  protected:
    void TearDown() override { standin::setAnsiCodePage(1252); }
};

TEST_F(ForeignChars_, AreFoundInTheUnicodeTextBesideTheBytes) {
    const struct {
        UINT cp;
        std::string utf8;
        ForeignChars expected;
    } cases[] = {
        {1252, "caf\xC3\xA9", {}},
        {1252, "a\xE4\xB8\xAD" "b", {{1, 1, 0x4E2D}}},
        {1252, "\xF0\x9F\x98\x80!", {{0, 2, 0x1F600}}},  // each half of the pair became "?"
        {1251, "\xD0\x96\xCE\xB1\r\n\xCE\xB2", {{1, 1, 0x3B1}, {4, 1, 0x3B2}}},
        {932, "\xE6\x97\xA5\xED\x95\x9C" "a", {{2, 1, 0xD55C}}},  // Korean in a Japanese code page
        {65001, "\xE4\xB8\xAD\xF0\x9F\x98\x80", {}},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.cp);
        const std::u16string wide = utf16(tc.utf8);
        const std::string bytes = ansiOf(wide, tc.cp);
        ForeignChars found;
        ASSERT_TRUE(codepage::foreignCharsOfWideText(bytes, reinterpret_cast<const std::uint16_t*>(wide.data()),
                                                     wide.size(), tc.cp, found));
        EXPECT_EQ(found, tc.expected);
        EXPECT_EQ(codepage::wideTextLeavesCodePage(reinterpret_cast<const std::uint16_t*>(wide.data()), wide.size(),
                                                   tc.cp),
                  !tc.expected.empty());
    }
}

TEST_F(ForeignChars_, AnotherTextTellsNothing) {
    const std::u16string wide = utf16("ab\xE4\xB8\xAD");
    for (const std::string& bytes : {std::string("ab"), std::string("ab??"), std::string("xb?"), std::string()}) {
        ForeignChars found{{0, 1, 1}};
        EXPECT_FALSE(codepage::foreignCharsOfWideText(bytes, reinterpret_cast<const std::uint16_t*>(wide.data()),
                                                      wide.size(), 1252, found))
            << bytes;
        EXPECT_EQ(found.size(), 1u) << "nothing added";
    }
}

TEST_F(ForeignChars_, AreNotedWhileConvertingUtf8) {
    standin::setAnsiCodePage(1251);
    std::string out = "x";
    ForeignChars foreign;
    codepage::appendFromUtf8Noting(out, "\xD0\x96\xC3\xA9\xE4\xB8\xAD\xFF.", 9, 1251, foreign);
    EXPECT_EQ(out.substr(0, 2), "x\xC6");
    ASSERT_EQ(foreign.size(), 2u);
    EXPECT_EQ(foreign[0], (ForeignChar{2, 1, 0xE9}));
    EXPECT_EQ(foreign[1], (ForeignChar{3, 1, 0x4E2D}));
    EXPECT_EQ(out.back(), '.') << "a byte that is no UTF-8 is converted, not noted";
}

TEST_F(ForeignChars_, MoveWithLineEndsMadeOneByte) {
    const std::string before = "a\r\nb?\r\n\r\nc?\rd?";
    const ForeignChars foreign = {{4, 1, 0x100}, {10, 1, 0x101}, {13, 1, 0x102}};
    const ForeignChars moved = codepage::foreignAfterLineEndsMadeSingle(before, foreign);
    EXPECT_EQ(moved, (ForeignChars{{3, 1, 0x100}, {7, 1, 0x101}, {10, 1, 0x102}}));
}

TEST_F(ForeignChars_, AWalkGivesEveryByteOnceWhateverTheList) {
    const std::string text = "0123456789";
    const struct {
        const char* name;
        ForeignChars foreign;
        std::string expected;  // plain bytes as themselves, foreign characters as [codePoint]
    } cases[] = {
        {"none", {}, "0123456789"},
        {"two", {{2, 1, 0xA}, {5, 2, 0xB}}, "01[10]34[11]789"},
        {"out of order and overlapping", {{5, 2, 0xB}, {2, 1, 0xA}, {6, 1, 0xC}}, "01234[11]789"},
        {"past the end or empty", {{9, 3, 0xA}, {3, 0, 0xB}}, "0123456789"},
        {"across a piece's end", {{3, 2, 0xA}}, "0123456789"},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        codepage::ForeignWalk walk(&tc.foreign);
        std::string out;
        const auto plain = [&](std::size_t a, std::size_t b) { out += text.substr(a, b - a); };
        const auto character = [&](const ForeignChar& c) { out += "[" + std::to_string(c.codePoint) + "]"; };
        walk.walk(0, 4, plain, character);  // pieces as runs give them
        walk.walk(4, 10, plain, character);
        EXPECT_EQ(out, tc.expected);
    }
}

}  // namespace
