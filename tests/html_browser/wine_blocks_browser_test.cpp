// The "HTML Format" blocks StyledClipboard wrote under Wine for Word's and
// FileMaker's copies (tests/windows/keeps_everything_wine_test.cpp), rendered
// by Chromium: each shows the whole text it was written for.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "browser.h"
#include "support/unicode_strings.h"

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(WineBlocksInChromium, ShowTheWholeText) {
    const char* folder = std::getenv("STYLEDTEXT_WINE_HTML_BLOCKS");
    if (folder == nullptr || !fs::is_directory(folder)) GTEST_SKIP() << "no blocks written under Wine to check";
    int checked = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".html") continue;
        SCOPED_TRACE(entry.path().filename().string());
        const std::string block = readFile(entry.path());
        const std::string expected = readFile(fs::path(entry.path()).replace_extension(".txt"));
        std::string text, error;
        ASSERT_TRUE(browser::innerTextOfBlock(block, text, error)) << error;
        EXPECT_EQ(text, unicode_strings::lf(expected));
        ++checked;
    }
    if (checked == 0) GTEST_SKIP() << "no blocks written under Wine to check";
    std::printf("[ wine blocks ] %d blocks written under Wine show their whole text in Chromium\n", checked);
}

}  // namespace
