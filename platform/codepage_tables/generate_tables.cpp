// Writes the source of one code page's table (cpNNNN.cpp) from Wine's own
// conversions, or with --index the list of every table (sources.cpp).
// A Windows program: generate.sh builds it with mingw-w64 and runs it under Wine.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/codepage_tables/codepage_table.h"

namespace {

[[noreturn]] void fail(const char* what, unsigned codePage, unsigned code) {
    std::fprintf(stderr, "generate_tables: code page %u, %04X: %s\n", codePage, code, what);
    std::exit(1);
}

struct Entry {
    std::uint32_t code;
    std::uint16_t value;
};

// The run list of `entries` (codes ascending): steps and repeats of at least
// four codes as one record each, the rest as lists.
std::vector<std::uint16_t> runs(const std::vector<Entry>& entries) {
    constexpr std::size_t kShortest = 4;
    std::vector<std::uint16_t> out;
    std::size_t listAt = 0;  // where the open list's header is, or 0 for none
    std::size_t i = 0;
    auto length = [&entries](std::size_t from, bool step) {
        std::size_t n = 1;
        while (from + n < entries.size() && n < cptables::kRunCountMax &&
               entries[from + n].code == entries[from].code + n &&
               entries[from + n].value == static_cast<std::uint16_t>(entries[from].value + (step ? n : 0)))
            ++n;
        return n;
    };
    while (i < entries.size()) {
        const std::size_t step = length(i, true);
        const std::size_t same = length(i, false);
        if (step >= kShortest || same >= kShortest) {
            const bool isStep = step >= same;
            const std::size_t n = isStep ? step : same;
            out.push_back(static_cast<std::uint16_t>(entries[i].code));
            out.push_back(static_cast<std::uint16_t>(n | (isStep ? cptables::kRunStep : cptables::kRunSame)));
            out.push_back(entries[i].value);
            listAt = 0;
            i += n;
            continue;
        }
        const bool extends = listAt != 0 && entries[i].code == entries[i - 1].code + 1 &&
                             (out[listAt] & cptables::kRunCountMax) < cptables::kRunCountMax;
        if (!extends) {
            out.push_back(static_cast<std::uint16_t>(entries[i].code));
            listAt = out.size();
            out.push_back(cptables::kRunList);
        }
        ++out[listAt];
        out.push_back(entries[i].value);
        ++i;
    }
    return out;
}

void printArray(const char* type, const char* name, const std::uint16_t* values, std::size_t n) {
    std::printf("const %s %s[] = {", type, name);
    for (std::size_t i = 0; i < n; ++i) std::printf("%s0x%04X,", i % 12 == 0 ? "\n    " : " ", values[i]);
    std::printf("\n};\n");
}

int generate(unsigned codePage) {
    CPINFOEXW info{};
    if (!GetCPInfoExW(codePage, 0, &info)) fail("no such code page", codePage, 0);
    std::uint16_t bytes[256];
    std::uint32_t leads[8] = {};
    bool doubleByte = false;
    for (unsigned b = 0; b < 256; ++b) {
        const char one = static_cast<char>(b);
        WCHAR unit[4];
        if (MultiByteToWideChar(codePage, 0, &one, 1, unit, 4) != 1)
            fail("a byte gives other than one unit", codePage, b);
        bytes[b] = unit[0];
        if (IsDBCSLeadByteEx(codePage, static_cast<BYTE>(b))) {
            leads[b >> 5] |= 1u << (b & 31);
            doubleByte = true;
        }
    }
    const std::uint16_t pairDefault = info.UnicodeDefaultChar;
    std::vector<Entry> pairs;
    for (unsigned lead = 0; doubleByte && lead < 256; ++lead) {
        if ((leads[lead >> 5] >> (lead & 31) & 1) == 0) continue;
        // A NUL after a lead byte ends the text's characters: the lead byte
        // reads as if alone, and the NUL as itself.
        const char leadNul[2] = {static_cast<char>(lead), 0};
        WCHAR alone[4];
        if (MultiByteToWideChar(codePage, 0, leadNul, 2, alone, 4) != 2 || alone[0] != bytes[lead] || alone[1] != 0)
            fail("a lead byte before a NUL reads otherwise than alone", codePage, lead << 8);
        for (unsigned trail = 1; trail < 256; ++trail) {
            const char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            WCHAR unit[4];
            if (MultiByteToWideChar(codePage, 0, two, 2, unit, 4) != 1)
                fail("a pair gives other than one unit", codePage, lead << 8 | trail);
            if (unit[0] != pairDefault) pairs.push_back({lead << 8 | trail, unit[0]});
        }
    }
    const std::vector<std::uint16_t> pairRuns = runs(pairs);

    cptables::Source source{
        codePage, bytes, doubleByte ? leads : nullptr, pairDefault, pairRuns.data(), pairRuns.size(), nullptr, 0};
    const cptables::CodePageTable derived(source);
    std::vector<Entry> encodings;
    for (unsigned unit = 0; unit < 0x10000; ++unit) {
        const WCHAR wide = static_cast<WCHAR>(unit);
        char out[4];
        BOOL usedDefault = FALSE;
        const int n = WideCharToMultiByte(codePage, 0, &wide, 1, out, 4, nullptr, &usedDefault);
        std::uint16_t value;
        if (usedDefault) {
            if (n != 1 || out[0] != '?') fail("a default character other than '?'", codePage, unit);
            value = cptables::kNoBytes;
        } else if (n == 1) {
            value = static_cast<unsigned char>(out[0]);
        } else if (n == 2) {
            value = static_cast<std::uint16_t>(static_cast<unsigned char>(out[0]) << 8 |
                                               static_cast<unsigned char>(out[1]));
        } else {
            fail("a unit gives neither one nor two bytes", codePage, unit);
        }
        if (value != derived.encode(static_cast<std::uint16_t>(unit))) encodings.push_back({unit, value});
    }
    const std::vector<std::uint16_t> encodingRuns = runs(encodings);

    std::printf("// Code page %u as Wine converts it (%ls). Written by generate.sh: do not edit.\n", codePage,
                info.CodePageName);
    std::printf("// %zu pairs, %zu encodings that differ from the first bytes decoding to them.\n", pairs.size(),
                encodings.size());
    std::printf("#include \"platform/codepage_tables/codepage_table.h\"\n\nnamespace cptables {\n\nnamespace {\n\n");
    printArray("std::uint16_t", "kBytes", bytes, 256);
    if (doubleByte) {
        std::printf("\nconst std::uint32_t kLeads[] = {");
        for (int w = 0; w < 8; ++w) std::printf("%s0x%08lX", w == 0 ? "" : ", ", static_cast<unsigned long>(leads[w]));
        std::printf("};\n\n");
        printArray("std::uint16_t", "kPairs", pairRuns.data(), pairRuns.size());
    }
    std::printf("\n");
    if (encodingRuns.empty())
        std::printf("const std::uint16_t* const kEncodings = nullptr;\n");
    else
        printArray("std::uint16_t", "kEncodings", encodingRuns.data(), encodingRuns.size());
    std::printf("\n}  // namespace\n\nextern const Source kCp%u;\n", codePage);
    std::printf("const Source kCp%u = {%u, kBytes, %s, 0x%04X, %s, %zu, kEncodings, %zu};\n", codePage, codePage,
                doubleByte ? "kLeads" : "nullptr", pairDefault, doubleByte ? "kPairs" : "nullptr", pairRuns.size(),
                encodingRuns.size());
    std::printf("\n}  // namespace cptables\n");
    return 0;
}

int index(int argc, char** argv) {
    std::printf("// Every code page of the tables. Written by generate.sh: do not edit.\n");
    std::printf("#include \"platform/codepage_tables/codepage_table.h\"\n\nnamespace cptables {\n\n");
    for (int i = 0; i < argc; ++i) std::printf("extern const Source kCp%s;\n", argv[i]);
    std::printf("\nconst Source* const kSources[] = {\n");
    for (int i = 0; i < argc; ++i) std::printf("    &kCp%s,\n", argv[i]);
    std::printf(
        "};\nconst std::size_t kSourceCount = sizeof kSources / sizeof kSources[0];\n\n}  // namespace cptables\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // the sources' lines end in "\n" alone
    if (argc >= 2 && std::string(argv[1]) == "--index") return index(argc - 2, argv + 2);
    if (argc != 2) {
        std::fprintf(stderr, "usage: generate_tables CODEPAGE | --index CODEPAGE...\n");
        return 2;
    }
    return generate(static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)));
}
