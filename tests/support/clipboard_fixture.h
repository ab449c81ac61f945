// Base fixture for tests that touch the clipboard or the host library: each
// test starts from an empty clipboard and host, and fails if it leaves a
// memory block nobody owns, the clipboard open, or a host object alive.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/host_control.h"
#include "platform/clipboard_control.h"

class ClipboardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::reset();
        FMHost_Reset();
        hostObjectsBefore_ = FMHost_LiveObjects();
    }
    void TearDown() override {
        EXPECT_EQ(standin::orphanBlocks(), 0) << "a memory block leaked";
        EXPECT_FALSE(standin::isOpen()) << "the clipboard was left open";
        EXPECT_EQ(FMHost_LiveObjects(), hostObjectsBefore_) << "a host object leaked";
        standin::reset();
    }

    static UINT format(const char* name) { return RegisterClipboardFormatA(name); }

    // Puts `bytes` on the clipboard under `fmt`, added to what is there.
    static void put(UINT fmt, const std::vector<unsigned char>& bytes) {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        ASSERT_NE(h, nullptr);
        if (!bytes.empty()) std::copy(bytes.begin(), bytes.end(), static_cast<unsigned char*>(GlobalLock(h)));
        else GlobalLock(h);
        GlobalUnlock(h);
        ASSERT_TRUE(OpenClipboard(nullptr));
        ASSERT_NE(SetClipboardData(fmt, h), nullptr);
        CloseClipboard();
    }
    static void put(UINT fmt, const std::string& bytes) { put(fmt, std::vector<unsigned char>(bytes.begin(), bytes.end())); }
    // Text as the clipboard holds it, with its terminating NUL.
    static void putText(const std::string& text) { put(CF_TEXT, std::string(text).append(1, '\0')); }

    static std::string held(UINT fmt) {
        std::vector<unsigned char> d = standin::data(fmt);
        return std::string(d.begin(), d.end());
    }

  private:
    long hostObjectsBefore_ = 0;
};
