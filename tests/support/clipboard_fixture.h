// Base fixture for tests that touch the clipboard or the host library: each
// test starts from an empty clipboard and host, and fails if it leaves a
// memory block nobody owns, the clipboard open, or a host object alive. A
// fixture for one container class builds on it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "host/host_control.h"
#include "platform/clipboard_control.h"
#include "style/clipboard_session.h"

class ClipboardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::reset();
        FMHost_Reset();
        hostObjectsBefore_ = FMHost_LiveObjects();
    }
    void TearDown() override {
        clipboard::destroyOwnerWindow();
        EXPECT_EQ(standin::liveWindows(), 0) << "a window was left behind";
        EXPECT_EQ(standin::orphanBlocks(), 0) << "a memory block leaked";
        EXPECT_FALSE(standin::isOpen()) << "the clipboard was left open";
        EXPECT_EQ(FMHost_LiveObjects(), hostObjectsBefore_) << "a host object leaked";
        standin::reset();
    }

    static UINT format(const char* name) { return RegisterClipboardFormatA(name); }

    // Another program keeps the clipboard open for longer than any opening
    // waits; releaseClipboard lets go of it.
    static void holdClipboardPastTheWait() { standin::holdClipboard(10 * clipboard::kWaitBudgetMs); }
    static void releaseClipboard() { standin::holdClipboard(0); }

    // Puts `bytes` on the clipboard under `fmt`, added to what is there.
    static void put(UINT fmt, const std::vector<unsigned char>& bytes) {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        ASSERT_NE(h, nullptr);
        if (!bytes.empty())
            std::copy(bytes.begin(), bytes.end(), static_cast<unsigned char*>(GlobalLock(h)));
        else
            GlobalLock(h);
        GlobalUnlock(h);
        ASSERT_TRUE(OpenClipboard(nullptr));
        ASSERT_NE(SetClipboardData(fmt, h), nullptr);
        CloseClipboard();
    }
    static void put(UINT fmt, const std::string& bytes) {
        put(fmt, std::vector<unsigned char>(bytes.begin(), bytes.end()));
    }
    // Text as the clipboard holds it, with its terminating NUL.
    static void putText(const std::string& text) { put(CF_TEXT, std::string(text).append(1, '\0')); }

    // The formats the clipboard holds, in order of their numbers: a call
    // replaces formats where they stand and adds the others after them.
    static std::vector<UINT> heldFormats() {
        std::vector<UINT> all = standin::formats();
        std::sort(all.begin(), all.end());
        return all;
    }
    static std::vector<UINT> sorted(std::vector<UINT> formats) {
        std::sort(formats.begin(), formats.end());
        return formats;
    }

    static std::string held(UINT fmt) {
        std::vector<unsigned char> d = standin::data(fmt);
        return std::string(d.begin(), d.end());
    }

    // Checks that `write`, one write of a format to a clipboard holding text,
    // fails whichever step of it fails: it adds nothing, leaks nothing and
    // leaves the clipboard closed.
    template <typename Write>
    static void expectWriteFailuresLeaveTheClipboardAsItWas(Write write) {
        const struct {
            const char* name;
            void (*fail)();
        } cases[] = {
            {"no block", [] { standin::failNext(standin::Op::GlobalAlloc); }},
            {"block cannot be locked", [] { standin::failNext(standin::Op::GlobalLock); }},
            {"clipboard held by another program past the wait", holdClipboardPastTheWait},
            {"clipboard refuses the block", [] { standin::failNext(standin::Op::SetClipboardData); }},
            {"no window to open the clipboard with",
             [] {
                 clipboard::destroyOwnerWindow();
                 standin::failNext(standin::Op::CreateWindow);
             }},
        };
        for (const auto& tc : cases) {
            SCOPED_TRACE(tc.name);
            standin::reset();
            putText("old");
            // Blocks a container holds as its own (a text made ready for
            // CF_TEXT, say) stay with it; the write leaves none more.
            const long heldBefore = standin::orphanBlocks();
            tc.fail();
            EXPECT_FALSE(write());
            EXPECT_EQ(standin::formats(), std::vector<UINT>{CF_TEXT});
            EXPECT_EQ(standin::orphanBlocks(), heldBefore);
            EXPECT_FALSE(standin::isOpen());
        }
    }

  private:
    long hostObjectsBefore_ = 0;
};

// Fixture for the tests of one container class that reads text beside a
// block in its own clipboard format and writes that block back.
template <typename Container>
class ContainerTest : public ClipboardTest {
  protected:
    static UINT ownFormat() { return format(Container::kFormatName); }
    // Puts text and a style block on the clipboard and reads them back.
    static std::unique_ptr<Container> readBack(const std::string& text, const std::vector<unsigned char>& block) {
        putText(text);
        put(ownFormat(), block);
        return std::unique_ptr<Container>(Container::InitFromClipboard());
    }
    // Returns the block `c` writes, on a clipboard emptied first.
    static std::vector<unsigned char> written(Container& c) {
        standin::reset();
        EXPECT_TRUE(c.addStyleToClipboard());
        return standin::data(ownFormat());
    }
    // The same for `c` writing its block.
    static void expectWriteFailuresLeaveTheClipboardAsItWas(Container& c) {
        ClipboardTest::expectWriteFailuresLeaveTheClipboardAsItWas([&c] { return c.addStyleToClipboard(); });
    }
};
