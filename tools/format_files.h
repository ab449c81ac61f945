// Writing clipboard formats into files, for the command-line tool. Bytes go
// straight from a clipboard block into a file, with no copy in between; text
// is converted to UTF-8 a piece at a time. The clipboard is opened through
// the active clipboard::Session, waiting a while for other programs
// (style/clipboard_session.h).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tool {

// What writing one clipboard format into a file did.
enum class FormatWritten { absent, written, failed };

// One clipboard format to write into a file: the block registered under
// `formatName` (null: CF_TEXT), up to its first NUL with `upToNul`; or, with
// `unicodeText`, CF_UNICODETEXT up to its first NUL, as UTF-8.
struct FormatFile {
    const char* formatName = nullptr;
    bool upToNul = false;
    bool unicodeText = false;
    std::string path;
};

// What writing one format did; `bytes` is the number written.
struct FormatFileResult {
    FormatWritten written = FormatWritten::absent;
    std::size_t bytes = 0;
    std::string error;
};

// Writes each format the clipboard holds into its file, in one opening of
// the clipboard and on two threads: a large copy's files take about as long
// as converting it. A format the clipboard lacks writes nothing. Answers one
// result for each of `files`, in their order.
std::vector<FormatFileResult> writeFormatsToFiles(const std::vector<FormatFile>& files);

}  // namespace tool
