// Reads arbitrary bytes as a "Mac-styl" block beside arbitrary text, then
// writes back what was read and checks that it reads again the same.
// Input: text, the separator "\xFF\xFE|", the style block.
#include <memory>

#include "fuzz/fuzz_common.h"
#include "style/CharStyle_styl.h"

using fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    standin::reset();
    const std::vector<std::string> parts = fuzz::split(data, size, 2);
    fuzz::put(CF_TEXT, parts[0]);
    const std::string& block = parts[1];
    fuzz::put(RegisterClipboardFormatA(CharStyle_styl::kFormatName), block);

    std::unique_ptr<CharStyle_styl> first = fuzz::readClipboard<CharStyle_styl>();
    check(first != nullptr);
    // Never more runs than whole elements in the block.
    check(first->count() >= 0 && (block.size() < 6 || static_cast<std::size_t>(first->count()) <= (block.size() - 6) / 20));
    check(!first->selectStyle(first->count()) && !first->selectStyle(-1));

    CharStyle::ClearClipboard();
    fuzz::put(CF_TEXT, first->getText() + '\0');
    check(first->addStyleToClipboard());
    std::unique_ptr<CharStyle_styl> second = fuzz::readClipboard<CharStyle_styl>();
    check(second != nullptr && second->count() == first->count() && second->getText() == first->getText());
    for (std::int32_t k = 0; k < first->count(); ++k) {
        check(first->selectStyle(k) && second->selectStyle(k));
        check(second->charPos(k) == first->charPos(k) && second->getFace() == first->getFace() &&
              second->getSize() == first->getSize() && second->getRGB() == first->getRGB());
    }
    standin::reset();
    return 0;
}
