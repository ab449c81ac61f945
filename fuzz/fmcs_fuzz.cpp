// Reads arbitrary bytes as a "Mac-FMcs" block beside arbitrary text, then
// writes back what was read and checks that it reads again the same.
// Input: text, the separator "\xFF\xFE|", the style block.
#include <cstdlib>
#include <memory>

#include "fuzz/fuzz_common.h"
#include "style/CharStyle_FMcs.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void queryEveryRun(CharStyle& c) {
    for (std::int32_t k = 0; k < c.count(); ++k) {
        check(c.selectStyle(k));
        volatile std::uint32_t sink = c.getRGB() ^ static_cast<std::uint16_t>(c.getFace()) ^ c.getRed() ^
                                      static_cast<std::uint32_t>(c.getSize()) ^ static_cast<std::uint32_t>(c.charPos(k));
        (void)sink;
    }
    check(!c.selectStyle(c.count()) && !c.selectStyle(-1));
}

std::unique_ptr<CharStyle_FMcs> readClipboard() {
    std::unique_ptr<CharStyle_FMcs> c(CharStyle_FMcs::InitFromClipboard());
    check(!standin::isOpen() && standin::orphanBlocks() == 0);
    return c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    standin::reset();
    const std::vector<std::string> parts = fuzz::split(data, size, 2);
    fuzz::put(CF_TEXT, parts[0]);
    fuzz::put(RegisterClipboardFormatA(CharStyle_FMcs::kFormatName), parts[1]);

    std::unique_ptr<CharStyle_FMcs> first = readClipboard();
    if (first) {
        queryEveryRun(*first);
        CharStyle::ClearClipboard();
        check(first->addTextToClipboard() && first->addStyleToClipboard());
        std::unique_ptr<CharStyle_FMcs> second = readClipboard();
        check(second != nullptr && second->count() == first->count() &&
              second->uniqueStyleCount() == first->uniqueStyleCount() && second->getText() == first->getText());
        for (std::int32_t k = 0; k < first->count(); ++k) {
            check(second->charPos(k) == first->charPos(k));
            check(second->selectStyle(k) && first->selectStyle(k));
            check(second->getFace() == first->getFace() && second->getSize() == first->getSize() &&
                  second->getRGB() == first->getRGB());
        }
        CharStyle_FMcs converted(first.get());
        check(converted.count() == first->count() && converted.uniqueStyleCount() <= first->count());
        queryEveryRun(converted);
        check(converted.addStyleToClipboard());
    }
    standin::reset();
    return 0;
}
