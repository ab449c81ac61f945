// Puts arbitrary text, "Mac-FMcs", "Mac-styl" and RTF on the stand-in
// clipboard, calls StyledClipboard, and checks that whatever it wrote reads
// again with our own readers: the FileMaker block decodes, the RTF parses,
// and the plain text is the FileMaker container's text.
// Input: text, "\xFF\xFE|", FileMaker block, "\xFF\xFE|", style scrap,
// "\xFF\xFE|", RTF. An empty part leaves its format off the clipboard.
#include <cstdlib>
#include <memory>

#include "fuzz/fuzz_common.h"
#include "plugin/functions.h"
#include "style/CharStyle_FMcs.h"
#include "style/CharStyle_RTF.h"
#include "style/CharStyle_styl.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    standin::reset();
    static const UINT kAnsiCodePages[] = {1252, 1251, 932, 949};
    standin::setAnsiCodePage(kAnsiCodePages[size % (sizeof kAnsiCodePages / sizeof kAnsiCodePages[0])]);
    const std::vector<std::string> parts = fuzz::split(data, size, 4);
    if (!parts[0].empty()) fuzz::put(CF_TEXT, parts[0]);
    if (!parts[1].empty()) fuzz::put(RegisterClipboardFormatA(CharStyle_FMcs::kFormatName), parts[1]);
    if (!parts[2].empty()) fuzz::put(RegisterClipboardFormatA(CharStyle_styl::kFormatName), parts[2]);
    if (!parts[3].empty()) fuzz::put(RegisterClipboardFormatA("Rich Text Format"), parts[3]);

    check(Do_StyledClipboard(kFunctionStyledClipboard, nullptr, nullptr, nullptr) == 0);
    check(!standin::isOpen() && standin::orphanBlocks() == 0);

    if (standin::timesEmptied() == 0) return 0;  // nothing usable: the clipboard was left alone
    check(!CharStyle_styl::clipboardHasStyle());
    std::unique_ptr<CharStyle_FMcs> fmcs(CharStyle_FMcs::InitFromClipboard());
    check(fmcs != nullptr);
    std::unique_ptr<CharStyle_RTF> rtf(CharStyle_RTF::InitFromClipboard());
    check(rtf != nullptr && !rtf->parsingError());

    const std::vector<unsigned char> text = standin::data(CF_TEXT);
    check(!text.empty() && text.back() == '\0');
    check(std::string(reinterpret_cast<const char*>(text.data())) == fmcs->getText());
    standin::reset();
    return 0;
}
