// StyledClipboard on a clipboard holding text and "HTML Format", as a
// browser leaves it, with arbitrary bytes in both. Checks that the call
// answers, leaks nothing, and that when it wrote, every format reads back:
// the FileMaker block decodes, the RTF parses, the HTML block's header is
// valid, and the plain text, the FileMaker text and the HTML text agree.
// Input: text, "\xFF\xFE|", "HTML Format" block. An empty part is left off.
#include <cstdlib>
#include <memory>

#include "fuzz/fuzz_common.h"
#include "plugin/functions.h"
#include "style/CharStyle_FMcs.h"
#include "style/CharStyle_HTML.h"
#include "style/CharStyle_RTF.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    standin::reset();
    static const UINT kAnsiCodePages[] = {1252, 1251, 932, 1253};
    standin::setAnsiCodePage(kAnsiCodePages[size % (sizeof kAnsiCodePages / sizeof kAnsiCodePages[0])]);
    const std::vector<std::string> parts = fuzz::split(data, size, 2);
    if (!parts[0].empty()) fuzz::put(CF_TEXT, parts[0]);
    if (!parts[1].empty()) fuzz::put(RegisterClipboardFormatA(CharStyle_HTML::kFormatName), parts[1]);

    check(Do_StyledClipboard(kFunctionStyledClipboard, nullptr, nullptr, nullptr) == 0);
    check(!standin::isOpen() && standin::orphanBlocks() == 0);
    if (standin::timesEmptied() == 0) return 0;  // nothing usable: the clipboard was left alone

    std::unique_ptr<CharStyle_FMcs> fmcs(CharStyle_FMcs::InitFromClipboard());
    check(fmcs != nullptr);
    std::unique_ptr<CharStyle_RTF> rtf(CharStyle_RTF::InitFromClipboard());
    check(rtf != nullptr && !rtf->parsingError());
    std::unique_ptr<CharStyle_HTML> html(CharStyle_HTML::InitFromClipboard());
    check(html != nullptr && !html->parsingError());
    check(html->getText() == fmcs->getText());

    const std::vector<unsigned char> text = standin::data(CF_TEXT);
    check(!text.empty() && text.back() == '\0');
    check(std::string(reinterpret_cast<const char*>(text.data())) == fmcs->getText());
    standin::reset();
    return 0;
}
