// The byte-at-a-time conversions give exactly what the conversions by pieces
// give, in every kind of ANSI code page: the fast paths are a shortcut, never
// a different answer.
#include "codepage/byte_utf8_table.h"

#include <gtest/gtest.h>

#include <string>

#include "codepage/unicode_text.h"
#include "codepage/utf8.h"
#include "platform/clipboard_control.h"

namespace {

const unsigned kAnsiCodePages[] = {1252, 1250, 1251, 1253, 1254, 1257, 932, 936, 65001};

TEST(ByteUtf8Table, EveryByteAsTheConversionGivesIt) {
    for (unsigned cp : kAnsiCodePages) {
        SCOPED_TRACE(cp);
        const codepage::ByteUtf8Table table(cp);
        const bool singleByte = !codepage::isDoubleByte(cp) && cp != codepage::kUtf8;
        ASSERT_EQ(table.usable(), singleByte);
        if (!singleByte) continue;
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            std::string expected;
            codepage::appendUtf8FromCodePage(expected, &byte, 1, cp);
            EXPECT_EQ(
                std::string(table.bytes(static_cast<unsigned char>(b)), table.length(static_cast<unsigned char>(b))),
                expected)
                << "byte " << b;
        }
    }
}

// Whole texts through the table, against the conversion by pieces: ASCII
// stretches of every length from 0 to 20 before, between and after bytes
// from 0x80 up, so that each ends at every place of an eight-byte step.
TEST(ByteUtf8Table, TextsAsTheConversionGivesThem) {
    for (unsigned cp : {1252u, 1250u, 1251u, 1253u, 1255u, 874u}) {
        SCOPED_TRACE(cp);
        const codepage::ByteUtf8Table table(cp);
        ASSERT_TRUE(table.usable());
        for (std::size_t ascii = 0; ascii <= 20; ++ascii) {
            SCOPED_TRACE(ascii);
            std::string text;
            for (int high = 0x80; high < 0x100; high += 9) {
                for (std::size_t k = 0; k < ascii; ++k)
                    text += static_cast<char>('a' + (k + static_cast<std::size_t>(high)) % 26);
                text += static_cast<char>(high);
            }
            text.append(ascii, '.');
            std::string expected;
            codepage::appendUtf8FromCodePage(expected, text.data(), text.size(), cp);
            std::string got(3 * text.size(), '\0');
            got.resize(table.toUtf8(text.data(), text.size(), &got[0]));
            EXPECT_EQ(got, expected);
            EXPECT_EQ(table.utf8Size(text.data(), text.size()), expected.size());
        }
    }
}

// Every character of the first plane and beyond that the tables hold, best
// fits, characters no code page holds, and bytes that are not UTF-8.
std::string everyKindOfCharacter() {
    std::string text = "plain ASCII & <markup>\r\n\t";
    for (std::uint32_t cp = 0x80; cp < 0x3000; cp += 3) codepage::appendUtf8(text, cp);
    for (std::uint32_t cp : {0x20ACu, 0x2019u, 0x201Cu, 0x3B1u, 0x3A3u, 0xFF01u, 0x4E2Du, 0x1F600u, 0xFFFDu})
        codepage::appendUtf8(text, cp);
    text += "\xC3(\xE2\x82 \xFF\xED\xA0\x80 end";
    return text;
}

TEST(AnsiFromUtf8Encoder, GivesWhatTheConversionGives) {
    const std::string text = everyKindOfCharacter();
    for (unsigned cp : kAnsiCodePages) {
        SCOPED_TRACE(cp);
        standin::setAnsiCodePage(cp);
        const codepage::AnsiFromUtf8Encoder encoder;
        std::string expected, got;
        codepage::appendAnsiFromUtf8(expected, text.data(), text.size());
        encoder.append(got, text.data(), text.size());
        EXPECT_EQ(got, expected);
        // Piece by piece, as a reader converts run by run.
        std::string pieces;
        for (std::size_t at = 0; at < text.size();) {
            std::size_t end = at + 7 < text.size() ? at + 7 : text.size();
            while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
            encoder.append(pieces, text.data() + at, end - at);
            at = end;
        }
        std::string expectedPieces;
        for (std::size_t at = 0; at < text.size();) {
            std::size_t end = at + 7 < text.size() ? at + 7 : text.size();
            while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
            codepage::appendAnsiFromUtf8(expectedPieces, text.data() + at, end - at);
            at = end;
        }
        EXPECT_EQ(pieces, expectedPieces);
    }
    standin::setAnsiCodePage(1252);
}

}  // namespace
