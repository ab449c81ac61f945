// The plug-in against Wine's RichEdit on RTF that real programs wrote
// (tests/realworld/rtf), in the ANSI code page of the session: Wine takes it
// from LANG, and CMake registers one run of these tests per locale.
//
// RTF to FileMaker: each document is read by RichEdit (its Unicode text made
// bytes of the code page, with each character's attributes) and by the
// plug-in (the document alone on the clipboard, StyledClipboard, then CF_TEXT
// and "Mac-FMcs" read back), each reading in a process of its own
// (realworld_rtf_reader), and the two are compared: the texts byte for byte,
// the attributes character by character over the characters the texts share
// (paired by a longest common subsequence where the texts differ), counted
// against RichEdit's characters.
//
// FileMaker to RTF: a text in the session's code page with runs of every
// attribute goes on the clipboard as CF_TEXT and "Mac-FMcs"; the RTF that
// StyledClipboard writes is read by RichEdit, whose Unicode text must be the
// CF_TEXT converted from the code page, with the same runs.
//
// Differences that are known and tolerated are listed, one a line, in
// tests/realworld/rtf/known_differences.txt. A difference not listed fails,
// and so does a listed one that no longer occurs. With
// STYLEDTEXT_PRINT_DIFFERENCES=1 the differences of the run are printed in
// the file's format.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host/plugin_driver.h"
#include "style/CharStyle_FMcs.h"
#include "windows/realworld_reading.h"

namespace {

using realworld::Attributes;
using realworld::Reading;

const std::string kCorpus = STYLEDTEXT_REALWORLD;
const std::string kKnownDifferences = kCorpus + "/known_differences.txt";
// A reader process that takes longer than this is taken for hung and ended.
constexpr DWORD kReaderTimeoutMs = 120 * 1000;
// The reader's exit code after a crash.
constexpr DWORD kReaderCrashed = 3;

// The locales the tests run under, with the code page Wine must then answer
// and a text of the locale's language (every character in that code page).
struct Locale {
    const char* name;
    UINT codePage;
    const char* language;
    const wchar_t* sample;
};
const Locale kLocales[] = {
    {"en_US.UTF-8", 1252, "western", L"Caf\u00e9 cr\u00e8me, na\u00efve fa\u00e7ade, Stra\u00dfe, \u00c6r\u00f8, \u00bfQu\u00e9?"},
    {"pl_PL.UTF-8", 1250, "polish", L"Za\u017c\u00f3\u0142\u0107 g\u0119\u015bl\u0105 ja\u017a\u0144, \u0141\u00f3d\u017a, \u015awi\u0119ty"},
    {"ru_RU.UTF-8", 1251, "russian",
     L"\u0421\u044a\u0435\u0448\u044c \u0436\u0435 \u0435\u0449\u0451 \u044d\u0442\u0438\u0445 \u043c\u044f\u0433\u043a"
     L"\u0438\u0445 \u0431\u0443\u043b\u043e\u043a, \u2116 5, \u0401\u043b\u043a\u0430"},
    {"el_GR.UTF-8", 1253, "greek",
     L"\u039e\u03b5\u03c3\u03ba\u03b5\u03c0\u03ac\u03b6\u03c9 \u03c4\u03b7\u03bd \u03c8\u03c5\u03c7\u03bf\u03c6\u03b8"
     L"\u03cc\u03c1\u03b1 \u03b2\u03b4\u03b5\u03bb\u03c5\u03b3\u03bc\u03af\u03b1, \u0390 \u03c2"},
    {"ja_JP.UTF-8", 932, "japanese",
     L"\u3044\u308d\u306f\u306b\u307b\u3078\u3068 \u65e5\u672c\u8a9e\u3001\u30ab\u30bf\u30ab\u30ca\u3068\u6f22\u5b57"
     L"\u3001\uff71\uff72\uff73\u3002"},
    {"zh_CN.UTF-8", 936, "chinese",
     L"\u6211\u80fd\u541e\u4e0b\u73bb\u7483\u800c\u4e0d\u4f24\u8eab\u4f53\uff0c\u7b80\u4f53\u5b57\u3002"},
};

// ASCII and the punctuation that word processors put in text; characters
// that the session's code page lacks are left out.
const wchar_t kPunctuation[] =
    L"ASCII {braces} back\\slash\ttab 100% & <tags>; \u201cdouble\u201d \u2018single\u2019 it\u2019s "
    L"\u2013 \u2014 \u2022 \u2026 \u20ac \u00bd \u00a0end";

std::string environment(const char* name) {
    char value[256];
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

// The locale named by LC_ALL or LANG, as the C library takes it.
std::string sessionLocale() {
    std::string all = environment("LC_ALL");
    return all.empty() ? environment("LANG") : all;
}

const Locale* findLocale(const std::string& name) {
    for (const Locale& l : kLocales)
        if (name == l.name) return &l;
    return nullptr;
}

// ---- comparison ------------------------------------------------------

struct Difference {
    std::string document;
    std::string what;
};

bool operator<(const Difference& a, const Difference& b) {
    return a.document != b.document ? a.document < b.document : a.what < b.what;
}

template <class Char>
std::string hexUnits(const std::basic_string<Char>& s, size_t from, size_t count) {
    std::string out;
    char buffer[16];
    for (size_t i = from; i < s.size() && i < from + count; ++i) {
        std::snprintf(buffer, sizeof buffer, sizeof(Char) == 1 ? "%02x " : "%04x ",
                      static_cast<unsigned>(static_cast<typename std::make_unsigned<Char>::type>(s[i])));
        out += buffer;
    }
    if (out.empty()) return "(end)";
    out.pop_back();
    return out;
}

template <class Char>
std::string printable(const std::basic_string<Char>& s, size_t from, size_t to) {
    std::string out;
    char buffer[16];
    for (size_t i = from; i < to && i < s.size(); ++i) {
        const unsigned c = static_cast<unsigned>(static_cast<typename std::make_unsigned<Char>::type>(s[i]));
        if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            std::snprintf(buffer, sizeof buffer, c < 0x100 ? "\\x%02x" : "\\u%04x", c);
            out += buffer;
        }
    }
    return out;
}

const char* const kAttributeNames[] = {"bold", "italic", "underline", "strikeout", "superscript", "subscript"};

struct Comparison {
    bool textAgrees = false;
    bool onlyFinalMark = false;   // the texts differ by one CR at the end alone
    std::string firstDifference;  // where the texts part, as units and context
    std::string alignment;        // how characters were paired when the texts differ
    size_t agree = 0;             // characters of the reference paired with one of equal attributes
    size_t total = 0;             // characters of the reference
    std::set<std::string> attributesDiffering;
    std::string firstAttributeDifference;  // the first paired characters whose attributes differ
};

std::string describe(const Attributes& a) {
    std::string out;
    for (int bit = 0; bit < 6; ++bit)
        if ((a.flags >> bit) & 1) out += std::string(out.empty() ? "" : "+") + kAttributeNames[bit];
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, " %dpt #%06x", a.size, static_cast<unsigned>(a.colour));
    return (out.empty() ? "plain" : out) + buffer;
}

// Pairs the units of `a` and `b`: all of them when the texts agree, else a
// longest common subsequence (the texts of a document are a few thousand
// units), or the common prefix when the texts are too long for that.
template <class Char>
std::vector<std::pair<size_t, size_t>> align(const std::basic_string<Char>& a, const std::basic_string<Char>& b,
                                             std::string& how) {
    std::vector<std::pair<size_t, size_t>> pairs;
    const size_t n = a.size(), m = b.size();
    constexpr size_t kMaxCells = 40u * 1000 * 1000;
    if (a == b || n > 65535 || m > 65535 || (n + 1) * (m + 1) > kMaxCells) {
        how = a == b ? "" : "common prefix";
        for (size_t i = 0; i < n && i < m && a[i] == b[i]; ++i) pairs.emplace_back(i, i);
        if (a == b) pairs.resize(n);
        return pairs;
    }
    how = "longest common subsequence";
    std::vector<std::uint16_t> table((n + 1) * (m + 1), 0);
    auto at = [&](size_t i, size_t j) -> std::uint16_t& { return table[i * (m + 1) + j]; };
    for (size_t i = n; i-- > 0;)
        for (size_t j = m; j-- > 0;)
            at(i, j) = a[i] == b[j] ? static_cast<std::uint16_t>(at(i + 1, j + 1) + 1) : std::max(at(i + 1, j), at(i, j + 1));
    for (size_t i = 0, j = 0; i < n && j < m;) {
        if (a[i] == b[j]) {
            pairs.emplace_back(i, j);
            ++i;
            ++j;
        } else if (at(i + 1, j) >= at(i, j + 1)) {
            ++i;
        } else {
            ++j;
        }
    }
    return pairs;
}

// `reference` is RichEdit's reading, `read` the plug-in's (or, in the other
// direction, the text and runs put on the clipboard and RichEdit's reading);
// the names label them in the description of the first difference.
template <class Char>
Comparison compare(const std::basic_string<Char>& reference, const std::vector<Attributes>& referenceAttributes,
                   const std::basic_string<Char>& read, const std::vector<Attributes>& readAttributes,
                   const char* referenceName, const char* readName) {
    Comparison c;
    c.textAgrees = reference == read;
    c.total = reference.size();
    // RichEdit keeps no mark for the paragraph that ends a document; a reader
    // that does differs in that alone, which is told apart from other text.
    const std::basic_string<Char> kMark(1, Char('\r'));
    c.onlyFinalMark = reference + kMark == read || reference == read + kMark;
    if (!c.textAgrees) {
        size_t i = 0;
        while (i < reference.size() && i < read.size() && reference[i] == read[i]) ++i;
        c.firstDifference = "at unit " + std::to_string(i) + ": " + referenceName + " [" + hexUnits(reference, i, 8) +
                            "] " + readName + " [" + hexUnits(read, i, 8) + "] after \"" +
                            printable(reference, i > 24 ? i - 24 : 0, i) + "\"";
    }
    for (const auto& p : align(reference, read, c.alignment)) {
        const Attributes& x = referenceAttributes[p.first];
        const Attributes& y = readAttributes[p.second];
        if (x == y) {
            ++c.agree;
            continue;
        }
        if (c.firstAttributeDifference.empty())
            c.firstAttributeDifference = "first at unit " + std::to_string(p.first) + " \"" +
                                         printable(reference, p.first, p.first + 1) + "\": " + referenceName + " " +
                                         describe(x) + ", " + readName + " " + describe(y);
        for (int bit = 0; bit < 6; ++bit)
            if (((x.flags ^ y.flags) >> bit) & 1) c.attributesDiffering.insert(kAttributeNames[bit]);
        if (x.size != y.size) c.attributesDiffering.insert("size");
        if (x.colour != y.colour) c.attributesDiffering.insert("colour");
    }
    return c;
}

// Adds the differences of one comparison, and prints its line of the report.
void report(const std::string& locale, const std::string& document, const Comparison& c,
            std::vector<Difference>& differences) {
    std::ostringstream line;
    line << "[" << locale << "] " << document << ": text agrees " << (c.textAgrees ? "yes" : "no");
    if (c.onlyFinalMark) line << " (only in the final paragraph mark)";
    else if (!c.textAgrees) line << " (" << c.firstDifference << ")";
    line << "; attributes agree " << c.agree << "/" << c.total << " characters";
    if (!c.alignment.empty()) line << " paired by " << c.alignment;
    if (!c.firstAttributeDifference.empty()) line << " (" << c.firstAttributeDifference << ")";
    std::cout << line.str() << std::endl;
    if (!c.textAgrees) differences.push_back({document, c.onlyFinalMark ? "final paragraph mark" : "text"});
    for (const std::string& a : c.attributesDiffering) differences.push_back({document, "attribute " + a});
}

// ---- the list of known differences -----------------------------------

struct KnownDifference {
    std::string locale, document, what, cause;
    int line = 0;
};

std::string trim(const std::string& s) {
    size_t from = s.find_first_not_of(" \t\r");
    if (from == std::string::npos) return "";
    size_t to = s.find_last_not_of(" \t\r");
    return s.substr(from, to - from + 1);
}

// Lines "locale | document | what differs | cause"; "#" starts a comment; a
// locale of "*" stands for every locale.
std::vector<KnownDifference> readKnownDifferences(std::string& error) {
    std::vector<KnownDifference> known;
    std::ifstream in(kKnownDifferences, std::ios::binary);
    if (!in) {
        error = "cannot read " + kKnownDifferences;
        return known;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        line = trim(line);
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        size_t from = 0;
        for (int k = 0; k < 3; ++k) {
            size_t bar = line.find('|', from);
            if (bar == std::string::npos) break;
            fields.push_back(trim(line.substr(from, bar - from)));
            from = bar + 1;
        }
        fields.push_back(trim(line.substr(from)));
        if (fields.size() != 4 || fields[0].empty() || fields[1].empty() || fields[2].empty()) {
            error += "line " + std::to_string(number) + " is not \"locale | document | what differs | cause\"\n";
            continue;
        }
        if (fields[0] != "*" && findLocale(fields[0]) == nullptr) {
            // It would never be checked.
            error += "line " + std::to_string(number) + " names a locale the tests do not run under\n";
            continue;
        }
        known.push_back({fields[0], fields[1], fields[2], fields[3], number});
    }
    return known;
}

bool printDifferences() { return environment("STYLEDTEXT_PRINT_DIFFERENCES") == "1"; }

// Fails for every difference that is not listed for this locale, and for
// every listed one of these documents that did not occur.
void checkAgainstKnown(const std::string& locale, const std::vector<Difference>& found,
                       bool (*concerns)(const std::string& document)) {
    std::string error;
    const std::vector<KnownDifference> known = readKnownDifferences(error);
    EXPECT_TRUE(error.empty()) << error;
    auto applies = [&](const KnownDifference& k) { return (k.locale == "*" || k.locale == locale) && concerns(k.document); };
    auto listed = [&](const Difference& d) -> const KnownDifference* {
        for (const KnownDifference& k : known)
            if (applies(k) && k.document == d.document && k.what == d.what) return &k;
        return nullptr;
    };
    if (printDifferences()) {
        std::cout << "---- differences for " << kKnownDifferences << " (" << locale << ") ----" << std::endl;
        for (const Difference& d : found) {
            const KnownDifference* k = listed(d);
            std::cout << locale << " | " << d.document << " | " << d.what << " | " << (k ? k->cause : "?")
                      << std::endl;
        }
        std::cout << "---- end ----" << std::endl;
    }
    for (const Difference& d : found) {
        EXPECT_NE(listed(d), nullptr) << "a difference not in known_differences.txt: " << locale << " | "
                                      << d.document << " | " << d.what;
    }
    for (const KnownDifference& k : known) {
        if (!applies(k)) continue;
        bool occurs = false;
        for (const Difference& d : found) occurs = occurs || (d.document == k.document && d.what == k.what);
        EXPECT_TRUE(occurs) << "known_differences.txt line " << k.line << " no longer occurs under " << locale
                            << ": " << k.document << " | " << k.what << " (remove it)";
    }
}

bool isCorpusDocument(const std::string& document) { return document.compare(0, 10, "filemaker/") != 0; }
bool isFileMakerSample(const std::string& document) { return !isCorpusDocument(document); }

// ---- the reader processes --------------------------------------------

std::string moduleFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs realworld_rtf_reader on one document; a reader that crashed, hung or
// wrote nothing gives a reading whose status says so.
Reading runReader(const std::string& mode, const std::string& document, DWORD timeoutMs = kReaderTimeoutMs) {
    Reading r;
    char folder[MAX_PATH], out[MAX_PATH];
    if (GetTempPathA(MAX_PATH, folder) == 0 || GetTempFileNameA(folder, "rwr", 0, out) == 0) {
        r.status = "no temporary file";
        return r;
    }
    std::string command = "\"" + moduleFolder() + "realworld_rtf_reader.exe\" " + mode + " \"" + document + "\" \"" +
                          out + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // Wine under load now and then fails to start a process at all
    // (ERROR_INTERNAL_ERROR); that says nothing of the document, so the
    // start is tried again, a few times.
    bool started = false;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        if (attempt > 0) Sleep(200);
        started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process) != FALSE;
    }
    if (!started) {
        r.status = "reader not started (error " + std::to_string(GetLastError()) + ")";
        DeleteFileA(out);
        return r;
    }
    DWORD waited = WaitForSingleObject(process.hProcess, timeoutMs);
    DWORD exitCode = 0;
    if (waited != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 10 * 1000);
        r.status = "hung";
    } else {
        GetExitCodeProcess(process.hProcess, &exitCode);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (r.status == "ok") {
        if (exitCode == kReaderCrashed || exitCode >= 0xC0000000u) {
            r.status = "crashed";
        } else if (exitCode != 0) {
            r.status = "failed (exit code " + std::to_string(exitCode) + ")";
        } else if (!realworld::parse(readWholeFile(out), r)) {
            r = Reading();
            r.status = "wrote no reading";
        }
    }
    DeleteFileA(out);
    return r;
}

void listDocuments(const std::string& folder, const std::string& prefix, std::vector<std::string>& out) {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "/*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            listDocuments(folder + "/" + name, prefix + name + "/", out);
        } else if (name.size() > 4 && name.compare(name.size() - 4, 4, ".rtf") == 0) {
            out.push_back(prefix + name);
        }
    } while (FindNextFileA(h, &found));
    FindClose(h);
}

// ---- the tests -------------------------------------------------------

// A document that crashes or hangs a reader is reported as such, and the
// test goes on with the next one.
TEST(RealWorldRtfReaderTest, CrashAndHangAreReportedAndTheRunGoesOn) {
    EXPECT_EQ(runReader("crash", "-").status, "crashed");
    EXPECT_EQ(runReader("hang", "-", 2000).status, "hung");
    EXPECT_EQ(runReader("nonsense", "-").status, "failed (exit code 2)");
    EXPECT_EQ(runReader("richedit", kCorpus + "/no such document.rtf").status, "failed (exit code 2)");
    const Reading read = runReader("richedit", kCorpus + "/handmade/pc.rtf");
    EXPECT_EQ(read.status, "ok");
    EXPECT_EQ(read.text.substr(0, 15), "Code page 437: ");
    ASSERT_EQ(read.attributes.size(), read.text.size());
    EXPECT_EQ(read.attributes[0], Attributes()) << "plain 12-point black where the document sets nothing";
}

class RealWorldRtfTest : public ::testing::Test {
  protected:
    void SetUp() override {
        localeName = sessionLocale();
        locale = findLocale(localeName);
        if (locale == nullptr) GTEST_SKIP() << "LANG is \"" << localeName << "\": run under one of the registered locales";
        ASSERT_EQ(GetACP(), locale->codePage)
            << "Wine did not take the ANSI code page from LANG=" << localeName
            << ": the C library needs the locale (tests/windows/wine_locales.sh DIR " << localeName
            << ", then LOCPATH=DIR)";
    }

    std::string localeName;
    const Locale* locale = nullptr;
};

TEST_F(RealWorldRtfTest, PlugInReadsDocumentsAsRichEditDoes) {
    std::vector<std::string> documents;
    listDocuments(kCorpus, "", documents);
    std::sort(documents.begin(), documents.end());
    ASSERT_FALSE(documents.empty()) << "no documents in " << kCorpus;

    std::vector<Difference> differences;
    size_t textsAgree = 0, characters = 0, charactersAgree = 0;
    for (const std::string& document : documents) {
        const std::string path = kCorpus + "/" + document;
        const Reading richEdit = runReader("richedit", path);
        const Reading plugin = runReader("plugin", path);
        if (richEdit.status != "ok" || plugin.status != "ok") {
            std::cout << "[" << localeName << "] " << document << ": RichEdit " << richEdit.status << ", plug-in "
                      << plugin.status << std::endl;
            if (richEdit.status != "ok") differences.push_back({document, "RichEdit: " + richEdit.status});
            if (plugin.status != "ok") differences.push_back({document, "plug-in: " + plugin.status});
            characters += richEdit.text.size();
            continue;
        }
        const Comparison c = compare(richEdit.text, richEdit.attributes, plugin.text, plugin.attributes, "RichEdit", "plug-in");
        report(localeName, document, c, differences);
        textsAgree += c.textAgrees ? 1 : 0;
        characters += c.total;
        charactersAgree += c.agree;
    }
    std::cout << "[" << localeName << "] RTF to FileMaker, code page " << locale->codePage << ": text agrees in "
              << textsAgree << "/" << documents.size() << " documents; attributes agree for " << charactersAgree << "/"
              << characters << " characters" << std::endl;
    std::sort(differences.begin(), differences.end());
    checkAgainstKnown(localeName, differences, &isCorpusDocument);
}

// One attribute set a run of the FileMaker text has.
struct RunStyle {
    std::uint16_t face;
    std::int16_t size;
    std::uint32_t colour;
};
const RunStyle kRunStyles[] = {
    {0, 12, 0x000000},
    {kFaceBold, 12, 0x000000},
    {kFaceItalic, 12, 0x000000},
    {kFaceUnderline, 12, 0x000000},
    {kFaceStrikethrough, 12, 0x000000},
    {kFaceSuperscript, 12, 0x000000},
    {kFaceSubscript, 12, 0x000000},
    {0, 9, 0x000000},
    {0, 18, 0x000000},
    {0, 36, 0x000000},
    {0, 12, 0xFF0000},
    {0, 12, 0x00A000},
    {0, 12, 0x0000FF},
    {kFaceBold | kFaceItalic | kFaceUnderline, 24, 0x123456},
    {kFaceBold | kFaceStrikethrough, 10, 0x808080},
};

TEST_F(RealWorldRtfTest, FileMakerTextReachesRichEditInTheSessionsCodePage) {
    // The text: punctuation, the locale's language and ASCII, as bytes of the
    // code page; a character the code page lacks is left out. `units` holds
    // each kept character's UTF-16 units, `starts` its first byte.
    const std::wstring wanted = std::wstring(kPunctuation) + L"\r" + locale->sample + L"\rASCII again: 0123456789.";
    std::string text;
    std::wstring expected;
    std::vector<size_t> starts, unitStarts;
    for (size_t i = 0; i < wanted.size();) {
        size_t units = IS_HIGH_SURROGATE(wanted[i]) && i + 1 < wanted.size() ? 2 : 1;
        char bytes[16];
        BOOL lossy = FALSE;
        int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &wanted[i], static_cast<int>(units), bytes,
                                    sizeof bytes, nullptr, &lossy);
        if (n > 0 && !lossy) {
            starts.push_back(text.size());
            unitStarts.push_back(expected.size());
            text.append(bytes, static_cast<size_t>(n));
            expected.append(wanted, i, units);
        }
        i += units;
    }
    ASSERT_GT(starts.size(), 40u) << "the code page keeps too little of the text";

    // Runs of three characters each, through every attribute set in turn.
    constexpr size_t kPerRun = 3;
    const size_t runs = (starts.size() + kPerRun - 1) / kPerRun;
    std::vector<Attributes> expectedAttributes(expected.size());
    CharStyle_FMcs source(text.c_str(), static_cast<std::int32_t>(runs));
    for (size_t r = 0; r < runs; ++r) {
        const RunStyle& s = kRunStyles[r % (sizeof kRunStyles / sizeof kRunStyles[0])];
        ASSERT_TRUE(source.add(static_cast<std::int32_t>(starts[r * kPerRun]), s.size, static_cast<std::int16_t>(s.face),
                               s.colour, 0));
        Attributes a;
        a.flags = realworld::flagsOfFace(s.face);
        a.size = s.size;
        a.colour = s.colour;
        const size_t from = unitStarts[r * kPerRun];
        const size_t to = (r + 1) * kPerRun < unitStarts.size() ? unitStarts[(r + 1) * kPerRun] : expected.size();
        for (size_t u = from; u < to; ++u) expectedAttributes[u] = a;
    }

    fmhost::PluginDriver plugin;
    ASSERT_TRUE(plugin.load(STYLEDTEXT_PLUGIN)) << plugin.error();
    ASSERT_EQ(plugin.initialise(50), 50);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    ASSERT_TRUE(source.addTextToClipboard());
    ASSERT_TRUE(source.addStyleToClipboard());
    EXPECT_TRUE(plugin.call(u"StyledClipboard").found);

    // The plain text the clipboard then holds, as Windows reads it in this code page.
    std::string held, rtf;
    ASSERT_TRUE(OpenClipboard(nullptr));
    for (auto [format, into] : {std::pair<UINT, std::string*>{CF_TEXT, &held},
                                {RegisterClipboardFormatA("Rich Text Format"), &rtf}}) {
        HANDLE h = GetClipboardData(format);
        const char* p = h != nullptr ? static_cast<const char*>(GlobalLock(h)) : nullptr;
        if (p != nullptr) {
            into->assign(p, strnlen(p, GlobalSize(h)));
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    plugin.shutdown();
    EXPECT_EQ(held, text) << "the plug-in changed the plain text";
    std::wstring fromCodePage(held.size(), L'\0');
    fromCodePage.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_ACP, 0, held.data(), static_cast<int>(held.size()), &fromCodePage[0],
                            static_cast<int>(fromCodePage.size()))));
    ASSERT_EQ(fromCodePage, expected) << "the code page does not give back the text it was made of";

    const std::string document = std::string("filemaker/") + locale->language;
    std::vector<Difference> differences;
    if (rtf.empty()) {
        std::cout << "[" << localeName << "] " << document << ": the plug-in wrote no RTF" << std::endl;
        differences.push_back({document, "plug-in: no RTF written"});
    } else {
        RichEdit edit;
        ASSERT_TRUE(edit.ok());
        realworld::setPlainDefault(edit.window());
        edit.streamIn(rtf);
        const std::wstring shown = realworld::richEditText(edit.window());
        const std::vector<Attributes> shownAttributes = realworld::richEditAttributes(edit.window(), shown.size());
        // The reference here is the text put on the clipboard; RichEdit's reading is compared with it.
        const Comparison c = compare(expected, expectedAttributes, shown, shownAttributes, "clipboard", "RichEdit");
        report(localeName, document, c, differences);
        std::cout << "[" << localeName << "] FileMaker to RTF, code page " << locale->codePage << ": text agrees in "
                  << (c.textAgrees ? 1 : 0) << "/1 documents; attributes agree for " << c.agree << "/" << c.total
                  << " characters" << std::endl;
    }
    checkAgainstKnown(localeName, differences, &isFileMakerSample);
}

}  // namespace
