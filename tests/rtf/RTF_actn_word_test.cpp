// The index of keywords by their bytes as one number, and the action the
// scanner's word-at-a-time path takes through it: both must agree with the
// row-by-row routes, state for state.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "rtf/RTF.h"
#include "rtf/RTF_reader.h"
#include "rtf/RTF_table.h"
#include "rtf/parse_capture.h"

namespace {

// The bytes of a word of 1 to 8 bytes as the scanner holds them: first byte lowest.
std::uint64_t wordKey(const std::string& word) {
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < word.size(); ++i) key |= std::uint64_t{static_cast<unsigned char>(word[i])} << (8 * i);
    return key;
}

// Keywords of 1 to 8 bytes, and words of that length that differ from one by
// a byte, a case or a length.
std::vector<std::string> shortWords() {
    std::vector<std::string> words = {"rtf", "ansi", "u", "B", "PAR", "colortb", "xx", "pn", "bkmkend", "zzzzzzzz"};
    for (int c = 1; c < 256; ++c) words.push_back(std::string(1, static_cast<char>(c)));
    for (std::int32_t isym = 0; isym < isymMax; ++isym) {
        const std::string keyword = rgsymRtf[isym].szKeyword;
        words.push_back(keyword);
        words.push_back(keyword + "a");
        words.push_back(keyword.substr(1));
        for (std::size_t i = 0; i < keyword.size(); ++i) {
            words.push_back(keyword.substr(0, i));
            std::string changed = keyword;
            changed[i] = static_cast<char>(changed[i] ^ 0x20);
            words.push_back(changed);
        }
    }
    std::vector<std::string> fitting;
    for (const std::string& word : words)
        if (!word.empty() && word.size() <= 8 && word.find('\0') == std::string::npos) fitting.push_back(word);
    return fitting;
}

TEST(WordIndex, LookupMatchesPaddedLookup) {
    for (const std::string& word : shortWords())
        EXPECT_EQ(isymLookupWord(wordKey(word)), isymLookup(word.data(), word.size())) << "\"" << word << "\"";
}

// Everything a keyword's action can touch.
struct Snapshot {
    char_prop chp;
    para_prop pap;
    sect_prop sep;
    doc_prop dop;
    RDS rds;
    RIS ris;
    bool fSkipDestIfUnk;
    std::int32_t lParam;
    std::int32_t cbBin;
    std::int16_t cColour;
    std::int32_t rgColour[rtf::cColourMax];
    std::vector<std::int32_t> delivered;
};

std::vector<std::int32_t> gDelivered;

std::int32_t collectChar(std::int32_t ch, void*, doc_prop, sect_prop, para_prop, char_prop) {
    gDelivered.push_back(ch);
    return 0;
}

// Fills the records with a different byte in every position, so that a write
// that strays beyond its field shows.
template <typename Record>
void scribble(Record& record, unsigned char seed) {
    unsigned char* bytes = reinterpret_cast<unsigned char*>(&record);
    for (std::size_t i = 0; i < sizeof record; ++i) bytes[i] = static_cast<unsigned char>(seed + 37 * i);
}

// A fresh reader with every record scribbled over and the given state.
std::unique_ptr<rtf::Reader> setUp(RDS destination, bool fStar, int colours) {
    auto reader = std::make_unique<rtf::Reader>(collectChar, nullptr, nullptr);
    gDelivered.clear();
    scribble(reader->chp, 1);
    scribble(reader->pap, 2);
    scribble(reader->sep, 3);
    scribble(reader->dop, 4);
    reader->rds = destination;
    reader->ris = risNorm;
    reader->fSkipDestIfUnk = fStar;
    reader->lParam = 77;
    reader->cColour = static_cast<std::int16_t>(colours);
    for (int i = 0; i < rtf::cColourMax; ++i) reader->rgColour[i] = 0x010203 * (i + 1);
    return reader;
}

Snapshot take(const rtf::Reader& reader) {
    Snapshot s;
    std::memcpy(&s.chp, &reader.chp, sizeof reader.chp);
    std::memcpy(&s.pap, &reader.pap, sizeof reader.pap);
    std::memcpy(&s.sep, &reader.sep, sizeof reader.sep);
    std::memcpy(&s.dop, &reader.dop, sizeof reader.dop);
    s.rds = reader.rds;
    s.ris = reader.ris;
    s.fSkipDestIfUnk = reader.fSkipDestIfUnk;
    s.lParam = reader.lParam;
    s.cbBin = reader.cbBin;
    s.cColour = reader.cColour;
    std::memcpy(s.rgColour, reader.rgColour, sizeof reader.rgColour);
    s.delivered = gDelivered;
    return s;
}

void expectSame(const Snapshot& a, const Snapshot& b) {
    EXPECT_EQ(std::memcmp(&a.chp, &b.chp, sizeof a.chp), 0) << "character properties";
    EXPECT_EQ(std::memcmp(&a.pap, &b.pap, sizeof a.pap), 0) << "paragraph properties";
    EXPECT_EQ(std::memcmp(&a.sep, &b.sep, sizeof a.sep), 0) << "section properties";
    EXPECT_EQ(std::memcmp(&a.dop, &b.dop, sizeof a.dop), 0) << "document properties";
    EXPECT_EQ(a.rds, b.rds);
    EXPECT_EQ(a.ris, b.ris);
    EXPECT_EQ(a.fSkipDestIfUnk, b.fSkipDestIfUnk);
    EXPECT_EQ(a.lParam, b.lParam);
    EXPECT_EQ(a.cbBin, b.cbBin);
    EXPECT_EQ(a.cColour, b.cColour);
    EXPECT_EQ(std::memcmp(a.rgColour, b.rgColour, sizeof a.rgColour), 0) << "colour table";
    EXPECT_EQ(a.delivered, b.delivered);
}

// Every word, with and without a parameter, in a normal and a skipped
// destination, after "\*" or not, with an empty and a filled colour table:
// the word path leaves exactly the state the row-by-row path leaves.
TEST(WordIndex, TranslateWordMatchesTranslateSymbol) {
    const std::int32_t params[] = {0, 1, 2, 7, 255, 256, -1, -300, 12240, INT32_MAX, INT32_MIN};
    for (const std::string& word : shortWords()) {
        for (RDS destination : {rdsNorm, rdsSkip}) {
            for (bool fStar : {false, true}) {
                for (int colours : {0, 9}) {
                    for (std::int32_t param : params) {
                        for (bool fParam : {false, true}) {
                            SCOPED_TRACE("\"" + word + "\" param " + std::to_string(param) + (fParam ? "" : " unused") +
                                         (destination == rdsSkip ? " skipped" : "") + (fStar ? " after \\*" : "") +
                                         " colours " + std::to_string(colours));
                            auto reader = setUp(destination, fStar, colours);
                            const std::int32_t ecSymbol =
                                reader->ecTranslateSymbol(isymLookup(word.data(), word.size()), param, fParam);
                            const Snapshot bySymbol = take(*reader);
                            reader = setUp(destination, fStar, colours);
                            const std::int32_t ecWord = reader->ecTranslateWord(wordKey(word), param, fParam);
                            const Snapshot byWord = take(*reader);
                            EXPECT_EQ(ecWord, ecSymbol);
                            expectSame(byWord, bySymbol);
                        }
                    }
                }
            }
        }
    }
}

}  // namespace
