#include "tools/format_files.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "codepage/byte_utf8_table.h"
#include "codepage/code_page.h"
#include "codepage/utf8.h"
#include "platform/winapi.h"
#include "style/clipboard_blocks.h"
#include "style/clipboard_session.h"
#include "style/two_parts.h"
#include "tools/output_file.h"

#ifndef _WIN32
#include "platform/clipboard_control.h"
#endif

namespace tool {

namespace {

UINT formatOf(const char* formatName) { return formatName != nullptr ? RegisterClipboardFormatA(formatName) : CF_TEXT; }

bool isHighSurrogate(std::uint16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

std::uint16_t unitAt(const clipboard::ByteView& view, std::size_t i) {
    std::uint16_t unit;
    std::memcpy(&unit, view.data + i * sizeof unit, sizeof unit);
    return unit;
}

// The index of the first NUL of the n units at `units`, or n; four units at
// a time while none of them is NUL.
std::size_t firstNul(const std::uint16_t* units, std::size_t n) {
    std::size_t i = 0;
    for (; n - i >= 4; i += 4) {
        std::uint64_t four;
        std::memcpy(&four, units + i, sizeof four);
        if (((four - 0x0001000100010001u) & ~four & 0x8000800080008000u) != 0) break;
    }
    while (i < n && units[i] != 0) ++i;
    return i;
}

// Converts the UTF-16 units of `view` from unit `from` to `to`, or to the
// first NUL, into UTF-8 a piece at a time, and gives each piece to
// `take(bytes, size)`; with `countOnly`, bytes are null and only counted.
// A piece never ends between the halves of a surrogate pair, unless `to`
// does. Answers whether a NUL ended the text.
template <class Take>
bool convertUtf16(const clipboard::ByteView& view, std::size_t from, std::size_t to, const Take& take,
                  bool countOnly = false) {
    constexpr std::size_t kPieceUnits = 1 << 16;
    std::vector<std::uint16_t> units(kPieceUnits);
    std::unique_ptr<char[]> utf8(countOnly ? nullptr : new char[kPieceUnits * 3]);
    for (std::size_t at = from; at < to;) {
        const std::size_t n = std::min(kPieceUnits, to - at);
        // Copied, so that the units are read aligned wherever the block lies.
        std::memcpy(units.data(), view.data + at * sizeof(std::uint16_t), n * sizeof(std::uint16_t));
        std::size_t end = firstNul(units.data(), n);
        const bool nul = end < n;
        if (!nul && at + n < to && n > 1 && isHighSurrogate(units[n - 1])) --end;
        if (end > 0) take(utf8.get(), codepage::utf8FromUtf16(units.data(), end, utf8.get()));
        if (nul) return true;
        at += end;
    }
    return false;
}

// Writes a text of `units` units into the file at `path` as UTF-8, in two
// halves at once when it is large: this thread writes the first, and a
// second counts the first's UTF-8 and writes the other after it, through a
// handle of its own. convert(from, to, take, countOnly) gives the UTF-8 of
// units [from, to) to take(bytes, size) a piece at a time (bytes null when
// only counting), and answers whether a NUL ended the text there; `fits(i)`
// says whether a half may end before unit i.
template <class Convert, class Fits>
FormatWritten writeAsUtf8InHalves(std::size_t units, const Convert& convert, const Fits& fits, const std::string& path,
                                  std::size_t& bytes, std::string& error) {
    OutputFile out(path);
    if (!out.isOpen()) {
        error = "cannot write " + path;
        return FormatWritten::failed;
    }
    // Halved only where the second half's offset, at most three bytes a
    // unit, can be sought to.
    std::size_t half = units >= kTwoPartTextBytes && units <= LONG_MAX / 3 ? units / 2 : units;
    if (half > 0 && half < units && !fits(half)) --half;
    bool ok = true;
    bytes = 0;
    bool secondOk = true;
    std::size_t secondBytes = 0;
    runParts(half < units, [&](int part) {
        if (part == 0) {
            convert(
                0, half,
                [&](const char* p, std::size_t n) {
                    ok = ok && out.write(p, n);
                    bytes += n;
                },
                false);
            return;
        }
        if (half == units) return;
        std::size_t firstBytes = 0;
        if (convert(
                0, half, [&](const char*, std::size_t n) { firstBytes += n; }, true))
            return;
        OutputFile rest(path, firstBytes);
        convert(
            half, units,
            [&](const char* p, std::size_t n) {
                secondOk = secondOk && rest.write(p, n);
                secondBytes += n;
            },
            false);
        secondOk = rest.close() && secondOk;
    });
    ok = ok && secondOk && out.skip(secondBytes);
    bytes += secondBytes;
    ok = out.close() && ok;
    if (!ok) error = "cannot write " + path;
    return ok ? FormatWritten::written : FormatWritten::failed;
}

// Writes UTF-16 text, up to its first NUL, into the file at `path` as UTF-8,
// a piece at a time, so that a large text is not held again in either form.
FormatWritten writeUtf16AsUtf8(const clipboard::ByteView& view, const std::string& path, std::size_t& bytes,
                               std::string& error) {
    return writeAsUtf8InHalves(
        view.size / sizeof(std::uint16_t),
        [&view](std::size_t from, std::size_t to, const auto& take, bool countOnly) {
            return convertUtf16(view, from, to, take, countOnly);
        },
        [&view](std::size_t i) { return !isHighSurrogate(unitAt(view, i - 1)); }, path, bytes, error);
}

// Writes CF_TEXT of a code page that converts a byte at a time, up to its
// first NUL, into the file at `path` as the UTF-8 of the Unicode text
// Windows makes of it: each byte through `table`, which was made through the
// same conversion. No wide copy of the text is made.
FormatWritten writeBytesAsUtf8(const clipboard::ByteView& view, const codepage::ByteUtf8Table& table,
                               const std::string& path, std::size_t& bytes, std::string& error) {
    const char* const text = reinterpret_cast<const char*>(view.data);
    const void* nul = std::memchr(text, '\0', view.size);
    const std::size_t length =
        nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : view.size;
    const auto convert = [&](std::size_t from, std::size_t to, const auto& take, bool countOnly) {
        if (countOnly) {
            take(nullptr, table.utf8Size(text + from, to - from));
            return false;
        }
        constexpr std::size_t kPieceBytes = 1 << 16;
        std::unique_ptr<char[]> utf8(new char[kPieceBytes * 3]);
        for (std::size_t at = from; at < to; at += kPieceBytes)
            take(utf8.get(), table.toUtf8(text + at, std::min(kPieceBytes, to - at), utf8.get()));
        return false;
    };
    return writeAsUtf8InHalves(
        length, convert, [](std::size_t) { return true; }, path, bytes, error);
}

// The table through which CF_TEXT gives the clipboard's Unicode text, when
// that text is the one Windows would make from CF_TEXT, a byte a
// character: the clipboard holds CF_TEXT and no Unicode text of its own,
// and the ANSI code page converts a byte at a time. Null otherwise, and on
// Windows, where only the system knows which texts it makes.
const codepage::ByteUtf8Table* unicodeMadeFromText() {
#ifdef _WIN32
    return nullptr;
#else
    const std::vector<UINT> held = standin::formats();
    const auto holds = [&held](UINT format) { return std::find(held.begin(), held.end(), format) != held.end(); };
    if (holds(CF_UNICODETEXT) || !holds(CF_TEXT)) return nullptr;
    const codepage::ByteUtf8Table& table = codepage::ByteUtf8Table::of(codepage::ansiCodePage());
    return table.usable() ? &table : nullptr;
#endif
}

FormatWritten writeBytes(const clipboard::ByteView& view, const std::string& path, bool upToNul, std::size_t& bytes,
                         std::string& error) {
    const char* p = reinterpret_cast<const char*>(view.data);
    bytes = view.size;
    if (upToNul) {
        const void* nul = std::memchr(p, '\0', bytes);
        if (nul != nullptr) bytes = static_cast<std::size_t>(static_cast<const char*>(nul) - p);
    }
    OutputFile out(path);
    const bool ok = out.write(p, bytes) && out.close();
    if (!ok) error = "cannot write " + path;
    return ok ? FormatWritten::written : FormatWritten::failed;
}

}  // namespace

std::vector<FormatFileResult> writeFormatsToFiles(const std::vector<FormatFile>& files) {
    std::vector<FormatFileResult> results(files.size());
    clipboard::OpenedClipboard open;
    if (!open.isOpen()) {
        for (FormatFileResult& r : results) {
            r.written = FormatWritten::failed;
            r.error = "cannot open the clipboard";
        }
        return results;
    }
    // Blocks are taken on this thread, which has the clipboard open, as
    // Windows requires; once locked, any thread may read them.
    std::vector<std::unique_ptr<clipboard::LockedBlock>> blocks(files.size());
    // The Unicode text that Windows would make from CF_TEXT is written from CF_TEXT itself.
    const codepage::ByteUtf8Table* const madeFromText = unicodeMadeFromText();
    const auto take = [&](std::size_t i) noexcept {
        const UINT format =
            files[i].unicodeText ? (madeFromText != nullptr ? CF_TEXT : CF_UNICODETEXT) : formatOf(files[i].formatName);
        if (!IsClipboardFormatAvailable(format)) return;
        try {
            blocks[i] = std::make_unique<clipboard::LockedBlock>(format);
        } catch (const std::bad_alloc&) {
            results[i].written = FormatWritten::failed;
            results[i].error = "out of memory";  // short enough to need no allocation
        }
    };
    const auto write = [&](std::size_t i) noexcept {
        FormatFileResult& r = results[i];
        try {
            if (!blocks[i] || blocks[i]->view().data == nullptr) return;
            const FormatFile& f = files[i];
            const clipboard::ByteView& view = blocks[i]->view();
            if (!f.unicodeText)
                r.written = writeBytes(view, f.path, f.upToNul, r.bytes, r.error);
            else if (madeFromText != nullptr)
                r.written = writeBytesAsUtf8(view, *madeFromText, f.path, r.bytes, r.error);
            else
                r.written = writeUtf16AsUtf8(view, f.path, r.bytes, r.error);
        } catch (const std::bad_alloc&) {
            r.written = FormatWritten::failed;
            r.error = "out of memory";
        }
    };
    // A second thread writes the files of plain blocks while this one takes
    // the Unicode text, which Windows may have to make from CF_TEXT first,
    // and converts it; then both share what is left.
    std::vector<std::size_t> plain;
    for (std::size_t i = 0; i < files.size(); ++i)
        if (!files[i].unicodeText) {
            take(i);
            plain.push_back(i);
        }
    std::atomic<std::size_t> next{0};
    const auto writePlain = [&]() noexcept {
        for (std::size_t k; (k = next.fetch_add(1)) < plain.size();) write(plain[k]);
    };
    std::thread helper;
    try {
        helper = std::thread(writePlain);
    } catch (const std::system_error&) {
        // no thread to be had: this one writes them all
    }
    for (std::size_t i = 0; i < files.size(); ++i)
        if (files[i].unicodeText) {
            take(i);
            write(i);
        }
    writePlain();
    if (helper.joinable()) helper.join();
    return results;
}

}  // namespace tool
