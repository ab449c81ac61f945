// The RTF reader and the RTF container on arbitrary bytes. Beyond "no crash",
// it checks that the length-bounded reading agrees with the NUL-terminated
// one and with the run-at-a-time one, and that whatever the container writes
// reads back as its own text.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/clipboard_control.h"
#include "rtf/RTF.h"
#include "style/CharStyle_RTF.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

struct Digest {
    std::uint64_t count = 0;
    std::uint64_t hash = 1469598103934665603ull;
};

// Adds one character; answers the callback's result, which sometimes ends the parse.
std::int32_t digestOne(Digest& digest, std::int32_t ch, const doc_prop& dop, const sect_prop& sep, const para_prop& pap,
                       const char_prop& chp) {
    ++digest.count;
    const std::uint64_t value = static_cast<std::uint32_t>(ch & 0xFF) ^ (static_cast<std::uint64_t>(chp.iColour) << 8) ^
                                (static_cast<std::uint64_t>(static_cast<std::uint32_t>(chp.iFontSize)) << 32) ^
                                static_cast<std::uint64_t>(chp.fBold + 3 * pap.just + 5 * sep.sbk + 7 * dop.fFacingp);
    digest.hash = (digest.hash ^ value) * 1099511628211ull;
    return digest.count == 1000 ? 77 : 0;
}

std::int32_t digestChar(std::int32_t ch, void* data, doc_prop dop, sect_prop sep, para_prop pap, char_prop chp) {
    return digestOne(*static_cast<Digest*>(data), ch, dop, sep, pap, chp);
}

std::int32_t digestRun(const char* pch, std::size_t cch, void* data, const doc_prop& dop, const sect_prop& sep,
                       const para_prop& pap, const char_prop& chp) {
    check(cch > 0);
    for (std::size_t i = 0; i < cch; ++i) {
        const std::int32_t ec =
            digestOne(*static_cast<Digest*>(data), static_cast<unsigned char>(pch[i]), dop, sep, pap, chp);
        if (ec != 0) return ec;
    }
    return 0;
}

std::string withoutLineEnds(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != '\r' && c != '\n') out += c;
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The system's code page, single- or double-byte, chosen by the input's
    // size so that every input keeps its meaning.
    static const UINT kAnsiCodePages[] = {1252, 1251, 932, 936, 1253};
    standin::setAnsiCodePage(kAnsiCodePages[size % (sizeof kAnsiCodePages / sizeof kAnsiCodePages[0])]);

    // An allocation of exactly the input's size, so that any over-read shows.
    std::unique_ptr<char[]> block(new char[size ? size : 1]);
    if (size > 0) std::memcpy(block.get(), data, size);

    Digest bounded;
    const std::int32_t ecBounded = ecRtfParse(block.get(), size, digestChar, &bounded);

    const void* nul = size > 0 ? std::memchr(block.get(), '\0', size) : nullptr;
    const std::size_t length =
        nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - block.get()) : size;
    const std::string terminated(block.get(), length);
    Digest whole;
    const std::int32_t ecWhole = ecRtfParse(terminated.c_str(), digestChar, &whole);
    check(ecBounded == ecWhole && bounded.count == whole.count && bounded.hash == whole.hash);

    Digest runs;
    const std::int32_t ecRuns = ecRtfParseText(block.get(), size, digestRun, &runs);
    check(ecBounded == ecRuns && bounded.count == runs.count && bounded.hash == runs.hash);

    CharStyle_RTF read(block.get(), size);
    const std::string text = read.getText();
    const std::string written = read.getRTF();
    if (read.count() > 0 && text.find('\0') == std::string::npos) {
        // A generated document is one line, parses cleanly, and gives the text back.
        check(written.find_first_of("\r\n") == std::string::npos);
        CharStyle_RTF again(written.c_str());
        check(!again.parsingError());
        check(withoutLineEnds(again.getText()) == withoutLineEnds(text));
    }
    return 0;
}
