// The RTF reader's throughput on generated styled documents, beside a plain
// loop that only counts braces and backslashes over the same bytes: the
// ceiling any reader of the text can approach. The reader is also timed by
// number of style runs, to show its time growing linearly with them.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "bench/document_generator.h"
#include "platform/clipboard_control.h"
#include "rtf/RTF.h"

namespace {

const std::string& document(std::size_t bytes) {
    static std::map<std::size_t, std::string> documents;
    auto found = documents.find(bytes);
    if (found == documents.end()) found = documents.emplace(bytes, generateStyledRtf(bytes, 1)).first;
    return found->second;
}

// A generated document with about `runs` style runs, and its exact run count.
struct RunsDocument {
    std::string rtf;
    std::size_t runs = 0;
};

const RunsDocument& runsDocument(std::size_t runs) {
    // About as many document bytes as one run takes in generated documents.
    constexpr std::size_t kBytesPerRun = 23;
    static std::map<std::size_t, RunsDocument> documents;
    auto found = documents.find(runs);
    if (found == documents.end()) {
        GeneratedDocument generated = generateStyledDocument(runs * kBytesPerRun, 1);
        RunsDocument doc;
        doc.rtf = std::move(generated.rtf);
        doc.runs = generated.runs.size();
        found = documents.emplace(runs, std::move(doc)).first;
    }
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

std::int32_t countRun(const char* pch, std::size_t cch, void* data, const doc_prop&, const sect_prop&,
                      const para_prop&, const char_prop& chp) {
    Tally* tally = static_cast<Tally*>(data);
    tally->characters += cch;
    tally->sum += static_cast<unsigned char>(pch[cch - 1]) + static_cast<std::uint32_t>(chp.fBold);
    return 0;
}

// The same documents a run of text at a time, as the RTF container reads them.
void BM_RtfReaderText(benchmark::State& state) {
    const std::string& rtf = document(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        Tally tally;
        const std::int32_t ec = ecRtfParseText(rtf.data(), rtf.size(), countRun, &tally);
        if (ec != ecNoError) state.SkipWithError("the document did not parse");
        benchmark::DoNotOptimize(tally.sum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
}

// The same documents, which declare code page 1252, read on a system whose
// code page is 1251: every byte of text is converted on its way.
void BM_RtfReaderOtherCodePage(benchmark::State& state) {
    const std::string& rtf = document(static_cast<std::size_t>(state.range(0)));
    standin::setAnsiCodePage(1251);
    for (auto _ : state) {
        Tally tally;
        const std::int32_t ec = ecRtfParseText(rtf.data(), rtf.size(), countRun, &tally);
        if (ec != ecNoError) state.SkipWithError("the document did not parse");
        benchmark::DoNotOptimize(tally.sum);
    }
    standin::setAnsiCodePage(1252);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
}

// The reader by number of style runs, from about 1,000 to 1,000,000: its time
// per run should stay flat.
void BM_RtfReaderRuns(benchmark::State& state) {
    const RunsDocument& doc = runsDocument(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        Tally tally;
        const std::int32_t ec = ecRtfParse(doc.rtf.data(), doc.rtf.size(), countChar, &tally);
        if (ec != ecNoError) state.SkipWithError("the document did not parse");
        benchmark::DoNotOptimize(tally.sum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * doc.rtf.size()));
    state.counters["runs"] = static_cast<double>(doc.runs);
    state.counters["ns_per_run"] =
        benchmark::Counter(static_cast<double>(doc.runs) * 1e-9,
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
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
BENCHMARK(BM_RtfReaderText)->Arg(k100KB)->Arg(k1MB)->Arg(k10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfReaderOtherCodePage)->Arg(k1MB)->Arg(k10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfReaderRuns)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanLoop)->Arg(k100KB)->Arg(k1MB)->Arg(k10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountLoopVectorised)->Arg(k100KB)->Arg(k1MB)->Arg(k10MB)->Unit(benchmark::kMillisecond);

}  // namespace
