// Runs every document of the corpus through the reader: those in pass/ must
// parse cleanly, those in fail/ must stop with the result code their name
// begins with ("ecBadHexDigit_truncated_escape.rtf").
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "rtf/RTF.h"
#include "rtf/parse_capture.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> filesIn(const char* folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(STYLEDTEXT_CORPUS) / folder))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The result code named by the start of a file name, or -1.
std::int32_t expectedCode(const std::string& fileName) {
    const std::string name = fileName.substr(0, fileName.find('_'));
    for (std::int32_t ec = 0; szEcName(ec) != nullptr; ++ec)
        if (name == szEcName(ec)) return ec;
    return -1;
}

TEST(Corpus, PassDocumentsParse) {
    const std::vector<fs::path> files = filesIn("pass");
    ASSERT_FALSE(files.empty());
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        const std::string rtf = readFile(path);
        const rtftest::Parsed parsed = rtftest::parseBounded(rtf);
        EXPECT_EQ(parsed.ec, ecNoError) << szEcName(parsed.ec);
    }
}

TEST(Corpus, FailDocumentsStopWithTheirCode) {
    const std::vector<fs::path> files = filesIn("fail");
    ASSERT_FALSE(files.empty());
    for (const fs::path& path : files) {
        const std::string fileName = path.filename().string();
        SCOPED_TRACE(fileName);
        const std::int32_t expected = expectedCode(fileName);
        ASSERT_GT(expected, 0) << "name a failing document after its result code";
        const rtftest::Parsed parsed = rtftest::parseBounded(readFile(path));
        EXPECT_EQ(parsed.ec, expected) << szEcName(parsed.ec);
    }
}

}  // namespace
