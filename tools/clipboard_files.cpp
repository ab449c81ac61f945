#include "tools/clipboard_files.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "codepage/utf8.h"
#include "html/cf_html.h"
#include "platform/winapi.h"
#include "style/CharStyle.h"
#include "style/CharStyle_HTML.h"
#include "style/clipboard_blocks.h"
#include "style/clipboard_session.h"
#include "style/two_parts.h"
#include "tools/output_file.h"

namespace tool {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

UINT formatOf(const char* formatName) { return formatName != nullptr ? RegisterClipboardFormatA(formatName) : CF_TEXT; }

// Answers the size of an open file, or -1 when it has none (a pipe, say).
long fileSize(std::FILE* f) {
    if (std::fseek(f, 0, SEEK_END) != 0) return -1;
    const long size = std::ftell(f);
    if (std::fseek(f, 0, SEEK_SET) != 0) return -1;
    return size;
}

// Opens `path` for reading and sets `size` to its size; answers no file, with
// `error` saying why, for a folder or a file that cannot be read.
File openInput(const std::string& path, long& size, std::string& error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = path + " is a folder, not a file";
        return File();
    }
    File in(std::fopen(path.c_str(), "rb"));
    size = in ? fileSize(in.get()) : -1;
    if (size < 0) {
        error = "cannot read " + path;
        return File();
    }
    return in;
}

}  // namespace

bool emptyClipboard() {
    clipboard::OpenedClipboard open(clipboard::Purpose::writing);
    if (!open.isOpen()) return false;
    EmptyClipboard();
    return true;
}

bool putFileOnClipboard(const char* formatName, const std::string& path, bool addNul, std::string& error) {
    long size = -1;
    File in = openInput(path, size, error);
    if (!in) return false;
    const std::size_t blockSize = static_cast<std::size_t>(size) + (addNul ? 1 : 0);
    bool readFailed = false;
    HGLOBAL block = clipboard::newFilledBlock(blockSize, [&](unsigned char* p) {
        const std::size_t read = std::fread(p, 1, static_cast<std::size_t>(size), in.get());
        if (addNul) p[size] = '\0';
        readFailed = read != static_cast<std::size_t>(size);
        return !readFailed;
    });
    if (block == nullptr) {
        error = readFailed ? "error while reading " + path
                           : "no memory for the " + std::to_string(size) + " bytes of " + path;
        return false;
    }
    if (!CharStyle::addBlockToClipboard(block, formatOf(formatName))) {
        error = "cannot put " + path + " on the clipboard";
        return false;
    }
    return true;
}

bool putHtmlFileOnClipboard(const std::string& path, std::string& error) {
    long size = -1;
    File in = openInput(path, size, error);
    if (!in) return false;
    // A file that starts as the header does goes as it is, valid or not, so
    // that the reader's checks of a header can be tried on files; it is read
    // straight into its block.
    char start[8] = {};
    const std::size_t peeked = std::fread(start, 1, sizeof start, in.get());
    if (peeked == sizeof start && std::memcmp(start, "Version:", sizeof start) == 0) {
        in.reset();
        return putFileOnClipboard(CharStyle_HTML::kFormatName, path, true, error);
    }
    if (std::fseek(in.get(), 0, SEEK_SET) != 0) {
        error = "cannot read " + path;
        return false;
    }
    std::string contents(static_cast<std::size_t>(size), '\0');
    if (size > 0 && std::fread(&contents[0], 1, contents.size(), in.get()) != contents.size()) {
        error = "error while reading " + path;
        return false;
    }
    contents = html::makeCfHtml(contents);
    if (contents.size() >= 0xFFFFFFFFu ||
        !CharStyle::addToClipboard(contents.c_str(), static_cast<std::uint32_t>(contents.size() + 1),
                                   CharStyle_HTML::kFormatName)) {
        error = "cannot put " + path + " on the clipboard";
        return false;
    }
    return true;
}

bool putUnicodeFileOnClipboard(const std::string& path, std::string& error) {
    long size = -1;
    File in = openInput(path, size, error);
    if (!in) return false;
    std::string utf8(static_cast<std::size_t>(size), '\0');
    if (size > 0 && std::fread(&utf8[0], 1, utf8.size(), in.get()) != utf8.size()) {
        error = "error while reading " + path;
        return false;
    }
    if (utf8.size() > static_cast<std::size_t>(INT_MAX / 2)) {
        error = path + " is too large for the clipboard's Unicode text";
        return false;
    }
    const int units =
        utf8.empty() ? 0 : MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    HGLOBAL block =
        clipboard::newFilledBlock((static_cast<std::size_t>(units) + 1) * sizeof(WCHAR), [&](unsigned char* p) {
            WCHAR* wide = reinterpret_cast<WCHAR*>(p);
            if (units > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide, units);
            wide[units] = 0;
            return true;
        });
    if (block == nullptr || !CharStyle::addBlockToClipboard(block, CF_UNICODETEXT)) {
        error = "cannot put " + path + " on the clipboard";
        return false;
    }
    return true;
}

namespace {

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

// Writes UTF-16 text, up to its first NUL, into the file at `path` as UTF-8,
// a piece at a time, so that a large text is not held again in either form.
// A large text is written in two halves at once: this thread writes the
// first, and a second counts the first's UTF-8 and writes the other after
// it, through a handle of its own.
FormatWritten writeUtf16AsUtf8(const clipboard::ByteView& view, const std::string& path, std::size_t& bytes,
                               std::string& error) {
    OutputFile out(path);
    if (!out.isOpen()) {
        error = "cannot write " + path;
        return FormatWritten::failed;
    }
    const std::size_t units = view.size / sizeof(std::uint16_t);
    // Halved only where the second half's offset, at most three bytes a
    // unit, can be sought to.
    std::size_t half = units >= kTwoPartTextBytes && units <= LONG_MAX / 3 ? units / 2 : units;
    if (half > 0 && half < units && isHighSurrogate(unitAt(view, half - 1))) --half;
    bool ok = true;
    bytes = 0;
    bool secondOk = true;
    std::size_t secondBytes = 0;
    runParts(half < units, [&](int part) {
        if (part == 0) {
            convertUtf16(view, 0, half, [&](const char* p, std::size_t n) {
                ok = ok && out.write(p, n);
                bytes += n;
            });
            return;
        }
        if (half == units) return;
        std::size_t firstBytes = 0;
        if (convertUtf16(
                view, 0, half, [&](const char*, std::size_t n) { firstBytes += n; }, true))
            return;
        OutputFile rest(path, firstBytes);
        convertUtf16(view, half, units, [&](const char* p, std::size_t n) {
            secondOk = secondOk && rest.write(p, n);
            secondBytes += n;
        });
        secondOk = rest.close() && secondOk;
    });
    ok = ok && secondOk && out.skip(secondBytes);
    bytes += secondBytes;
    ok = out.close() && ok;
    if (!ok) error = "cannot write " + path;
    return ok ? FormatWritten::written : FormatWritten::failed;
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
    const auto take = [&](std::size_t i) noexcept {
        const UINT format = files[i].unicodeText ? CF_UNICODETEXT : formatOf(files[i].formatName);
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
            r.written = f.unicodeText ? writeUtf16AsUtf8(blocks[i]->view(), f.path, r.bytes, r.error)
                                      : writeBytes(blocks[i]->view(), f.path, f.upToNul, r.bytes, r.error);
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
