// The clipboard session: one waiting budget for every opening made through
// it, primitives that use it as they find it, and writes kept until one
// commit that never overwrites a newer copy.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "style/CharStyle_FMcs.h"
#include "style/CharStyle_RTF.h"
#include "style/clipboard_session.h"
#include "support/clipboard_fixture.h"
#include "support/sample_blocks.h"

namespace {

class ClipboardSessionTest : public ClipboardTest {
  protected:
    // Counts the openings of the clipboard from now on.
    void countOpenings() {
        standin::beforeOpenClipboard([this](int call) { openings_ = call; });
    }
    int openings_ = 0;

    static HGLOBAL block(const char* bytes) {
        const std::size_t n = std::strlen(bytes) + 1;
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, n);
        std::memcpy(GlobalLock(h), bytes, n);
        GlobalUnlock(h);
        return h;
    }
};

TEST_F(ClipboardSessionTest, PrimitivesUseAnOpenSessionAsTheyFindIt) {
    ASSERT_TRUE(samples::putAbcFileMaker());
    ASSERT_TRUE(samples::putRtf(samples::kStyledRtf));
    countOpenings();
    clipboard::Session session;
    ASSERT_TRUE(session.open(clipboard::Purpose::reading));
    EXPECT_TRUE(CharStyle_FMcs::clipboardHasStyle());
    std::unique_ptr<CharStyle_FMcs> fmcs(CharStyle_FMcs::InitFromClipboard());
    std::unique_ptr<CharStyle_RTF> rtf(CharStyle_RTF::InitFromClipboard());
    EXPECT_NE(fmcs, nullptr);
    EXPECT_NE(rtf, nullptr);
    EXPECT_TRUE(standin::isOpen()) << "a primitive closes only what it opened";
    EXPECT_EQ(openings_, 1);
    session.close();
    EXPECT_FALSE(standin::isOpen());

    // Closed, the session is opened for each primitive and closed after it.
    std::unique_ptr<CharStyle_FMcs> again(CharStyle_FMcs::InitFromClipboard());
    EXPECT_NE(again, nullptr);
    EXPECT_FALSE(standin::isOpen());
    EXPECT_EQ(openings_, 2);
}

TEST_F(ClipboardSessionTest, EveryOpeningThroughASessionSharesOneSecond) {
    ASSERT_TRUE(samples::putAbcFileMaker());
    clipboard::Session session;
    standin::holdClipboard(600);
    EXPECT_TRUE(CharStyle_FMcs::clipboardHasStyle());
    EXPECT_GE(session.waited(), 600u);
    standin::holdClipboard(600);
    EXPECT_FALSE(CharStyle_FMcs::clipboardHasStyle()) << "only what is left of the second is waited";
    EXPECT_EQ(session.waited(), clipboard::kWaitBudgetMs);
    EXPECT_EQ(standin::sleptMilliseconds(), clipboard::kWaitBudgetMs);
    releaseClipboard();
}

TEST_F(ClipboardSessionTest, WithoutASessionEachPrimitiveWaitsOnItsOwn) {
    ASSERT_TRUE(samples::putAbcFileMaker());
    ASSERT_EQ(clipboard::Session::active(), nullptr);
    for (int i = 0; i < 2; ++i) {
        standin::holdClipboard(600);
        EXPECT_TRUE(CharStyle_FMcs::clipboardHasStyle());
    }
    EXPECT_GE(standin::sleptMilliseconds(), 1200u);
    EXPECT_EQ(clipboard::Session::active(), nullptr);
}

TEST_F(ClipboardSessionTest, OnlyTheOutermostSessionIsActive) {
    clipboard::Session outer;
    {
        clipboard::Session inner;
        EXPECT_EQ(clipboard::Session::active(), &outer);
    }
    EXPECT_EQ(clipboard::Session::active(), &outer);
}

TEST_F(ClipboardSessionTest, CommitWritesTheStagedBlocksUnlessTheClipboardChanged) {
    const struct {
        const char* name;
        bool anotherCopy;
        int blocks;
        bool written;
    } cases[] = {
        {"unchanged since read", false, 2, true},
        {"another program copied", true, 2, false},
        {"nothing staged", false, 0, false},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        standin::reset();
        putText("old");
        clipboard::Session session;
        ASSERT_TRUE(session.open(clipboard::Purpose::reading));
        const DWORD readSequence = GetClipboardSequenceNumber();
        session.close();
        if (tc.anotherCopy) putText("newer");
        const auto before = standin::formats();
        const std::string textBefore = held(CF_TEXT);

        session.stageWrites();
        if (tc.blocks > 0) {
            EXPECT_TRUE(CharStyle::addToClipboard("new", CF_TEXT));
        }
        if (tc.blocks > 1) {
            EXPECT_TRUE(CharStyle::addToClipboard("style", 6, "Test-Kind"));
        }
        EXPECT_EQ(held(CF_TEXT), textBefore) << "staged blocks wait for the commit";
        EXPECT_EQ(session.commit(readSequence), tc.written);
        EXPECT_FALSE(standin::isOpen());
        EXPECT_EQ(standin::orphanBlocks(), 0);
        if (tc.written) {
            EXPECT_EQ(standin::formats(), (std::vector<UINT>{CF_TEXT, format("Test-Kind")}));
            EXPECT_EQ(held(CF_TEXT), std::string("new", 4));
        } else {
            EXPECT_EQ(standin::formats(), before);
            EXPECT_EQ(held(CF_TEXT), textBefore);
        }
    }
}

TEST_F(ClipboardSessionTest, StagedBlocksAreFreedWhenTheSessionGoesWithoutCommitting) {
    {
        clipboard::Session session;
        session.stageWrites();
        EXPECT_TRUE(CharStyle::addBlockToClipboard(block("a"), CF_TEXT));
        EXPECT_EQ(standin::orphanBlocks(), 1);
    }
    EXPECT_EQ(standin::orphanBlocks(), 0);
    EXPECT_TRUE(standin::formats().empty());
}

TEST_F(ClipboardSessionTest, WritingOpensWithAnOwnerWindow) {
    clipboard::Session session;
    ASSERT_TRUE(session.open(clipboard::Purpose::writing));
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_NE(standin::clipboardOwner(), nullptr);
    HGLOBAL h = block("x");
    EXPECT_NE(SetClipboardData(CF_TEXT, h), nullptr);
    session.close();
    EXPECT_EQ(standin::liveWindows(), 1);
    EXPECT_EQ(clipboard::ownerWindow(), clipboard::ownerWindow()) << "one window, made once";
    EXPECT_EQ(standin::liveWindows(), 1);
}

}  // namespace
