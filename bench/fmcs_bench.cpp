// Decoding and encoding the FileMaker style block at growing run counts;
// every run has its own style, the worst case for deduplication.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/winapi.h"
#include "style/CharStyle_FMcs.h"

namespace {

// A container of `runs` one-character runs, each with a distinct style.
std::unique_ptr<CharStyle_FMcs> distinctRuns(std::int32_t runs) {
    auto c = std::make_unique<CharStyle_FMcs>(std::string(static_cast<std::size_t>(runs), 'x').c_str(), runs);
    for (std::int32_t i = 0; i < runs; ++i)
        c->add(i, static_cast<std::int16_t>(8 + i % 64), static_cast<std::int16_t>(i % 7 == 0 ? 0x0100 : 0),
               static_cast<std::uint32_t>(i) & 0xFFFFFF, 0);
    return c;
}

void BM_FMcsDecode(benchmark::State& state) {
    const auto runs = static_cast<std::int32_t>(state.range(0));
    CharStyle::ClearClipboard();
    auto source = distinctRuns(runs);
    source->addTextToClipboard();
    source->addStyleToClipboard();
    for (auto _ : state) {
        std::unique_ptr<CharStyle_FMcs> c(CharStyle_FMcs::InitFromClipboard());
        benchmark::DoNotOptimize(c.get());
        if (!c || c->count() != runs) state.SkipWithError("decode failed");
    }
    state.SetItemsProcessed(state.iterations() * runs);
    CharStyle::ClearClipboard();
}

// Converting from another container (which deduplicates every run) and
// writing the block.
void BM_FMcsEncode(benchmark::State& state) {
    const auto runs = static_cast<std::int32_t>(state.range(0));
    CharStyle::ClearClipboard();
    auto source = distinctRuns(runs);
    for (auto _ : state) {
        CharStyle_FMcs c(source.get());
        if (!c.addStyleToClipboard()) state.SkipWithError("encode failed");
    }
    state.SetItemsProcessed(state.iterations() * runs);
    CharStyle::ClearClipboard();
}

BENCHMARK(BM_FMcsDecode)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FMcsEncode)->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
