// The "HTML Format" reader on arbitrary bytes, as a whole block with its
// header and as a document whose every byte is the fragment. Beyond "no
// crash", it checks that the runs start in order inside the text, that the
// text is valid UTF-8, and that a block written for the text reads back
// with the same text.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "html/cf_html.h"
#include "html/fragment_reader.h"
#include "html/utf8.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void checkRuns(const html::FragmentText& f) {
    std::size_t previous = 0;
    for (std::size_t i = 0; i < f.runs.size(); ++i) {
        check(f.runs[i].start < f.text.size());
        check(i == 0 || f.runs[i].start > previous);
        previous = f.runs[i].start;
    }
    check(f.text.empty() || (!f.runs.empty() && f.runs[0].start == 0));
    std::string valid;
    html::appendValidUtf8(valid, f.text.data(), f.text.size());
    check(valid == f.text);
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '<')
            out += "&lt;";
        else if (c == '&')
            out += "&amp;";
        else if (c == '\n')
            out += "<br>";
        else
            out += c;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An allocation of exactly the input's size, so that any over-read shows.
    std::unique_ptr<char[]> block(new char[size ? size : 1]);
    if (size > 0) std::memcpy(block.get(), data, size);

    html::FragmentText fromBlock;
    if (html::readCfHtml(block.get(), size, fromBlock)) checkRuns(fromBlock);

    std::string document;
    html::appendValidUtf8(document, block.get(), size);
    const html::FragmentText whole = html::readFragment(document, 0, document.size());
    checkRuns(whole);

    // The text written as pre-wrap reads back as itself, but for the tabs
    // and line ends that a "\r" or form feed in the input would change.
    if (whole.text.find_first_of("\r\f") == std::string::npos) {
        const std::string again =
            html::makeCfHtml("<div style=\"white-space:pre-wrap\">" + escaped(whole.text) + "</div>");
        html::FragmentText read;
        check(html::readCfHtml(again.data(), again.size(), read));
        check(read.text == whole.text);
    }
    return 0;
}
