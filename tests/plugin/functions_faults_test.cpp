// StyledClipboard with every clipboard, memory and window operation made to
// fail in turn, with another program holding the clipboard at each of the
// call's openings, and with another program copying just before each of them:
// it never crashes, always answers 0, leaks no block or window, and leaves the
// clipboard as it was, or holding the converted copy, or holding the other
// program's copy whole; never a mix of two copies, and never without a format
// the copy had that the call does not write.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>

#include "html/cf_html.h"
#include "plugin/functions.h"
#include "style/clipboard_session.h"
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

// Every format held is the old copy's or the converted one's, with its
// bytes, and every format of the old copy is still there.
bool eachFromEither(const Snapshot& held, const Snapshot& before, const Snapshot& converted) {
    for (const auto& entry : held)
        if (std::find(converted.begin(), converted.end(), entry) == converted.end() &&
            std::find(before.begin(), before.end(), entry) == before.end())
            return false;
    for (const auto& entry : before)
        if (std::find_if(held.begin(), held.end(), [&](const auto& e) { return e.first == entry.first; }) ==
            held.end())
            return false;
    return true;
}

std::vector<UINT> formatsOf(const Snapshot& all) {
    std::vector<UINT> out;
    for (const auto& entry : all) out.push_back(entry.first);
    return out;
}

class FaultSweepTest : public ClipboardTest, public ::testing::WithParamInterface<SourceKind> {
  protected:
    // Fills the clipboard for a new call; the call makes its window anew.
    void start() {
        standin::reset();
        clipboard::destroyOwnerWindow();
        GetParam().fill();
    }
    // The clipboard after one call without interference.
    Snapshot converted() {
        start();
        callStyledClipboard();
        return snapshot();
    }
    // Openings of the clipboard in one call without interference.
    int openings() {
        start();
        int calls = 0;
        standin::beforeOpenClipboard([&calls](int call) { calls = call; });
        callStyledClipboard();
        standin::beforeOpenClipboard(nullptr);
        return calls;
    }
};

TEST_P(FaultSweepTest, EveryFailurePointIsSurvived) {
    const SourceKind& kind = GetParam();
    const Snapshot converted = this->converted();
    start();
    standin::failOperation(0);  // count only
    ASSERT_EQ(callStyledClipboard(), 0);
    const long operations = standin::operationCount();
    ASSERT_GT(operations, 5);

    long untouched = 0;
    long partial = 0;
    for (long k = 1; k <= operations; ++k) {
        start();
        const Snapshot before = snapshot();
        standin::failOperation(k);
        EXPECT_EQ(callStyledClipboard(), 0) << "k=" << k;
        EXPECT_TRUE(standin::injectedFailureHappened()) << "k=" << k;
        EXPECT_FALSE(standin::isOpen()) << "k=" << k;
        EXPECT_EQ(standin::orphanBlocks(), 0) << "k=" << k;
        const Snapshot after = snapshot();
        switch (standin::lastInjectedOp()) {
            case standin::Op::OpenClipboard:
                EXPECT_EQ(after, converted) << "k=" << k << ": an opening that failed once is tried again";
                break;
            case standin::Op::SetClipboardData:
                // Windows refusing a block after the first: the formats set
                // before it are the new ones, the others the old ones.
                EXPECT_TRUE(eachFromEither(after, before, converted)) << "k=" << k << ": a format lost or foreign";
                ++partial;
                break;
            case standin::Op::GlobalLock:
                // A block that cannot be locked while reading counts as
                // absent: the copy is converted from the formats that could
                // be read, and written whole.
                if (after != converted && after != before) {
                    EXPECT_EQ(formatsOf(after), formatsOf(converted)) << "k=" << k;
                }
                if (after == before) ++untouched;
                break;
            default:
                EXPECT_TRUE(after == before || after == converted) << "k=" << k << ": neither the old copy nor the new";
                EXPECT_EQ(standin::timesEmptied(), 0) << "k=" << k << ": the copy's other formats must stay";
                if (after == before) ++untouched;
                break;
        }
    }
    start();
    callStyledClipboard();
    EXPECT_EQ(snapshot(), converted) << "the same call without a failure gives the same result again";
    clipboard::destroyOwnerWindow();
    EXPECT_EQ(standin::liveWindows(), 0);
    std::printf("[ fault sweep ] %-28s %3ld fault points, %3ld left the clipboard as it was, %ld refused blocks\n",
                kind.name, operations, untouched, partial);
}

// Another program holds the clipboard when the call opens it, each opening
// in turn: a short hold is waited out; one past the call's wait makes it give
// up after about a second in all, leaving the clipboard as it was.
TEST_P(FaultSweepTest, AnotherProgramHoldingTheClipboardAtEachOpening) {
    const Snapshot converted = this->converted();
    const int n = openings();
    ASSERT_EQ(n, 2) << "one opening to read, one to write";
    const struct {
        DWORD holdMs;
        bool convertedAfter;
    } cases[] = {{1, true}, {50, true}, {500, true}, {900, true}, {3000, false}};
    for (const auto& tc : cases) {
        for (int at = 1; at <= n; ++at) {
            SCOPED_TRACE("held " + std::to_string(tc.holdMs) + " ms at opening " + std::to_string(at));
            start();
            const Snapshot before = snapshot();
            standin::beforeOpenClipboard([&](int call) {
                if (call == at) standin::holdClipboard(tc.holdMs);
            });
            EXPECT_EQ(callStyledClipboard(), 0);
            standin::beforeOpenClipboard(nullptr);
            EXPECT_EQ(snapshot(), tc.convertedAfter ? converted : before);
            EXPECT_GE(standin::sleptMilliseconds(), tc.convertedAfter ? tc.holdMs : clipboard::kWaitBudgetMs);
            EXPECT_LE(standin::sleptMilliseconds(), clipboard::kWaitBudgetMs) << "about a second in all";
            EXPECT_FALSE(standin::isOpen());
            EXPECT_EQ(standin::orphanBlocks(), 0);
        }
    }
    // Both openings held, each for most of the second: the waits add up.
    start();
    const Snapshot before = snapshot();
    standin::beforeOpenClipboard([](int call) {
        if (call == 1) standin::holdClipboard(600);
        if (call > 1 && standin::sleptMilliseconds() < 600 + clipboard::kLongestPauseMs) standin::holdClipboard(600);
    });
    EXPECT_EQ(callStyledClipboard(), 0);
    standin::beforeOpenClipboard(nullptr);
    EXPECT_EQ(snapshot(), before) << "the second belongs to the whole call, not to each opening";
    EXPECT_LE(standin::sleptMilliseconds(), clipboard::kWaitBudgetMs);
}

// Another program copies new text just before each of the call's openings:
// before the read, there is nothing styled to convert; before the write, the
// call must not overwrite it. Either way the newer copy is left whole.
TEST_P(FaultSweepTest, AnotherCopyBeforeEachOpeningSurvivesWhole) {
    const int n = openings();
    for (int at = 1; at <= n; ++at) {
        SCOPED_TRACE("copied before opening " + std::to_string(at));
        start();
        bool copied = false;
        standin::beforeOpenClipboard([&](int call) {
            if (call != at) return;
            HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 6);
            std::memcpy(GlobalLock(h), "newer", 6);
            GlobalUnlock(h);
            ASSERT_TRUE(OpenClipboard(reinterpret_cast<HWND>(std::uintptr_t{0x9000})));
            EmptyClipboard();
            copied = SetClipboardData(CF_TEXT, h) != nullptr;
            CloseClipboard();
        });
        EXPECT_EQ(callStyledClipboard(), 0);
        standin::beforeOpenClipboard(nullptr);
        ASSERT_TRUE(copied);
        EXPECT_EQ(snapshot(), (Snapshot{{CF_TEXT, {'n', 'e', 'w', 'e', 'r', '\0'}}}));
        EXPECT_EQ(standin::orphanBlocks(), 0);
    }
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
                                 }},
                      SourceKind{"RTF of a large copy", [] { samples::putRtf(samples::largeStyledRtf()); }},
                      SourceKind{"HTML of a large copy",
                                 [] {
                                     const std::string block = html::makeCfHtml(samples::largeStyledHtmlFragment());
                                     samples::put(RegisterClipboardFormatA("HTML Format"), block.c_str(),
                                                  block.size() + 1);
                                 }},
                      SourceKind{"RTF beside formats it keeps",
                                 [] {
                                     samples::putRtf("{\\rtf1 caf\\u233?{\\b \\u20013?}\\u-10179?\\u-8704?}");
                                     samples::putKeptFormats();
                                 }}),
    [](const ::testing::TestParamInfo<SourceKind>& info) {
        std::string name;
        for (const char* p = info.param.name; *p; ++p)
            if (std::isalnum(static_cast<unsigned char>(*p))) name.push_back(*p);
        return name;
    });

}  // namespace
