// Result files written over earlier ones: exactly the new bytes, whatever
// the old file held.
#include "tools/output_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string contentsOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void putFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class OutputFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("output_file_test_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(OutputFileTest, HoldsExactlyWhatWasWrittenOverAnyEarlierFile) {
    const std::string written = "new contents\r\n";
    struct Case {
        const char* name;
        const char* before;  // null: no file yet
    } cases[] = {
        {"none", nullptr},
        {"empty", ""},
        {"longer", "an earlier result, longer than the new one"},
        {"shorter", "old"},
        {"same length", "same length!!\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = dir_ / c.name;
        if (c.before != nullptr) putFile(path, c.before);
        tool::OutputFile out(path.string());
        ASSERT_TRUE(out.isOpen());
        EXPECT_TRUE(out.write(written.data(), 4));
        EXPECT_TRUE(out.write(written.data() + 4, written.size() - 4));
        EXPECT_TRUE(out.close());
        EXPECT_EQ(contentsOf(path), written);
    }
}

TEST_F(OutputFileTest, NothingWrittenLeavesAnEmptyFile) {
    const fs::path path = dir_ / "result";
    putFile(path, "an earlier result");
    {
        tool::OutputFile out(path.string());
        ASSERT_TRUE(out.isOpen());
        EXPECT_TRUE(out.write("", 0));
    }  // closed by going, not by close()
    EXPECT_EQ(contentsOf(path), "");
}

TEST_F(OutputFileTest, AFileThatCannotBeOpenedFailsEveryStep) {
    tool::OutputFile out((dir_ / "no such folder" / "result").string());
    EXPECT_FALSE(out.isOpen());
    EXPECT_FALSE(out.write("x", 1));
    EXPECT_FALSE(out.close());
}

// Two handles write one file at once, the second from where the first's
// bytes will end; either may close first, over any earlier file.
TEST_F(OutputFileTest, TwoPartsMakeOneFile) {
    const std::string first = "the first part, ", second = "and the second";
    for (const char* before : {"", "an earlier result, longer than both parts together"}) {
        for (const bool firstClosesFirst : {true, false}) {
            SCOPED_TRACE(std::string(before) + (firstClosesFirst ? ", first closes first" : ", second closes first"));
            const fs::path path = dir_ / "result";
            putFile(path, before);
            tool::OutputFile head(path.string());
            tool::OutputFile tail(path.string(), first.size());
            ASSERT_TRUE(head.isOpen());
            ASSERT_TRUE(tail.isOpen());
            EXPECT_TRUE(tail.write(second.data(), second.size()));
            EXPECT_TRUE(head.write(first.data(), first.size()));
            EXPECT_TRUE(head.skip(second.size()));
            if (firstClosesFirst) {
                EXPECT_TRUE(head.close());
            }
            EXPECT_TRUE(tail.close());
            if (!firstClosesFirst) {
                EXPECT_TRUE(head.close());
            }
            EXPECT_EQ(contentsOf(path), first + second);
        }
    }
    tool::OutputFile part((dir_ / "no file yet").string(), 10);
    EXPECT_FALSE(part.isOpen()) << "a part is written into a file that exists";
}

}  // namespace
