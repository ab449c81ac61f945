// StyledClipboard with every clipboard and memory operation made to fail in
// turn: it never crashes, always answers 0, leaks no block, and leaves the
// clipboard exactly as it was when the failure came before it was emptied.
#include <gtest/gtest.h>

#include <functional>

#include "plugin/functions.h"
#include "support/clipboard_fixture.h"
#include "support/sample_blocks.h"

namespace {

using Snapshot = std::vector<std::pair<UINT, std::vector<unsigned char>>>;

Snapshot snapshot() {
    Snapshot all;
    for (UINT f : standin::formats()) all.emplace_back(f, standin::data(f));
    return all;
}

fmx::errcode callStyledClipboard() {
    fmx::Data* result = FMHost_NewData();
    fmx::errcode err = Do_StyledClipboard(kFunctionStyledClipboard, nullptr, nullptr, result);
    FMHost_DeleteData(result);
    return err;
}

struct SourceKind {
    const char* name;
    std::function<void()> fill;
};

void PrintTo(const SourceKind& kind, std::ostream* os) { *os << kind.name; }

class FaultSweepTest : public ClipboardTest, public ::testing::WithParamInterface<SourceKind> {};

TEST_P(FaultSweepTest, EveryFailurePointIsSurvived) {
    const SourceKind& kind = GetParam();
    kind.fill();
    standin::failOperation(0);  // count only
    ASSERT_EQ(callStyledClipboard(), 0);
    const long operations = standin::operationCount();
    ASSERT_GT(operations, 5);
    const Snapshot converted = snapshot();

    long untouched = 0;
    for (long k = 1; k <= operations; ++k) {
        standin::reset();
        kind.fill();
        const Snapshot before = snapshot();
        standin::failOperation(k);
        EXPECT_EQ(callStyledClipboard(), 0) << "k=" << k;
        EXPECT_TRUE(standin::injectedFailureHappened()) << "k=" << k;
        EXPECT_FALSE(standin::isOpen()) << "k=" << k;
        EXPECT_EQ(standin::orphanBlocks(), 0) << "k=" << k;
        if (standin::timesEmptied() == 0) {
            EXPECT_EQ(snapshot(), before) << "k=" << k << ": failed before emptying, yet the clipboard changed";
            ++untouched;
        }
    }
    standin::reset();
    kind.fill();
    standin::failOperation(0);
    callStyledClipboard();
    EXPECT_EQ(snapshot(), converted) << "the same call without a failure gives the same result again";
    std::printf("[ fault sweep ] %-28s %3ld fault points, %3ld of them before the clipboard was emptied\n", kind.name,
                operations, untouched);
}

INSTANTIATE_TEST_SUITE_P(
    AllSources, FaultSweepTest,
    ::testing::Values(SourceKind{"FileMaker block", [] { samples::putAbcFileMaker(); }},
                      SourceKind{"RTF", [] { samples::putRtf(samples::kStyledRtf); }},
                      SourceKind{"style scrap", [] { samples::putStyleScrap(); }},
                      SourceKind{"FileMaker block with RTF",
                                 [] {
                                     samples::putAbcFileMaker();
                                     samples::putRtf(samples::kStyledRtf);
                                 }},
                      SourceKind{"FileMaker block, broken RTF",
                                 [] {
                                     samples::putAbcFileMaker();
                                     samples::putRtf("{\\rtf1 {\\b open");
                                 }}),
    [](const ::testing::TestParamInfo<SourceKind>& info) {
        std::string name;
        for (const char* p = info.param.name; *p; ++p)
            if (std::isalnum(static_cast<unsigned char>(*p))) name.push_back(*p);
        return name;
    });

}  // namespace
