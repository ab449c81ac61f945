// Shared by the fuzz targets: splitting one input into several parts,
// putting bytes on the stand-in clipboard, and checking what was read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/clipboard_control.h"
#include "style/CharStyle.h"
#include "style/clipboard_blocks.h"

namespace fuzz {

// Splits the input at each occurrence of the separator "\xFF\xFE|" into at
// most `parts` pieces; missing pieces are empty. Lets one input carry the
// text and each clipboard block separately, and lets a dictionary find them.
inline std::vector<std::string> split(const std::uint8_t* data, std::size_t size, std::size_t parts) {
    static const char kSeparator[] = "\xFF\xFE|";
    constexpr std::size_t kSeparatorLength = 3;
    std::vector<std::string> out;
    std::string all(reinterpret_cast<const char*>(data), size);
    std::size_t from = 0;
    while (out.size() + 1 < parts) {
        std::size_t at = all.find(kSeparator, from, kSeparatorLength);
        if (at == std::string::npos) break;
        out.push_back(all.substr(from, at - from));
        from = at + kSeparatorLength;
    }
    out.push_back(all.substr(from));
    out.resize(parts);
    return out;
}

// Adds `bytes` to the clipboard under `format` as one block of exactly that size.
inline void put(UINT format, const std::string& bytes) {
    HGLOBAL h = clipboard::newBlockCopy(bytes.data(), bytes.size());
    if (h == nullptr) return;
    if (!OpenClipboard(nullptr)) {
        GlobalFree(h);
        return;
    }
    if (SetClipboardData(format, h) == nullptr) GlobalFree(h);
    CloseClipboard();
}

// Stops the run when `ok` is false, so the fuzzer records the input.
inline void check(bool ok) {
    if (!ok) std::abort();
}

// Selects every run of `c` and asks each query once, so a sanitizer sees
// every read they make; checks that no run past either end can be selected.
inline void queryEveryRun(CharStyle& c) {
    for (std::int32_t k = 0; k < c.count(); ++k) {
        check(c.selectStyle(k));
        volatile std::uint32_t sink = c.getRGB() ^ static_cast<std::uint16_t>(c.getFace()) ^ c.getRed() ^
                                      static_cast<std::uint32_t>(c.getSize()) ^
                                      static_cast<std::uint32_t>(c.charPos(k));
        (void)sink;
    }
    check(!c.selectStyle(c.count()) && !c.selectStyle(-1));
}

// Reads a container of class `Container` off the clipboard; checks that the
// read closed the clipboard and left no block unowned, whatever it answered.
template <typename Container>
std::unique_ptr<Container> readClipboard() {
    std::unique_ptr<Container> c(Container::InitFromClipboard());
    check(!standin::isOpen() && standin::orphanBlocks() == 0);
    return c;
}

}  // namespace fuzz
