// Moving files onto the clipboard, for the command-line tool. Bytes go
// straight from a file into a clipboard block, with no copy in between: a
// document of many megabytes costs its block only.
// Each call opens the clipboard through the active clipboard::Session, waiting
// a while for other programs; one session around several calls makes them
// one use of the clipboard (style/clipboard_session.h).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

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

}  // namespace tool
