#include "tools/clipboard_files.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "html/cf_html.h"
#include "platform/winapi.h"
#include "style/CharStyle.h"
#include "style/CharStyle_HTML.h"
#include "style/clipboard_blocks.h"
#include "style/clipboard_session.h"

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

}  // namespace tool
