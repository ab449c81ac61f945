// The RTF reader's throughput on generated styled documents, beside a plain
// loop that only counts braces and backslashes over the same bytes: the
// ceiling any reader of the text can approach.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <string>

#include "bench/document_generator.h"
#include "rtf/RTF.h"

namespace {

const std::string& document(std::size_t bytes) {
    static std::map<std::size_t, std::string> documents;
    auto found = documents.find(bytes);
    if (found == documents.end()) found = documents.emplace(bytes, generateStyledRtf(bytes, 1)).first;
    return found->second;
}

struct Tally {
    std::uint64_t characters = 0;
    std::uint64_t sum = 0;
};

// Does the least a callback can while still using what it receives.
std::int32_t countChar(std::int32_t ch, void* data, doc_prop, sect_prop, para_prop, char_prop chp) {
    Tally* tally = static_cast<Tally*>(data);
    ++tally->characters;
    tally->sum += static_cast<std::uint32_t>(ch) + static_cast<std::uint32_t>(chp.fBold);
    return 0;
}

void BM_RtfReader(benchmark::State& state) {
    const std::string& rtf = document(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        Tally tally;
        const std::int32_t ec = ecRtfParse(rtf.data(), rtf.size(), countChar, &tally);
        if (ec != ecNoError) state.SkipWithError("the document did not parse");
        benchmark::DoNotOptimize(tally.sum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
}

// The ceiling: a byte at a time, a branch per byte, as a hand-written scanner
// looks at its input.
void BM_ScanLoop(benchmark::State& state) {
    const std::string& rtf = document(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::uint64_t braces = 0;
        std::uint64_t backslashes = 0;
        for (char c : rtf) {
            switch (c) {
                case '{':
                case '}':
                    ++braces;
                    break;
                case '\\':
                    ++backslashes;
                    break;
                default:
                    break;
            }
        }
        benchmark::DoNotOptimize(braces);
        benchmark::DoNotOptimize(backslashes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
}

// The same count written for the compiler to vectorise: how fast the bytes
// can merely be looked at.
void BM_CountLoopVectorised(benchmark::State& state) {
    const std::string& rtf = document(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::uint64_t braces = 0;
        std::uint64_t backslashes = 0;
        for (char c : rtf) {
            braces += (c == '{') | (c == '}');
            backslashes += c == '\\';
        }
        benchmark::DoNotOptimize(braces);
        benchmark::DoNotOptimize(backslashes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
}

constexpr std::int64_t k100KB = 100 * 1000;
constexpr std::int64_t k1MB = 1000 * 1000;
constexpr std::int64_t k10MB = 10 * 1000 * 1000;

BENCHMARK(BM_RtfReader)->Arg(k100KB)->Arg(k1MB)->Arg(k10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanLoop)->Arg(k100KB)->Arg(k1MB)->Arg(k10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountLoopVectorised)->Arg(k100KB)->Arg(k1MB)->Arg(k10MB)->Unit(benchmark::kMillisecond);

}  // namespace
