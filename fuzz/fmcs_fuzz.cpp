// Reads arbitrary bytes as a "Mac-FMcs" block beside arbitrary text, then
// writes back what was read and checks that it reads again the same.
// Input: text, the separator "\xFF\xFE|", the style block.
#include <memory>

#include "fuzz/fuzz_common.h"
#include "style/CharStyle_FMcs.h"

using fuzz::check;
using fuzz::queryEveryRun;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    standin::reset();
    const std::vector<std::string> parts = fuzz::split(data, size, 2);
    fuzz::put(CF_TEXT, parts[0]);
    fuzz::put(RegisterClipboardFormatA(CharStyle_FMcs::kFormatName), parts[1]);

    std::unique_ptr<CharStyle_FMcs> first = fuzz::readClipboard<CharStyle_FMcs>();
    if (first) {
        queryEveryRun(*first);
        CharStyle::ClearClipboard();
        check(first->addTextToClipboard() && first->addStyleToClipboard());
        std::unique_ptr<CharStyle_FMcs> second = fuzz::readClipboard<CharStyle_FMcs>();
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
