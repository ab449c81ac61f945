// Decoding and encoding the text-edit style scrap at growing run counts, up
// to the 32,767 runs that its 16-bit count allows.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/winapi.h"
#include "style/CharStyle_styl.h"

namespace {

// A container with room for `runs` runs, filled with distinct ones.
std::unique_ptr<CharStyle_styl> filled(std::int32_t runs) {
    std::vector<unsigned char> record(2 + 20 * static_cast<std::size_t>(runs), 0);
    record[0] = static_cast<unsigned char>(runs);
    record[1] = static_cast<unsigned char>(runs >> 8);
    auto c = std::make_unique<CharStyle_styl>("", record.data(), record.size());
    c->setText(std::string(static_cast<std::size_t>(runs), 'x'));
    for (std::int32_t i = 0; i < runs; ++i)
        c->add(i, static_cast<std::int16_t>(8 + i % 64), static_cast<std::int16_t>((i % 0x80) << 8),
               static_cast<std::uint32_t>(i) & 0xFFFFFF, 0);
    return c;
}

void BM_StylDecode(benchmark::State& state) {
    const auto runs = static_cast<std::int32_t>(state.range(0));
    CharStyle::ClearClipboard();
    auto source = filled(runs);
    const std::string text = source->getText();
    CharStyle::addToClipboard(text.c_str(), CF_TEXT);
    source->addStyleToClipboard();
    for (auto _ : state) {
        std::unique_ptr<CharStyle_styl> c(CharStyle_styl::InitFromClipboard());
        benchmark::DoNotOptimize(c.get());
        if (!c || c->count() != runs) state.SkipWithError("decode failed");
    }
    state.SetItemsProcessed(state.iterations() * runs);
    CharStyle::ClearClipboard();
}

// Emptying a container, adding every run again and writing the block.
void BM_StylEncode(benchmark::State& state) {
    const auto runs = static_cast<std::int32_t>(state.range(0));
    CharStyle::ClearClipboard();
    auto c = filled(runs);
    for (auto _ : state) {
        c->setText(std::string(static_cast<std::size_t>(runs), 'x'));
        for (std::int32_t i = 0; i < runs; ++i)
            c->add(i, static_cast<std::int16_t>(8 + i % 64), 0, static_cast<std::uint32_t>(i) & 0xFFFFFF, 0);
        if (!c->addStyleToClipboard()) state.SkipWithError("encode failed");
    }
    state.SetItemsProcessed(state.iterations() * runs);
    CharStyle::ClearClipboard();
}

BENCHMARK(BM_StylDecode)->Arg(1000)->Arg(10000)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StylEncode)->Arg(1000)->Arg(10000)->Arg(32767)->Unit(benchmark::kMillisecond);

}  // namespace
