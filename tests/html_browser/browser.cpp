#include "browser.h"

#include "html/cf_html.h"
#include "html/utf8.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <unistd.h>

namespace browser {

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string base64Decode(const std::string& in) {
    std::string out;
    int bits = 0;
    unsigned value = 0;  // only the bits not yet written out matter
    for (char c : in) {
        int d;
        if (c >= 'A' && c <= 'Z')
            d = c - 'A';
        else if (c >= 'a' && c <= 'z')
            d = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            d = c - '0' + 52;
        else if (c == '+')
            d = 62;
        else if (c == '/')
            d = 63;
        else
            continue;
        value = ((value << 6) | static_cast<unsigned>(d)) & 0xFFFFFFu;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<char>((value >> bits) & 0xFF));
        }
    }
    return out;
}

// The face bits and size the containers keep, from what the browser computed.
html::RunStyle runStyle(int weight, int italic, int decorations, const std::string& valign, double px, int r, int g,
                        int b) {
    html::RunStyle s;
    s.size = static_cast<std::int16_t>(std::floor(px * 0.75 + 0.5));
    unsigned face = 0;
    if (weight >= 600) face |= 0x0100;
    if (italic) face |= 0x0200;
    if (decorations & 1) face |= 0x0400;
    if (decorations & 2) face |= 0x0001;
    if (valign == "super") face |= 0x0004;
    if (valign == "sub") face |= 0x0008;
    s.face = static_cast<std::uint16_t>(face);
    s.colour = static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(b);
    return s;
}

}  // namespace

std::string chromiumCommand() {
    const char* configured = std::getenv("STYLEDTEXT_CHROMIUM");
    if (configured != nullptr && *configured != '\0') return configured;
    for (const char* name : {"chromium", "chromium-browser", "google-chrome"}) {
        const std::string probe = std::string("command -v ") + name + " >/dev/null 2>&1";
        if (std::system(probe.c_str()) == 0) return name;
    }
    return "";
}

bool render(const std::string& document, std::size_t fragmentStart, std::size_t fragmentEnd,
            std::vector<BrowserChar>& out, std::string& error) {
    static const std::string harness = readFile(fs::path(STYLEDTEXT_HTML_BROWSER_DIR) / "harness.js");
    const fs::path dir = fs::temp_directory_path() / ("styledtext_browser_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path page = dir / "page.html";
    {
        std::ofstream f(page, std::ios::binary);
        f << "\xEF\xBB\xBF" << document.substr(0, fragmentStart) << "<!--st-frag-start-->"
          << document.substr(fragmentStart, fragmentEnd - fragmentStart) << "<!--st-frag-end-->"
          << document.substr(fragmentEnd) << "<script>" << harness << "</script>";
    }
    const fs::path dump = dir / "dump.html";
    const std::string command =
        "timeout 120 " + chromiumCommand() +
        " --headless --no-sandbox --disable-gpu --no-first-run --user-data-dir=" + (dir / "profile").string() +
        " --dump-dom file://" + page.string() + " >" + dump.string() + " 2>/dev/null";
    const int status = std::system(command.c_str());
    const std::string dom = readFile(dump);
    const std::size_t at = dom.find("data-st=\"");
    if (status != 0 || at == std::string::npos) {
        error = "Chromium gave no answer (status " + std::to_string(status) + ")";
        return false;
    }
    const std::size_t end = dom.find('"', at + 9);
    std::istringstream lines(base64Decode(dom.substr(at + 9, end - at - 9)));
    out.clear();
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        BrowserChar c{};
        std::string rest;
        fields >> c.codePoint >> rest;
        if (rest == "-") {
            out.push_back(c);
            continue;
        }
        int weight = std::atoi(rest.c_str()), italic = 0, deco = 0, r = 0, g = 0, b = 0;
        std::string valign;
        double px = 0;
        fields >> italic >> deco >> valign >> px >> r >> g >> b;
        c.styled = true;
        c.style = runStyle(weight, italic, deco, valign, px, r, g, b);
        out.push_back(c);
    }
    fs::remove_all(dir);
    return true;
}

std::vector<BrowserChar> charsOf(const std::string& text, const std::vector<html::TextRun>& runs) {
    std::vector<BrowserChar> out;
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size();) {
        while (run + 1 < runs.size() && runs[run + 1].start <= i) ++run;
        const unsigned char b = static_cast<unsigned char>(text[i]);
        const int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        std::uint32_t cp = n == 1 ? b : n == 2 ? b & 0x1F : n == 3 ? b & 0x0F : b & 0x07;
        for (int k = 1; k < n && i + static_cast<std::size_t>(k) < text.size(); ++k)
            cp = cp << 6 | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3F);
        BrowserChar c{};
        c.codePoint = cp;
        c.styled = !runs.empty();
        if (!runs.empty()) c.style = runs[run].style;
        out.push_back(c);
        i += static_cast<std::size_t>(n);
    }
    return out;
}

bool innerTextOfBlock(const std::string& block, std::string& text, std::string& error) {
    html::CfHtmlLayout layout;
    if (!html::parseCfHtmlHeader(block.data(), block.size(), layout)) {
        error = "the block's header is refused";
        return false;
    }
    const std::string document = block.substr(layout.documentStart, layout.documentEnd - layout.documentStart);
    std::vector<BrowserChar> shown;
    if (!render(document, layout.fragmentStart - layout.documentStart, layout.fragmentEnd - layout.documentStart,
                shown, error))
        return false;
    text.clear();
    for (const BrowserChar& c : shown) html::appendUtf8(text, c.codePoint);
    return true;
}

}  // namespace browser
