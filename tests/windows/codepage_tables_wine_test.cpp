// The code-page tables that the stand-ins convert through, held against
// Windows' own MultiByteToWideChar, WideCharToMultiByte and IsDBCSLeadByteEx:
// every byte, every lead byte with every trail byte, every BMP unit.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/codepage_tables/codepage_table.h"

namespace {

// Counts what it is told and names the first few that differ.
struct Tally {
    unsigned codePage;
    long checked = 0;
    long mismatches = 0;

    void check(bool same, const char* what, unsigned code, unsigned table, unsigned windows) {
        ++checked;
        if (same) return;
        if (++mismatches <= 5)
            ADD_FAILURE() << "code page " << codePage << ", " << what << " " << std::hex << code << ": table " << table
                          << ", Windows " << windows;
    }
};

void report(const char* what, const Tally& tally) {
    std::printf("code page %u: %ld %s checked, %ld differ\n", tally.codePage, tally.checked, what, tally.mismatches);
    EXPECT_EQ(tally.mismatches, 0) << "code page " << tally.codePage;
}

TEST(CodePageTablesUnderWine, EveryByteAndPairDecodesAsWindows) {
    for (std::size_t i = 0; i < cptables::kSourceCount; ++i) {
        const unsigned codePage = cptables::kSources[i]->codePage;
        const cptables::CodePageTable* table = cptables::CodePageTable::find(codePage);
        ASSERT_NE(table, nullptr) << codePage;
        Tally tally{codePage};
        for (unsigned b = 0; b < 256; ++b) {
            const char one = static_cast<char>(b);
            WCHAR unit[4] = {};
            const int n = MultiByteToWideChar(codePage, 0, &one, 1, unit, 4);
            tally.check(n == 1 && unit[0] == table->byte(static_cast<unsigned char>(b)), "byte", b,
                        table->byte(static_cast<unsigned char>(b)), n == 1 ? unit[0] : 0xFFFFFFFFu);
            const bool lead = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(b)) != FALSE;
            tally.check(lead == table->isLead(static_cast<unsigned char>(b)), "lead byte", b,
                        table->isLead(static_cast<unsigned char>(b)), lead);
            if (!lead) continue;
            for (unsigned trail = 1; trail < 256; ++trail) {
                const char two[2] = {static_cast<char>(b), static_cast<char>(trail)};
                const unsigned expected = table->pair(static_cast<unsigned char>(b), static_cast<unsigned char>(trail));
                const int m = MultiByteToWideChar(codePage, 0, two, 2, unit, 4);
                tally.check(m == 1 && unit[0] == expected, "pair", b << 8 | trail, expected,
                            m == 1 ? unit[0] : 0xFFFFFFFFu);
            }
        }
        report("bytes and pairs", tally);
    }
}

TEST(CodePageTablesUnderWine, EveryUnitEncodesAsWindows) {
    for (std::size_t i = 0; i < cptables::kSourceCount; ++i) {
        const unsigned codePage = cptables::kSources[i]->codePage;
        const cptables::CodePageTable* table = cptables::CodePageTable::find(codePage);
        ASSERT_NE(table, nullptr) << codePage;
        Tally tally{codePage};
        for (unsigned u = 0; u < 0x10000; ++u) {
            const WCHAR unit = static_cast<WCHAR>(u);
            char bytes[4] = {};
            BOOL usedDefault = FALSE;
            const int n = WideCharToMultiByte(codePage, 0, &unit, 1, bytes, 4, nullptr, &usedDefault);
            unsigned windows = 0xFFFFFFFFu;
            if (usedDefault && n == 1 && bytes[0] == '?')
                windows = cptables::kNoBytes;
            else if (!usedDefault && n == 1)
                windows = static_cast<unsigned char>(bytes[0]);
            else if (!usedDefault && n == 2)
                windows = static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1]);
            const unsigned expected = table->encode(unit);
            tally.check(windows == expected, "unit", u, expected, windows);
        }
        report("units", tally);
    }
}

}  // namespace
