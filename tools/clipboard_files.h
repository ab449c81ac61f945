// Moving files onto the clipboard and clipboard formats into files, for the
// command-line tool.
#pragma once

#include <string>
#include <vector>

namespace tool {

// Reads a whole file; false, with `error` set, when it cannot.
bool readFile(const std::string& path, std::string& bytes, std::string& error);
bool writeFile(const std::string& path, const std::string& bytes, std::string& error);

// Empties the clipboard; false when it cannot be opened.
bool emptyClipboard();
// Adds `bytes` under the format, named ("Mac-FMcs") or standard (`CF_TEXT`).
bool putOnClipboard(const char* formatName, const std::string& bytes);
bool putTextOnClipboard(const std::string& bytes);
// The bytes held for a format, whole; false when it is absent.
bool clipboardBytes(const char* formatName, std::string& bytes);
bool clipboardTextBytes(std::string& bytes);

// `bytes` up to its first NUL.
std::string upToNul(const std::string& bytes);

}  // namespace tool
