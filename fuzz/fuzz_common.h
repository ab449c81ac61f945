// Shared by the fuzz targets: splitting one input into several parts and
// putting bytes on the stand-in clipboard.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/clipboard_control.h"

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
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (h == nullptr) return;
    void* p = GlobalLock(h);
    if (p != nullptr && !bytes.empty()) std::memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(h);
    if (!OpenClipboard(nullptr)) {
        GlobalFree(h);
        return;
    }
    if (SetClipboardData(format, h) == nullptr) GlobalFree(h);
    CloseClipboard();
}

}  // namespace fuzz
