// The comparisons with Chromium: skipped, with the exit code ctest reads as
// a skip, when no Chromium is installed.
#include <gtest/gtest.h>

#include <cstdio>

#include "browser.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (browser::chromiumCommand().empty()) {
        std::printf("SKIP: no Chromium (install the package chromium, or set STYLEDTEXT_CHROMIUM)\n");
        return 77;
    }
    return RUN_ALL_TESTS();
}
