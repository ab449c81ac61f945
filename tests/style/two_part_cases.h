// Documents for the writers that split a large document in two parts: each
// must write the same bytes in two parts as in one, wherever the split falls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "codepage/foreign_chars.h"
#include "style/face_bits.h"
#include "style/style_runs.h"
#include "style/two_parts.h"
#include "support/test_random.h"

namespace twoparts {

struct Case {
    std::string name;
    std::string text;
    std::vector<StyleRuns::Run> runs;
    codepage::ForeignChars foreign;
    codepage::CodePage cp;
};

// Small documents, split wherever a writer is told to split from one byte on.
inline std::vector<Case> splitCases() {
    return {
        {"no runs", "abcdef", {}, {}, 1252},
        {"a CR LF across the split", "abc\r\ndef", {{0, kFaceBold, 12, 0}, {4, 0, 12, 0}}, {}, 1252},
        {"a foreign character across the split",
         "ab??cd",
         {{0, kFaceBold, 12, 0}, {3, 0, 12, 0}},
         {{2, 2, 0x1F600}},
         1252},
        {"a foreign character at the split",
         "abc?de",
         {{0, kFaceBold, 12, 0}, {3, 0, 12, 0x00FF00}},
         {{3, 1, 0x4E2D}, {5, 1, 0x416}},
         1252},
        {"runs of no text at the split",
         "abcdefgh",
         {{0, kFaceBold, 12, 0}, {4, kFaceItalic, 14, 0}, {4, 0, 12, 0xFF}, {4, kFaceUnderline, 12, 0}},
         {},
         1252},
        {"equal neighbours across the split",
         "abcdefgh",
         {{0, kFaceBold, 12, 0}, {3, kFaceItalic, 12, 0}, {4, kFaceItalic, 12, 0}, {6, 0, 12, 0}},
         {},
         1252},
        {"the first run after the middle", "abcdefgh", {{6, kFaceBold, 12, 0}}, {}, 1252},
        {"runs out of order and past the end",
         "abcdefgh",
         {{5, kFaceBold, 12, 0}, {2, kFaceItalic, 12, 0}, {7, 0, 9, 0}, {40, kFaceBold, 12, 0}},
         {},
         1252},
        {"a run at the very end", "abcd", {{0, kFaceBold, 12, 0}, {4, 0, 12, 0}}, {}, 1252},
        {"a double-byte code page",
         "\x82\xa0\x82\xa2<\x82\xa4\x82\xa6",
         {{0, kFaceBold, 12, 0}, {4, kFaceSuperscript, 10, 0}, {5, 0, 12, 0}},
         {},
         932},
        {"UTF-8 text with the writers' markup characters",
         "a\xC3\xA9{\xE2\x82\xAC}\\b<&>",
         {{0, kFaceBold, 12, 0}, {3, kFaceItalic, 12, 0xFF}, {7, 0, 14, 0}},
         {},
         65001},
    };
}

// A document just past the size from which the writers split, with a
// foreign character every so often and line ends throughout.
inline Case largeCase() {
    Case c{"large", "", {}, {}, 1252};
    for (std::size_t i = 0; c.text.size() < kTwoPartTextBytes + 1000; ++i) {
        c.runs.push_back({static_cast<std::int32_t>(c.text.size()),
                          static_cast<std::int16_t>(i % 7 == 0 ? kFaceBold : 0), static_cast<std::int16_t>(10 + i % 3),
                          static_cast<std::uint32_t>((i % 5) * 0x330000)});
        if (i % 11 == 0)
            c.foreign.push_back(
                {static_cast<std::uint32_t>(c.text.size()), 1, 0x4E00 + static_cast<std::uint32_t>(i % 100)});
        c.text += i % 11 == 0 ? "?<word> & {\\} \r\n" : "word\r\n";
    }
    return c;
}

// Documents made at random from `seed`: bytes of every kind (markup
// characters, CR, LF, NUL, bytes from 0x80 up), runs in and out of order,
// of no text and past the end, and foreign characters in order.
inline std::vector<Case> randomCases(std::uint32_t seed, int count) {
    testrandom::Generator random{seed};
    const auto next = [&random](std::uint32_t below) { return random.below(below); };
    const char kBytes[] = "ab \r\n\0<>&\"'{}\\\t\x82\xa0\xc3\xa9\xe9\xff";
    const codepage::CodePage kCodePages[] = {1252, 932, 65001};
    std::vector<Case> cases;
    for (int k = 0; k < count; ++k) {
        Case c{"random " + std::to_string(k), "", {}, {}, kCodePages[next(3)]};
        const std::uint32_t length = next(64);
        for (std::uint32_t i = 0; i < length; ++i) c.text.push_back(kBytes[next(sizeof kBytes - 1)]);
        const std::uint32_t runs = next(8);
        std::int32_t at = 0;
        for (std::uint32_t r = 0; r < runs; ++r) {
            at = next(8) == 0 ? static_cast<std::int32_t>(next(80)) - 8 : at + static_cast<std::int32_t>(next(10));
            c.runs.push_back({at, static_cast<std::int16_t>(next(128)), static_cast<std::int16_t>(next(3) * 6),
                              next(3) * 0x7F3F00u});
        }
        for (std::uint32_t pos = next(8); pos + 1 < length; pos += 1 + next(12))
            c.foreign.push_back({pos, 1 + next(2), 0x400 + next(0x10000)});
        cases.push_back(std::move(c));
    }
    return cases;
}

// What `document` writes into room of the size it counted; writing past
// that room fails the test.
template <class Document>
std::string writtenInto(const Document& document) {
    const std::size_t size = document.size();
    std::string room(size + 16, '#');
    document.writeTo(&room[0]);
    EXPECT_EQ(room.substr(size), std::string(16, '#')) << "written past the counted size";
    return room.substr(0, size);
}

}  // namespace twoparts
