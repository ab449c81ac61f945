// The styledtext tool as a user runs it: each command and option, and each
// kind of bad input answered with one clear line and a non-zero status.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "codepage/utf8.h"
#include "platform/winapi.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class StyledtextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              (std::string("styledtext_test_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    Outcome run(const std::string& args) {
        const std::string out = (dir / "stdout").string(), err = (dir / "stderr").string();
        const std::string command = std::string(STYLEDTEXT_BIN_DIR) + "/styledtext " + args + " >" + out + " 2>" + err;
        int status = std::system(command.c_str());
        return Outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1, read(out), read(err)};
    }
    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    fs::path write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return dir / name;
    }
    static std::string sample(const char* name) {
        return std::string(STYLEDTEXT_SOURCE_DIR) + "/tools/samples/" + name;
    }

    fs::path dir;
};

TEST_F(StyledtextTest, ConvertsAFileMakerCopy) {
    Outcome r = run("convert --text " + sample("filemaker_copy.txt") + " --fmcs " + sample("filemaker_copy.fmcs") +
                    " --out " + (dir / "out").string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("rtf.rtf"), std::string::npos);
    EXPECT_NE(r.out.find("StyledClipboard answered 0"), std::string::npos);
    EXPECT_EQ(read(dir / "out" / "text.txt"), read(sample("filemaker_copy.txt")));
    EXPECT_EQ(read(dir / "out" / "fmcs.bin"), read(sample("filemaker_copy.fmcs")));
    EXPECT_EQ(read(dir / "out" / "rtf.rtf").rfind("{\\rtf1\\ansi\\ansicpg1252", 0), 0u);
    EXPECT_FALSE(fs::exists(dir / "out" / "styl.bin"));
}

TEST_F(StyledtextTest, ConvertsRtfAndAStyleScrap) {
    fs::path rtf = write("in.rtf", "{\\rtf1 a{\\b b}}");
    Outcome r = run("convert --rtf " + rtf.string() + " --out " + (dir / "a").string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read(dir / "a" / "text.txt"), "ab");
    EXPECT_TRUE(fs::exists(dir / "a" / "fmcs.bin"));

    // One run: bold 12pt red at 0.
    std::string scrap("\x16\0\0\0\x01\0\0\0\0\0\x10\0\x0c\0\0\0\0\x01\x0c\0\xff\xff\0\0\0\0", 26);
    Outcome s = run("convert --text " + write("t.txt", "hi").string() + " --styl " + write("s.bin", scrap).string() +
                    " --out " + (dir / "b").string());
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(read(dir / "b" / "rtf.rtf"),
              "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl\\f0\\fswiss\\fcharset0 Arial;}{\\colortbl;\\red255\\green0\\blue0;}"
              "\\f0\\fs24 {\\cf1\\fs24\\b hi}}");
    EXPECT_EQ(read(dir / "b" / "styl.bin"), scrap) << "the copy's style scrap stays as it was";
}

TEST_F(StyledtextTest, ShowsRunsInEveryForm) {
    fs::path rtf = write("in.rtf", "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\fs20 x{\\b\\cf1 \"\\'e9}}");
    Outcome json = run("show --rtf " + rtf.string() + " --json");
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(
        json.out,
        "{\"text\": \"x\\\"\\u00E9\", \"runs\": [{\"start\": 0, \"size\": 10, \"face\": 0, \"colour\": \"000000\"}, "
        "{\"start\": 1, \"size\": 10, \"face\": 256, \"colour\": \"FF0000\"}]}\n");

    Outcome table = run("show --rtf " + rtf.string());
    ASSERT_EQ(table.status, 0);
    EXPECT_NE(table.out.find("FF0000  bold"), std::string::npos) << table.out;

    Outcome ansi = run("show --rtf " + rtf.string() + " --ansi");
    EXPECT_NE(ansi.out.find("\x1b[0;1;38;2;255;0;0m\"\xC3\xA9\x1b[0m"), std::string::npos) << ansi.out;

    Outcome html = run("show --rtf " + rtf.string() + " --html");
    EXPECT_EQ(html.out.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(html.out.find("color: #FF0000; font-weight: bold;\">&quot;\xC3\xA9</span>"), std::string::npos)
        << html.out;
}

TEST_F(StyledtextTest, ShowsAFileMakerBlockThroughItsReader) {
    Outcome r = run("show --fmcs " + sample("filemaker_copy.fmcs") + " --text " + sample("filemaker_copy.txt"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("19 runs"), std::string::npos) << r.out;
}

TEST_F(StyledtextTest, BadInputGivesOneLineAndAFailureStatus) {
    const std::string missing = (dir / "missing.rtf").string();
    const struct {
        std::string args;
        int status;
        const char* message;
    } cases[] = {
        {"show --rtf " + missing, 1, "cannot read"},
        {"convert --rtf " + missing + " --out " + dir.string(), 1, "cannot read"},
        {"convert --rtf " + dir.string() + " --out " + dir.string(), 1, "is a folder, not a file"},
        {"show --fmcs " + write("bad.bin", std::string("\x08\0\0\0\0\0\0\x05", 8)).string() + " --text " +
             write("t.txt", "abc").string(),
         1, "not a usable \"Mac-FMcs\" block"},
        {"convert --out " + dir.string() + " --plugin " + missing, 1, "cannot load"},
        {"show --rtf a.rtf --fmcs b.bin", 2, "exactly one"},
        {"show --fmcs b.bin", 2, "need --text"},
        {"convert --text a.txt", 2, "--out DIR is required"},
        {"convert --bogus x --out y", 2, "unknown option --bogus"},
        {"frobnicate", 2, "unknown command"},
        {"", 2, "missing command"},
    };
    for (const auto& c : cases) {
        Outcome r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
        EXPECT_EQ(r.err.rfind("styledtext: ", 0), 0u) << c.args;
    }
}

TEST_F(StyledtextTest, RtfThatDoesNotParseIsShownThenReported) {
    Outcome r = run("show --rtf " + write("open.rtf", "{\\rtf1 abc{\\b def").string() + " --json");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\"text\": \"abcdef\""), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("does not parse"), std::string::npos) << r.err;
}

TEST_F(StyledtextTest, HelpForTheToolAndEachCommand) {
    for (const char* args : {"--help", "convert --help", "show --help"}) {
        Outcome r = run(args);
        EXPECT_EQ(r.status, 0) << args;
        EXPECT_EQ(r.out.rfind("usage: styledtext", 0), 0u) << args;
    }
}

// A large Unicode text is converted in two halves: a character outside the
// Basic Multilingual Plane is whole wherever it falls about the middle, and
// nothing is lost or doubled at the seam. Each run writes over the last
// one's files, which hold no trace of it afterwards.
TEST_F(StyledtextTest, WritesALargeUnicodeTextWholeAroundItsMiddle) {
    const std::string emoji = "\xF0\x9F\x98\x80";  // U+1F600, two UTF-16 units
    // The block holds the text's units and a NUL; it is halved at units / 2.
    constexpr std::size_t kUnits = 600001;  // text and NUL: 600,002
    for (int shift = -2; shift <= 2; ++shift) {
        SCOPED_TRACE(shift);
        const std::size_t before = kUnits / 2 + static_cast<std::size_t>(static_cast<long>(shift) - 1);
        std::string text(before, 'a');
        text += emoji;
        text += std::string(kUnits - before - 2, 'b');
        text.replace(10, 2, "\xC3\xA9");  // a character of two bytes in UTF-8, one unit
        text.insert(10, "a");
        const fs::path out = dir / "out";
        Outcome r = run("convert --text " + write("t.txt", std::string(text.size(), 'x')).string() + " --fmcs " +
                        sample("filemaker_copy.fmcs") + " --unicode " + write("u.txt", text).string() + " --out " +
                        out.string());
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(read(out / "unicode.txt") == text);
    }
    // The text ends at its first NUL, in either half or in a short text,
    // wherever it falls among four units.
    for (const std::size_t nulAt : {std::size_t{3}, std::size_t{150001}, std::size_t{450002}}) {
        SCOPED_TRACE(nulAt);
        std::string text(kUnits, 'c');
        text[nulAt] = '\0';
        const fs::path out = dir / "out";
        Outcome r = run("convert --text " + write("t.txt", std::string(100, 'x')).string() + " --fmcs " +
                        sample("filemaker_copy.fmcs") + " --unicode " + write("u.txt", text).string() + " --out " +
                        out.string());
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(read(out / "unicode.txt") == text.substr(0, nulAt));
    }
    // A smaller copy after the large one: every file is the small copy's.
    Outcome r = run("convert --text " + sample("filemaker_copy.txt") + " --fmcs " + sample("filemaker_copy.fmcs") +
                    " --out " + (dir / "out").string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read(dir / "out" / "text.txt"), read(sample("filemaker_copy.txt")));
    EXPECT_EQ(read(dir / "out" / "fmcs.bin"), read(sample("filemaker_copy.fmcs")));
}

// The Unicode text Windows makes from CF_TEXT, as MultiByteToWideChar gives
// it in UTF-8: up to the first NUL.
std::string madeFromText(const std::string& text, UINT codePage) {
    const std::string upToNul = text.substr(0, text.find('\0'));
    if (upToNul.empty()) return "";
    const int n = static_cast<int>(upToNul.size());
    std::vector<std::uint16_t> wide(
        static_cast<std::size_t>(MultiByteToWideChar(codePage, 0, upToNul.data(), n, nullptr, 0)));
    MultiByteToWideChar(codePage, 0, upToNul.data(), n, reinterpret_cast<LPWSTR>(wide.data()),
                        static_cast<int>(wide.size()));
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(codepage::utf8FromUtf16(wide.data(), wide.size(), &utf8[0]));
    return utf8;
}

// A copy with no Unicode text of its own has the one Windows makes from
// CF_TEXT, in the ANSI code page: every byte of several code pages, and a
// large text, which is written in two halves, with a character of two and
// of three bytes in UTF-8 on either side of the middle and its end at the
// first NUL wherever that falls.
TEST_F(StyledtextTest, UnicodeTextMadeFromTextIsWindowsOwn) {
    std::string everyByte;
    for (int b = 1; b < 256; ++b) everyByte.push_back(static_cast<char>(b));
    for (const UINT cp : {1252u, 1250u, 1251u, 1253u, 1255u, 874u}) {
        SCOPED_TRACE(cp);
        const fs::path out = dir / "out";
        Outcome r = run("convert --text " + write("t.txt", everyByte).string() + " --codepage " + std::to_string(cp) +
                        " --out " + out.string());
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(read(out / "unicode.txt"), madeFromText(everyByte, cp));
    }
    constexpr std::size_t kBytes = 600001;
    for (const std::size_t nulAt : {kBytes, std::size_t{2}, kBytes / 2 - 1, kBytes / 2, kBytes / 2 + 1, kBytes - 5}) {
        SCOPED_TRACE(nulAt);
        std::string text(kBytes, 'a');
        for (std::size_t i = kBytes / 2 - 3; i < kBytes / 2 + 3; ++i) text[i] = i % 2 != 0 ? '\xe9' : '\x80';
        if (nulAt < kBytes) text[nulAt] = '\0';
        const fs::path out = dir / "out";
        Outcome r = run("convert --text " + write("t.txt", text).string() + " --codepage 1252 --out " + out.string());
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(read(out / "unicode.txt") == madeFromText(text, 1252));
    }
}

// Text beyond the ANSI code page: a Unicode text given beside FileMaker's
// goes to unicode.txt unchanged and its characters into the RTF; RTF naming
// them by "\u" gains a Unicode text of its own.
TEST_F(StyledtextTest, CarriesTheUnicodeTextThroughTheConversion) {
    const std::string whole = "caf\xC3\xA9 \xE4\xB8\xAD \xD0\x96";  // café 中 Ж
    Outcome r =
        run("convert --text " + write("t.txt", "caf\xE9 ? ?").string() + " --fmcs " + sample("filemaker_copy.fmcs") +
            " --unicode " + write("u.txt", whole).string() + " --out " + (dir / "a").string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read(dir / "a" / "unicode.txt"), whole);
    EXPECT_NE(read(dir / "a" / "rtf.rtf").find("\\u20013?"), std::string::npos);

    Outcome s = run("convert --rtf " + write("in.rtf", "{\\rtf1\\uc1 caf\\'e9 {\\b \\u20013?} \\u1046?}").string() +
                    " --out " + (dir / "b").string());
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(read(dir / "b" / "unicode.txt"), whole);
    EXPECT_EQ(read(dir / "b" / "text.txt"), "caf\xE9 ? ?");
    const std::string html = read(dir / "b" / "cfhtml.html");
    EXPECT_NE(html.find("\xE4\xB8\xAD"), std::string::npos) << "HTML carries them in UTF-8";
    EXPECT_NE(html.find("\xD0\x96"), std::string::npos);
}

// A Cyrillic or Japanese text is shown in UTF-8, not as the bytes of another
// code page; line feeds in the page break lines instead of showing U+FFFD.
TEST_F(StyledtextTest, ShowsTextOfAnyCodePageInUtf8) {
    const fs::path rtf = write("ru.rtf", "{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\line x}");
    Outcome json = run("show --rtf " + rtf.string() + " --json --codepage 1251");
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find("\"text\": \"\\u041F\\u0440\\u0438\\u0432\\u0435\\u0442\\nx\""), std::string::npos)
        << json.out;
    Outcome table = run("show --rtf " + rtf.string() + " --ansi --codepage 1251");
    EXPECT_NE(table.out.find("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\nx"), std::string::npos) << table.out;
    Outcome html = run("show --rtf " + rtf.string() + " --html --codepage 1251");
    EXPECT_EQ(html.out.find("&#xFFFD;"), std::string::npos);
    EXPECT_NE(html.out.find("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\nx"), std::string::npos) << html.out;
    Outcome japanese = run("show --rtf " + write("ja.rtf", "{\\rtf1\\ansi\\ansicpg932 \\'93\\'fa\\'96\\'7b}").string() +
                           " --ansi --codepage 932");
    EXPECT_NE(japanese.out.find("\xE6\x97\xA5\xE6\x9C\xAC"), std::string::npos) << japanese.out;
    Outcome bad = run("show --rtf " + rtf.string() + " --codepage 12x");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("--codepage needs a code page number"), std::string::npos) << bad.err;
}

}  // namespace
