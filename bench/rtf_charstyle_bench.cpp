// Reading RTF into a container and writing a container as RTF, by document
// size and by number of runs.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "bench/document_generator.h"
#include "style/CharStyle_RTF.h"

namespace {

const GeneratedDocument& document(std::size_t bytes) {
    static std::map<std::size_t, GeneratedDocument> documents;
    auto found = documents.find(bytes);
    if (found == documents.end()) found = documents.emplace(bytes, generateStyledDocument(bytes, 2)).first;
    return found->second;
}

// Whether the container read from `doc` holds exactly the generator's text and runs.
bool readsAsGenerated(CharStyle_RTF& rtf, const GeneratedDocument& doc) {
    if (rtf.parsingError() || rtf.getText() != doc.text) return false;
    if (rtf.count() != static_cast<std::int32_t>(doc.runs.size())) return false;
    for (std::int32_t i = 0; i < rtf.count(); ++i) {
        const GeneratedRun& run = doc.runs[static_cast<std::size_t>(i)];
        if (!rtf.selectStyle(i) || rtf.charPos(i) != run.charPos || rtf.getSize() != run.size ||
            rtf.getFace() != run.face || rtf.getRGB() != run.colour)
            return false;
    }
    return true;
}

// About as many document bytes as one run takes in generated documents.
constexpr std::size_t kBytesPerRun = 45;

void setCounters(benchmark::State& state, std::size_t bytes, std::int32_t runs) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["runs"] = static_cast<double>(runs);
    state.counters["runs_per_second"] =
        benchmark::Counter(static_cast<double>(runs), benchmark::Counter::kIsIterationInvariantRate);
}

void readDocument(benchmark::State& state, const GeneratedDocument& doc) {
    {
        CharStyle_RTF check(doc.rtf.data(), doc.rtf.size());
        if (!readsAsGenerated(check, doc)) {
            state.SkipWithError("the container does not read the generated text and runs");
            return;
        }
    }
    for (auto _ : state) {
        CharStyle_RTF rtf(doc.rtf.data(), doc.rtf.size());
        benchmark::DoNotOptimize(rtf.count());
    }
    setCounters(state, doc.rtf.size(), static_cast<std::int32_t>(doc.runs.size()));
}

// Times getRTF alone: each round writes a fresh conversion of the same container.
void writeDocument(benchmark::State& state, const GeneratedDocument& doc) {
    CharStyle_RTF source(doc.rtf.data(), doc.rtf.size());
    std::size_t written = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto rtf = std::make_unique<CharStyle_RTF>(&source);
        state.ResumeTiming();
        written = rtf->getRTF().size();
        benchmark::DoNotOptimize(written);
        state.PauseTiming();
        rtf.reset();
        state.ResumeTiming();
    }
    setCounters(state, written, source.count());
}

void BM_CharStyleRTF_Read(benchmark::State& state) {
    readDocument(state, document(static_cast<std::size_t>(state.range(0))));
}

void BM_CharStyleRTF_Write(benchmark::State& state) {
    writeDocument(state, document(static_cast<std::size_t>(state.range(0))));
}

void BM_CharStyleRTF_ReadRuns(benchmark::State& state) {
    readDocument(state, document(static_cast<std::size_t>(state.range(0)) * kBytesPerRun));
}

void BM_CharStyleRTF_WriteRuns(benchmark::State& state) {
    writeDocument(state, document(static_cast<std::size_t>(state.range(0)) * kBytesPerRun));
}

constexpr std::int64_t k100KB = 100 * 1000;
constexpr std::int64_t k1MB = 1000 * 1000;
constexpr std::int64_t k10MB = 10 * 1000 * 1000;

BENCHMARK(BM_CharStyleRTF_Read)->Arg(k100KB)->Arg(k1MB)->Arg(k10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CharStyleRTF_Write)->Arg(k100KB)->Arg(k1MB)->Arg(k10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CharStyleRTF_ReadRuns)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CharStyleRTF_WriteRuns)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
