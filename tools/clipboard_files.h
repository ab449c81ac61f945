// Moving files onto the clipboard and clipboard formats into files, for the
// command-line tool. Bytes go straight between a file and a clipboard block,
// with no copy in between: a document of many megabytes costs its block only.
// Each call opens the clipboard through the active clipboard::Session, waiting
// a while for other programs; one session around several calls makes them
// one use of the clipboard (style/clipboard_session.h).
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace tool {

// Empties the clipboard; false when it cannot be opened.
bool emptyClipboard();

// Adds the bytes of the file at `path` under the format, named ("Mac-FMcs") or,
// for a null name, CF_TEXT; with `addNul` the block ends in a NUL. False, with
// `error` set, when the file cannot be read or the clipboard cannot take it.
bool putFileOnClipboard(const char* formatName, const std::string& path, bool addNul, std::string& error);

// Adds the file at `path` as "HTML Format": as it is when it starts with a
// header ("Version:"), otherwise wrapped in one with the whole file as the fragment;
// with a terminating NUL either way. False, with `error` set, on failure.
bool putHtmlFileOnClipboard(const std::string& path, std::string& error);

// Adds the file at `path`, UTF-8, as CF_UNICODETEXT with its terminating NUL.
// False, with `error` set, when it cannot be read or put.
bool putUnicodeFileOnClipboard(const std::string& path, std::string& error);

// What writing one clipboard format into a file did.
enum class FormatWritten { absent, written, failed };

// Writes the block the clipboard holds under the format (a null name:
// CF_TEXT) into the file at `path`, up to its first NUL with `upToNul`;
// `bytes` is the number written. Writes nothing when the format is absent.
FormatWritten writeFormatToFile(const char* formatName, const std::string& path, bool upToNul, std::size_t& bytes,
                                std::string& error);

// Writes the clipboard's CF_UNICODETEXT, up to its first NUL, into a file
// as UTF-8, converted and written on a thread of its own while the caller
// writes the other formats: converting is the slowest of the writes. The
// block is taken from the clipboard on construction, on the thread that has
// it open, and stays locked until finish().
class UnicodeFileWriter {
  public:
    explicit UnicodeFileWriter(std::string path);
    UnicodeFileWriter(const UnicodeFileWriter&) = delete;
    UnicodeFileWriter& operator=(const UnicodeFileWriter&) = delete;
    ~UnicodeFileWriter();

    // Waits for the file; `bytes` is the number written. Writes nothing when
    // the clipboard holds no Unicode text.
    FormatWritten finish(std::size_t& bytes, std::string& error);

  private:
    struct Work;
    std::unique_ptr<Work> work_;
};

}  // namespace tool
