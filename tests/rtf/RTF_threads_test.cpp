// Parses on different threads are independent: eight documents read on eight
// threads at once, over and over, give exactly what reading them one after
// another gives. Run under ThreadSanitizer (the tsan preset), this also
// shows that no two parses touch the same memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "rtf/RTF.h"
#include "rtf/parse_capture.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kThreads = 8;
constexpr int kRounds = 40;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Eight documents that exercise different parts of the reader: real programs'
// output with font tables, colour tables and code pages, and hostile input
// that stops with an error.
std::vector<std::string> documents() {
    std::vector<fs::path> paths;
    for (const char* folder : {"pass", "fail"})
        for (const auto& entry : fs::directory_iterator(fs::path(STYLEDTEXT_CORPUS) / folder))
            if (entry.is_regular_file()) paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    std::vector<std::string> docs;
    for (const fs::path& path : paths) docs.push_back(readFile(path));
    // Documents in other code pages than the system's, through the transcoder.
    docs.push_back("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}{\\f1\\fcharset161 Arial;}}"
                   "\\f0\\b \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\f1\\i \\'e1\\'e3\\u8364?\\uc2\\u955 xy}");
    docs.push_back("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}\\f0 \\'82\\'a0\\'82\\'a2"
                   "{\\colortbl;\\red255\\green0\\blue0;}\\cf1 \\u-26413?\\cell x\\row}");
    return docs;
}

// The whole reading of a document through both entry points, as one value to compare.
struct Reading {
    std::int32_t ecChars = -1;
    std::vector<std::int32_t> codes;
    std::vector<std::string> described;
    std::int32_t ecRuns = -1;
    std::vector<std::string> runs;

    bool operator==(const Reading& other) const {
        return ecChars == other.ecChars && codes == other.codes && described == other.described &&
               ecRuns == other.ecRuns && runs == other.runs;
    }
};

Reading readDocument(const std::string& rtf) {
    Reading reading;
    const rtftest::Parsed parsed = rtftest::parseBounded(rtf);
    reading.ecChars = parsed.ec;
    reading.codes = parsed.codes();
    for (const rtftest::Delivered& d : parsed.chars) reading.described.push_back(rtftest::describe(d));
    const rtftest::ParsedRuns runs = rtftest::parseRuns(rtf);
    reading.ecRuns = runs.ec;
    reading.runs = runs.runs;
    return reading;
}

TEST(ReaderThreads, ParsesOnEightThreadsMatchParsesOneAfterAnother) {
    std::vector<std::string> docs = documents();
    ASSERT_GE(docs.size(), kThreads);
    // The eight largest, so that parses overlap for as long as possible.
    std::stable_sort(docs.begin(), docs.end(),
                     [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    docs.resize(kThreads);

    std::vector<Reading> expected;
    for (const std::string& doc : docs) expected.push_back(readDocument(doc));
    // The comparison can fail: the documents do not all read alike.
    for (std::size_t i = 1; i < expected.size(); ++i) ASSERT_FALSE(expected[i] == expected[0]) << "document " << i;

    std::atomic<std::size_t> ready{0};
    std::vector<int> mismatches(kThreads, 0);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ready.fetch_add(1);
            while (ready.load() < kThreads) std::this_thread::yield();
            for (int round = 0; round < kRounds; ++round) {
                // Each thread reads every document in turn, each at a different moment.
                const std::size_t d = (t + static_cast<std::size_t>(round)) % kThreads;
                if (!(readDocument(docs[d]) == expected[d])) ++mismatches[t];
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (std::size_t t = 0; t < kThreads; ++t) EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}

// A choice of allocation functions holds for the thread that made it only.
TEST(ReaderThreads, MemoryFunctionsArePerThread) {
    const std::string doc = "{{{x}}}";
    rtfSetMemoryFunctions([](std::size_t) -> void* { return nullptr; }, std::free);
    std::int32_t ecOther = -1;
    std::thread other([&] { ecOther = rtftest::parseBounded(doc).ec; });
    other.join();
    const std::int32_t ecHere = rtftest::parseBounded(doc).ec;
    rtfSetMemoryFunctions(nullptr, nullptr);
    EXPECT_EQ(ecOther, ecNoError);
    EXPECT_EQ(ecHere, ecGroupAllocFailed);
    EXPECT_EQ(rtftest::parseBounded(doc).ec, ecNoError);
}

}  // namespace
