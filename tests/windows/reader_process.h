// The real-world comparison's readings, each made by realworld_rtf_reader in
// a process of its own, and the documents it reads.
#pragma once

#include <string>
#include <vector>

#include "windows/realworld_reading.h"

namespace realworld {

// A reader process that takes longer than this is taken for hung and ended.
constexpr unsigned long kReaderTimeoutMs = 120 * 1000;

// Runs realworld_rtf_reader MODE DOCUMENT; a reader that crashed, hung or
// wrote nothing gives a reading whose status says so.
Reading runReader(const std::string& mode, const std::string& document, unsigned long timeoutMs = kReaderTimeoutMs);

// Adds the paths of the .rtf files under `folder`, each as PREFIX + its path
// below the folder.
void listDocuments(const std::string& folder, const std::string& prefix, std::vector<std::string>& out);

std::string readWholeFile(const std::string& path);

// The locale named by LC_ALL or LANG, as the C library takes it: under Wine
// the session's ANSI code page follows it.
std::string sessionLocale();

}  // namespace realworld
