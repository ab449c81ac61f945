// The whole StyledClipboard call on the stand-in clipboard, for each kind of
// source, at about 10 KB, 1 MB and 10 MB of RTF.
#include <benchmark/benchmark.h>

#include <cstring>
#include <map>

#include "bench/document_generator.h"
#include "platform/clipboard_control.h"
#include "plugin/functions.h"
#include "style/CharStyle_FMcs.h"
#include "style/CharStyle_RTF.h"
#include "style/clipboard_blocks.h"

namespace {

enum Source { kFromRtf, kFromFileMaker, kFromStyleScrap, kFileMakerAndRtf, kFromRtfBesideImage };

// An image of 30 MB, as a screenshot's copy holds it beside the text.
constexpr std::size_t kImageBytes = 30u << 20;

struct Clipboard {
    std::string text;     // with its NUL
    std::string unicode;  // the same as CF_UNICODETEXT, as FileMaker puts it beside, with its NUL
    std::string fmcs;
    std::string styl;
    std::string rtf;  // with its NUL
};

void put(UINT format, const std::string& bytes) {
    HGLOBAL h = clipboard::newBlockCopy(bytes.data(), bytes.size());
    OpenClipboard(nullptr);
    SetClipboardData(format, h);
    CloseClipboard();
}

std::string held(UINT format) {
    auto bytes = standin::data(format);
    return std::string(bytes.begin(), bytes.end());
}

// A style scrap of `runs`; it holds at most 32767 runs, so the first ones are kept.
std::string styleScrap(const std::vector<GeneratedRun>& runs) {
    std::string styl;
    const std::size_t n = std::min<std::size_t>(runs.size(), 32767);
    styl.assign(6 + 20 * n, '\0');
    const std::uint32_t length = static_cast<std::uint32_t>(2 + 20 * n);
    std::memcpy(&styl[0], &length, 4);
    const std::int16_t count = static_cast<std::int16_t>(n);
    std::memcpy(&styl[4], &count, 2);
    for (std::size_t k = 0; k < n; ++k) {
        const GeneratedRun& r = runs[k];
        unsigned char* e = reinterpret_cast<unsigned char*>(&styl[6 + 20 * k]);
        std::memcpy(e, &r.charPos, 4);
        const std::int16_t height = static_cast<std::int16_t>(r.size + r.size / 3);
        std::memcpy(e + 4, &height, 2);
        std::memcpy(e + 6, &r.size, 2);
        e[11] = static_cast<unsigned char>(static_cast<std::uint16_t>(r.face) >> 8);
        std::memcpy(e + 12, &r.size, 2);
        for (int i = 0; i < 3; ++i) {
            const std::uint16_t component = static_cast<std::uint16_t>(((r.colour >> (16 - 8 * i)) & 0xFF) * 257);
            std::memcpy(e + 14 + 2 * i, &component, 2);
        }
    }
    return styl;
}

// `text` (NUL included) as UTF-16 bytes, NUL included.
std::string unicodeOf(const std::string& text) {
    const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::string bytes(static_cast<std::size_t>(units) * 2, '\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), reinterpret_cast<WCHAR*>(&bytes[0]),
                        units);
    return bytes;
}

// The clipboard contents of each source kind, made once per size.
const Clipboard& contents(std::size_t bytes) {
    static std::map<std::size_t, Clipboard> made;
    auto it = made.find(bytes);
    if (it != made.end()) return it->second;
    GeneratedDocument doc = generateStyledDocument(bytes, 1);
    Clipboard c;
    c.rtf = doc.rtf + '\0';

    // What FileMaker would hold for the same text and runs.
    standin::reset();
    put(RegisterClipboardFormatA("Rich Text Format"), c.rtf);
    Do_StyledClipboard(kFunctionStyledClipboard, nullptr, nullptr, nullptr);
    c.text = held(CF_TEXT);
    c.fmcs = held(RegisterClipboardFormatA(CharStyle_FMcs::kFormatName));
    c.unicode = unicodeOf(c.text);

    c.styl = styleScrap(doc.runs);
    standin::reset();
    return made.emplace(bytes, std::move(c)).first->second;
}

void BM_StyledClipboard(benchmark::State& state, Source source) {
    const Clipboard& c = contents(static_cast<std::size_t>(state.range(0)));
    const UINT fmcs = RegisterClipboardFormatA(CharStyle_FMcs::kFormatName);
    const UINT styl = RegisterClipboardFormatA("Mac-styl");
    const UINT rtf = RegisterClipboardFormatA("Rich Text Format");
    static const std::string image(kImageBytes, '\x5A');
    for (auto _ : state) {
        state.PauseTiming();
        standin::reset();
        if (source == kFromRtf || source == kFileMakerAndRtf || source == kFromRtfBesideImage) put(rtf, c.rtf);
        if (source == kFromFileMaker || source == kFileMakerAndRtf || source == kFromStyleScrap) put(CF_TEXT, c.text);
        if (source == kFromFileMaker || source == kFileMakerAndRtf) {
            put(CF_UNICODETEXT, c.unicode);
            put(fmcs, c.fmcs);
        }
        if (source == kFromStyleScrap) put(styl, c.styl);
        if (source == kFromRtfBesideImage) put(8, image);  // CF_DIB
        state.ResumeTiming();
        Do_StyledClipboard(kFunctionStyledClipboard, nullptr, nullptr, nullptr);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(c.rtf.size()));
    state.counters["text_bytes"] = static_cast<double>(c.text.size());
    standin::reset();
}

// Clipboard contents with `runs` runs of five characters each, every run a
// different style until the sizes and colours run out.
const Clipboard& contentsWithRuns(std::size_t runs) {
    static std::map<std::size_t, Clipboard> made;
    auto it = made.find(runs);
    if (it != made.end()) return it->second;
    std::string text;
    text.reserve(runs * 5);
    for (std::size_t k = 0; k < runs; ++k) text += (k % 9 == 8) ? "word\r" : "word ";
    CharStyle_FMcs source(text.c_str(), static_cast<std::int32_t>(runs));
    for (std::size_t k = 0; k < runs; ++k)
        source.add(static_cast<std::int32_t>(5 * k), static_cast<std::int16_t>(6 + k % 60),
                   static_cast<std::int16_t>((k % 8) << 8), static_cast<std::uint32_t>(k * 2654435761u) & 0xFFFFFFu, 0);
    Clipboard c;
    standin::reset();
    source.addTextToClipboard();
    source.addStyleToClipboard();
    c.text = held(CF_TEXT);
    c.fmcs = held(RegisterClipboardFormatA(CharStyle_FMcs::kFormatName));
    CharStyle_RTF rtf(&source);
    c.rtf = rtf.getRTF() + '\0';

    std::vector<GeneratedRun> scrapRuns(runs);
    for (std::size_t k = 0; k < runs; ++k)
        scrapRuns[k] =
            GeneratedRun{static_cast<std::int32_t>(5 * k), static_cast<std::int16_t>(6 + k % 60),
                         static_cast<std::int16_t>((k % 8) << 8), static_cast<std::uint32_t>(k & 0xFF) << 16};
    c.styl = styleScrap(scrapRuns);
    standin::reset();
    return made.emplace(runs, std::move(c)).first->second;
}

void BM_StyledClipboardRuns(benchmark::State& state, Source source) {
    const std::size_t runs = static_cast<std::size_t>(state.range(0));
    const Clipboard& c = contentsWithRuns(runs);
    const UINT fmcs = RegisterClipboardFormatA(CharStyle_FMcs::kFormatName);
    const UINT styl = RegisterClipboardFormatA("Mac-styl");
    const UINT rtf = RegisterClipboardFormatA("Rich Text Format");
    for (auto _ : state) {
        state.PauseTiming();
        standin::reset();
        if (source == kFromRtf) put(rtf, c.rtf);
        if (source != kFromRtf) put(CF_TEXT, c.text);
        if (source == kFromFileMaker) put(fmcs, c.fmcs);
        if (source == kFromStyleScrap) put(styl, c.styl);
        state.ResumeTiming();
        Do_StyledClipboard(kFunctionStyledClipboard, nullptr, nullptr, nullptr);
    }
    const double counted =
        source == kFromStyleScrap ? static_cast<double>(std::min<std::size_t>(runs, 32767)) : static_cast<double>(runs);
    state.counters["runs_per_second"] = benchmark::Counter(counted, benchmark::Counter::kIsIterationInvariantRate);
    standin::reset();
}

void runCounts(benchmark::internal::Benchmark* b) {
    for (std::int64_t runs : {1'000, 10'000, 100'000, 1'000'000}) b->Arg(runs);
    b->ArgName("runs")->Unit(benchmark::kMillisecond);
}

void sizes(benchmark::internal::Benchmark* b) {
    for (std::int64_t bytes : {10'000, 1'000'000, 10'000'000}) b->Arg(bytes);
    b->ArgName("rtf_bytes")->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK_CAPTURE(BM_StyledClipboard, from_rtf, kFromRtf)->Apply(sizes);
BENCHMARK_CAPTURE(BM_StyledClipboard, from_filemaker, kFromFileMaker)->Apply(sizes);
BENCHMARK_CAPTURE(BM_StyledClipboard, from_style_scrap, kFromStyleScrap)->Apply(sizes);
BENCHMARK_CAPTURE(BM_StyledClipboard, filemaker_and_rtf, kFileMakerAndRtf)->Apply(sizes);
BENCHMARK_CAPTURE(BM_StyledClipboard, rtf_beside_image, kFromRtfBesideImage)
    ->Arg(10'000'000)
    ->ArgName("rtf_bytes")
    ->Unit(benchmark::kMillisecond);

// What copying the image's bytes costs, to set the row above against.
void BM_CopyImageBytes(benchmark::State& state) {
    static const std::string image(kImageBytes, '\x5A');
    std::string copy(kImageBytes, '\0');
    for (auto _ : state) {
        std::memcpy(&copy[0], image.data(), kImageBytes);
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kImageBytes));
}
BENCHMARK(BM_CopyImageBytes)->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(BM_StyledClipboardRuns, filemaker_to_rtf, kFromFileMaker)->Apply(runCounts);
BENCHMARK_CAPTURE(BM_StyledClipboardRuns, rtf_to_filemaker, kFromRtf)->Apply(runCounts);
BENCHMARK_CAPTURE(BM_StyledClipboardRuns, style_scrap_to_both, kFromStyleScrap)->Apply(runCounts);
