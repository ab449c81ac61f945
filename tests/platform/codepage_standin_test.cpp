// The stand-in's code-page conversions give Windows' results where the plug-in
// relies on them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clipboard_control.h"

namespace {

std::vector<WCHAR> toWide(UINT cp, const std::string& bytes) {
    const int n = MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::vector<WCHAR> wide(static_cast<std::size_t>(n));
    EXPECT_EQ(MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n), n);
    return wide;
}

std::string toBytes(UINT cp, const std::vector<WCHAR>& wide) {
    const int n = WideCharToMultiByte(cp, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(n), '\0');
    EXPECT_EQ(WideCharToMultiByte(cp, 0, wide.data(), static_cast<int>(wide.size()), &bytes[0], n, nullptr, nullptr),
              n);
    return bytes;
}

struct DecodeCase {
    UINT cp;
    std::string bytes;
    std::vector<WCHAR> wide;
};

TEST(CodePageStandin, DecodesAsWindowsDoes) {
    const DecodeCase cases[] = {
        {1252, "\x80\xE9", {0x20AC, 0x00E9}},
        {1252, "\x81\x8D", {0x0081, 0x008D}},  // undefined bytes keep their value
        {1251, "\xCF\xE8", {0x041F, 0x0438}},
        {1250, "\xB3", {0x0142}},
        {932, "a\x82\xA0\xB1", {'a', 0x3042, 0xFF71}},
        {936, "\xC4\xE3", {0x4F60}},
        {10000, "\xD5", {0x2019}},
        {437, "\x82", {0x00E9}},
        {CP_UTF8, "\xC3\xA9\xF0\x9F\x98\x80", {0x00E9, 0xD83D, 0xDE00}},
        {CP_UTF8, "\xC3\x28\xFF", {0xFFFD, '(', 0xFFFD}},    // malformed sequences
        {932, "\xA0\xFD", {0xF8F0, 0xF8F1}},                 // bytes no character was given
        {932, "a\x82", {'a', 0x30FB}},                       // a lead byte at the end: the default unit
        {932, std::string("\x82\0a", 3), {0x30FB, 0, 'a'}},  // a lead byte before a NUL reads alone
        {936, "\x81", {'?'}},
        {10001, "\x82\xA0\xB1", {0x3042, 0xFF71}},
        {10008, "\xB0\xA1", {0x554A}},
        {10007, "\xE0", {0x0430}},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.cp);
        EXPECT_EQ(toWide(c.cp, c.bytes), c.wide);
    }
}

struct EncodeCase {
    UINT cp;
    std::vector<WCHAR> wide;
    std::string bytes;
};

TEST(CodePageStandin, EncodesWithBestFitAndQuestionMarks) {
    const EncodeCase cases[] = {
        {1252, {0x2019, 0x20AC, 0x0081}, "\x92\x80\x81"},
        {1252, {0x0142, 0x2002, 0x2011}, "l -"},  // best fit
        {1252, {0x041F, 0xD83D, 0xDE00}, "???"},  // none; each half of a pair too
        {1251,
         {0x041F, 0x00E9},
         "\xCF"
         "e"},
        {932, {0x3042, 'x'}, "\x82\xA0x"},
        {1252, {0x03B1, 0x03A3, 0xFF01}, "aS!"},  // best fit: Greek and fullwidth letters
        {932, {0x03B1, 0xFF01, 0x4E2D, 0xD83D, 0xDE00}, "\x83\xBF\x81\x49\x92\x86??"},
        {10000, {0x2019, 0x00E9}, "\xD5\x8E"},
        {CP_UTF8, {0x00E9, 0xD83D, 0xDE00}, "\xC3\xA9\xF0\x9F\x98\x80"},
    };
    for (const EncodeCase& c : cases) {
        SCOPED_TRACE(c.cp);
        EXPECT_EQ(toBytes(c.cp, c.wide), c.bytes);
    }
}

TEST(CodePageStandin, AnsiCodePageIsSettable) {
    EXPECT_EQ(GetACP(), 1252u);
    standin::setAnsiCodePage(932);
    EXPECT_EQ(GetACP(), 932u);
    EXPECT_TRUE(IsDBCSLeadByteEx(CP_ACP, 0x82));
    EXPECT_FALSE(IsDBCSLeadByteEx(CP_ACP, 0xB1));
    EXPECT_EQ(toWide(CP_ACP, "\x82\xA0"), std::vector<WCHAR>{0x3042});
    standin::setAnsiCodePage(1252);
    EXPECT_FALSE(IsDBCSLeadByteEx(CP_ACP, 0x82));
}

TEST(CodePageStandin, BuffersAsWindowsHandlesThem) {
    WCHAR wide[2];
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 3, wide, 2), 0);     // too small: nothing
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "ab", -1, nullptr, 0), 3);  // -1 counts the terminator
    const WCHAR text[] = {0x041F, 'a', 0};
    char bytes[4];
    BOOL usedDefault = FALSE;
    EXPECT_EQ(WideCharToMultiByte(1252, 0, text, -1, bytes, 4, "*", &usedDefault), 3);
    EXPECT_STREQ(bytes, "*a");
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(MultiByteToWideChar(12345, 0, "a", 1, wide, 2), 0);  // unknown code page
}

// The caller's default character as Windows takes it: a NUL is one too, and
// in a double-byte code page it may be a lead and trail byte.
TEST(CodePageStandin, DefaultCharacterAsWindowsTakesIt) {
    const WCHAR lacking[] = {0xD83D, 0xDE00};
    char bytes[8] = {};
    BOOL usedDefault = FALSE;
    EXPECT_EQ(WideCharToMultiByte(1252, 0, lacking, 2, bytes, 8, "", &usedDefault), 2);
    EXPECT_EQ(std::string(bytes, 2), std::string(2, '\0'));
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(WideCharToMultiByte(932, 0, lacking, 2, bytes, 8, "\x81\x45", nullptr), 4);
    EXPECT_EQ(std::string(bytes, 4), "\x81\x45\x81\x45");
    const WCHAR held[] = {0x00E9};
    usedDefault = TRUE;
    EXPECT_EQ(WideCharToMultiByte(1252, 0, held, 1, bytes, 8, nullptr, &usedDefault), 1);
    EXPECT_FALSE(usedDefault);
}

}  // namespace
