// styledtext with "HTML Format": --cfhtml as an input of convert and show,
// with or without the format's header, and cfhtml.html among the results.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

class StyledtextHtmlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              (std::string("styledtext_html_test_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    int run(const std::string& args, std::string& out, std::string& err) {
        const std::string o = (dir / "stdout").string(), e = (dir / "stderr").string();
        const std::string command = std::string(STYLEDTEXT_BIN_DIR) + "/styledtext " + args + " >" + o + " 2>" + e;
        const int status = std::system(command.c_str());
        out = read(o);
        err = read(e);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    fs::path write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return dir / name;
    }

    fs::path dir;
};

TEST_F(StyledtextHtmlTest, ConvertsHtmlWithAndWithoutItsHeader) {
    const std::string fragment = "<p>one <b>two</b></p>";
    const std::string withHeader =
        "Version:0.9\r\nStartHTML:-1\r\nEndHTML:-1\r\nStartFragment:0000000089\r\nEndFragment:0000000110\r\n" +
        fragment;
    const struct {
        const char* name;
        std::string file;
    } cases[] = {{"bare", fragment}, {"with header", withHeader}};
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        std::string out, err;
        const fs::path outDir = dir / "out";
        ASSERT_EQ(run("convert --cfhtml " + write("in.html", tc.file).string() + " --out " + outDir.string(), out, err),
                  0)
            << err;
        EXPECT_NE(out.find("cfhtml.html"), std::string::npos) << out;
        EXPECT_EQ(read(outDir / "text.txt"), "one two");
        EXPECT_TRUE(fs::exists(outDir / "fmcs.bin"));
        EXPECT_NE(read(outDir / "rtf.rtf").find("\\b two"), std::string::npos);
        const std::string block = read(outDir / "cfhtml.html");
        EXPECT_EQ(block.rfind("Version:", 0), 0u);
        EXPECT_NE(block.find(fragment), std::string::npos);
    }
}

TEST_F(StyledtextHtmlTest, ConvertWritesHtmlForOtherSources) {
    std::string out, err;
    ASSERT_EQ(
        run("convert --rtf " + write("in.rtf", "{\\rtf1 a{\\i b}}").string() + " --out " + dir.string(), out, err), 0)
        << err;
    const std::string block = read(dir / "cfhtml.html");
    EXPECT_NE(block.find("font-size:12pt;color:#000\">a<i>b</i></div>"), std::string::npos) << block;
}

TEST_F(StyledtextHtmlTest, ShowsTheRunsAndRefusesBadHeaders) {
    std::string out, err;
    ASSERT_EQ(run("show --cfhtml " + write("in.html", "x<b>y</b>").string() + " --json", out, err), 0) << err;
    EXPECT_NE(out.find("\"text\": \"xy\""), std::string::npos) << out;
    const std::string bad = "Version:0.9\r\nStartHTML:-1\r\nEndHTML:-1\r\nStartFragment:70\r\nEndFragment:99999\r\nx";
    EXPECT_EQ(run("show --cfhtml " + write("bad.html", bad).string(), out, err), 1);
    EXPECT_NE(err.find("header is not valid"), std::string::npos) << err;
    EXPECT_EQ(run("show --cfhtml a.html --text t.txt", out, err), 2);
    EXPECT_EQ(run("show --cfhtml " + (dir / "missing.html").string(), out, err), 1);
    EXPECT_NE(err.find("cannot read"), std::string::npos) << err;
}

}  // namespace
