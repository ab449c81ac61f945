// What reader tests share: the system's ANSI code page a case runs in, and
// the text and the foreign characters a parse tells of (ecRtfParseText).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "rtf/RTF.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/clipboard_control.h"
#endif

namespace rtftest {

// Makes `cp` the ANSI code page; answers false where it cannot be made so
// (under Wine the session's code page is fixed).
inline bool useAnsiCodePage(unsigned cp) {
#ifdef _WIN32
    return GetACP() == cp;
#else
    standin::setAnsiCodePage(cp);
    return true;
#endif
}

// A character the ANSI code page lacks, told after its fallback.
struct Foreign {
    std::size_t at;  // where its fallback starts in the text
    std::size_t cchFallback;
    std::uint32_t codePoint;
};

struct Told {
    std::string text;
    std::vector<Foreign> foreign;
};

inline std::int32_t appendText(const char* pch, std::size_t cch, void* data, const doc_prop&, const sect_prop&,
                               const para_prop&, const char_prop&) {
    static_cast<Told*>(data)->text.append(pch, cch);
    return 0;
}

inline std::int32_t noteForeign(std::uint32_t codePoint, std::size_t cchFallback, void* data) {
    Told* told = static_cast<Told*>(data);
    told->foreign.push_back({told->text.size() - cchFallback, cchFallback, codePoint});
    return 0;
}

// Where each foreign character's fallback starts, and what it stands for.
inline std::vector<std::pair<std::size_t, std::uint32_t>> positionsOf(const std::vector<Foreign>& foreign) {
    std::vector<std::pair<std::size_t, std::uint32_t>> out;
    for (const Foreign& f : foreign) out.emplace_back(f.at, f.codePoint);
    return out;
}

}  // namespace rtftest
