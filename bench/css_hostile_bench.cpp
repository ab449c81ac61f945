// The HTML reader on style sheets made to cost time out of proportion to
// their size, one family each at 10 KB, 100 KB, 1 MB and 10 MB: the time per
// byte stays level as the documents grow.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "bench/hostile_css.h"
#include "html/fragment_reader.h"

namespace {

void BM_HostileCss(benchmark::State& state, const hostilecss::Family& family) {
    const std::string doc = family.make(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const html::FragmentText f = html::readFragment(doc, 0, doc.size());
        benchmark::DoNotOptimize(f.runs.size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * doc.size()));
}

const bool kRegistered = [] {
    for (const hostilecss::Family& family : hostilecss::families())
        benchmark::RegisterBenchmark((std::string("BM_HostileCss/") + family.name).c_str(), BM_HostileCss, family)
            ->Arg(10000)
            ->Arg(100000)
            ->Arg(1000000)
            ->Arg(10000000)
            ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
