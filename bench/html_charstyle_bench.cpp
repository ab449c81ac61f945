// Reading "HTML Format" blocks into a container and writing a container as
// one, at about 100 KB, 1 MB and 10 MB: blocks as the plug-in writes them
// (one span per run with its inline style) and blocks in Word's clipboard
// markup (a style sheet, classes, nested spans, list markers).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "bench/document_generator.h"
#include "html/cf_html.h"
#include "style/CharStyle_HTML.h"
#include "style/CharStyle_RTF.h"

namespace {

// A block as the plug-in writes it, of about `bytes` bytes, made from a
// generated styled document of the right size.
const std::string& pluginBlock(std::size_t bytes) {
    static std::map<std::size_t, std::string> blocks;
    auto found = blocks.find(bytes);
    if (found != blocks.end()) return found->second;
    auto blockOf = [](std::size_t rtfBytes) {
        CharStyle_RTF rtf(generateStyledRtf(rtfBytes, 2).c_str());
        CharStyle_HTML html(&rtf);
        return html.block();
    };
    std::string block = blockOf(bytes / 2);
    block = blockOf(static_cast<std::size_t>(static_cast<double>(bytes) / 2 * bytes / block.size()));
    return blocks.emplace(bytes, std::move(block)).first->second;
}

// Word's clipboard markup of about `bytes` bytes.
const std::string& wordBlock(std::size_t bytes) {
    static std::map<std::size_t, std::string> blocks;
    auto found = blocks.find(bytes);
    if (found == blocks.end()) found = blocks.emplace(bytes, generateWordClipboardBlock(bytes)).first;
    return found->second;
}

void setCounters(benchmark::State& state, std::size_t bytes, std::int32_t runs) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["runs"] = static_cast<double>(runs);
    state.counters["runs_per_second"] =
        benchmark::Counter(static_cast<double>(runs), benchmark::Counter::kIsIterationInvariantRate);
}

void read(benchmark::State& state, const std::string& block) {
    std::int32_t runs = 0;
    {
        CharStyle_HTML check(block.data(), block.size());
        if (check.parsingError() || check.count() == 0) {
            state.SkipWithError("the block does not read");
            return;
        }
        runs = check.count();
    }
    for (auto _ : state) {
        CharStyle_HTML html(block.data(), block.size());
        benchmark::DoNotOptimize(html.count());
    }
    setCounters(state, block.size(), runs);
}

void BM_CharStyleHTML_Read(benchmark::State& state) {
    read(state, pluginBlock(static_cast<std::size_t>(state.range(0))));
}

void BM_CharStyleHTML_ReadWordMarkup(benchmark::State& state) {
    read(state, wordBlock(static_cast<std::size_t>(state.range(0))));
}

// Times the writing of the block alone: each round writes a fresh conversion.
void BM_CharStyleHTML_Write(benchmark::State& state) {
    const std::string& block = pluginBlock(static_cast<std::size_t>(state.range(0)));
    CharStyle_HTML source(block.data(), block.size());
    std::size_t written = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto html = std::make_unique<CharStyle_HTML>(&source);
        state.ResumeTiming();
        written = html->block().size();
        benchmark::DoNotOptimize(written);
        state.PauseTiming();
        html.reset();
        state.ResumeTiming();
    }
    setCounters(state, written, source.count());
}

// The clipboard block of a container's text and runs, as the plug-in makes
// it: counted, then written into a block of exactly that size.
void BM_CharStyleHTML_NewBlock(benchmark::State& state) {
    const std::string& block = pluginBlock(static_cast<std::size_t>(state.range(0)));
    CharStyle_HTML source(block.data(), block.size());
    std::size_t written = 0;
    for (auto _ : state) {
        HGLOBAL made = CharStyle_HTML::newBlock(source.heldText(), source.runs(), source.foreignChars());
        if (made == nullptr) {
            state.SkipWithError("no block");
            return;
        }
        written = GlobalSize(made);
        GlobalFree(made);
    }
    setCounters(state, written, source.count());
}

constexpr std::int64_t k100KB = 100 * 1000;
constexpr std::int64_t k1MB = 1000 * 1000;
constexpr std::int64_t k10MB = 10 * 1000 * 1000;

BENCHMARK(BM_CharStyleHTML_Read)->Arg(k100KB)->Arg(k1MB)->Arg(k10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CharStyleHTML_ReadWordMarkup)->Arg(k100KB)->Arg(k1MB)->Arg(k10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CharStyleHTML_Write)->Arg(k100KB)->Arg(k1MB)->Arg(k10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CharStyleHTML_NewBlock)->Arg(k100KB)->Arg(k1MB)->Arg(k10MB)->Unit(benchmark::kMillisecond);

}  // namespace
