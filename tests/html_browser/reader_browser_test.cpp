// HTML written by real programs (tests/realworld/html), read by the plug-in
// and rendered by Chromium: the text and the style of every character agree.
// A document that does not is listed, with the reason, in
// tests/realworld/html/known_differences.txt; a listed one that agrees fails
// too, so that the list stays exact.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "browser.h"
#include "compare.h"
#include "html/cf_html.h"

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const fs::path kCorpus = STYLEDTEXT_REALWORLD_HTML;

// Documents, as paths relative to the corpus: blocks (.cfhtml) and pages (.html).
std::vector<std::string> documents() {
    std::vector<std::string> out;
    for (const auto& entry : fs::recursive_directory_iterator(kCorpus)) {
        if (!entry.is_regular_file()) continue;
        const std::string rel = fs::relative(entry.path(), kCorpus).generic_string();
        if (rel.find("/src/") != std::string::npos) continue;
        const std::string ext = entry.path().extension().string();
        if (ext == ".html" || ext == ".cfhtml") out.push_back(rel);
    }
    std::sort(out.begin(), out.end());
    return out;
}

// "path: reason" lines; "#" starts a comment.
std::map<std::string, std::string> knownDifferences() {
    std::map<std::string, std::string> out;
    std::ifstream in(kCorpus / "known_differences.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos) out[line.substr(0, colon)] = line.substr(colon + 1);
    }
    return out;
}

TEST(ReaderInChromium, RealProgramsHtmlReadsAsTheBrowserShowsIt) {
    const std::map<std::string, std::string> known = knownDifferences();
    std::size_t documentsAgreeing = 0, characters = 0, styled = 0, sameStyle = 0, textsAgreeing = 0;
    const std::vector<std::string> all = documents();
    ASSERT_GE(all.size(), 10u);
    for (const std::string& rel : all) {
        SCOPED_TRACE(rel);
        std::string block = readFile(kCorpus / rel);
        // As the plug-in gets it: a page without the header is wrapped in one, as styledtext does.
        if (block.compare(0, 8, "Version:") != 0) block = html::makeCfHtml(block);
        html::FragmentText ours;
        ASSERT_TRUE(html::readCfHtml(block.data(), block.size(), ours));
        html::CfHtmlLayout layout;
        ASSERT_TRUE(html::parseCfHtmlHeader(block.data(), block.size(), layout));
        const std::string document = block.substr(layout.documentStart, layout.documentEnd - layout.documentStart);
        std::vector<browser::BrowserChar> shown;
        std::string error;
        ASSERT_TRUE(browser::render(document, layout.fragmentStart - layout.documentStart,
                                    layout.fragmentEnd - layout.documentStart, shown, error))
            << error;
        const browser::Comparison c = browser::compare(browser::charsOf(ours.text, ours.runs), shown);
        characters += c.characters;
        styled += c.styled;
        sameStyle += c.sameStyle;
        textsAgreeing += c.sameText ? 1 : 0;
        // A document whose styles were never compared (no character that both
        // readings styled) agrees in nothing but its text.
        const bool agrees = c.sameText && c.styled == c.sameStyle && (c.characters == 0 || c.styled > 0);
        documentsAgreeing += agrees ? 1 : 0;
        std::printf("%-40s %6zu characters, text %s, styles %zu of %zu agree\n", rel.c_str(), c.characters,
                    c.sameText ? "agrees" : "DIFFERS", c.sameStyle, c.styled);
        for (const std::string& note : c.notes) std::printf("    %s\n", note.c_str());
        const bool listed = known.count(rel) != 0;
        if (!agrees) {
            EXPECT_TRUE(listed) << "differs from Chromium and is not in known_differences.txt";
        } else {
            EXPECT_FALSE(listed) << "agrees with Chromium: remove it from known_differences.txt";
        }
    }
    std::printf("%zu of %zu documents agree; texts %zu of %zu; %zu characters, styles of %zu of %zu agree\n",
                documentsAgreeing, all.size(), textsAgreeing, all.size(), characters, sameStyle, styled);
    // Styles the browser never reported, or a reading that kept no runs,
    // would otherwise pass as agreement.
    EXPECT_GT(styled, 0u) << "no styled character was compared";
}

}  // namespace
