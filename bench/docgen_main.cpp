// Writes a generated styled RTF document of about the given size, the same
// one the benchmarks use, for whole-process comparisons; with --word-html,
// an "HTML Format" block of Word's clipboard markup instead.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/document_generator.h"

int main(int argc, char** argv) {
    const bool word = argc > 1 && std::string(argv[1]) == "--word-html";
    if (word) {
        --argc;
        ++argv;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: styledtext_docgen [--word-html] BYTES OUT [SEED]\n");
        return 2;
    }
    const std::size_t bytes = std::strtoull(argv[1], nullptr, 10);
    const unsigned seed = argc > 3 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 1;
    const std::string rtf = word ? generateWordClipboardBlock(bytes) : generateStyledRtf(bytes, seed);
    std::FILE* out = std::fopen(argv[2], "wb");
    if (out == nullptr || std::fwrite(rtf.data(), 1, rtf.size(), out) != rtf.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "styledtext_docgen: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
