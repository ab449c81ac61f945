// A file that a result is written into. An existing file is written over in
// place and cut to the new length when closed, instead of being truncated
// to nothing first: ext4 flushes a file that was truncated to nothing and
// written again when it is closed, and frees its old blocks on the way, so
// writing the results of a conversion over those of the last one took
// longer than writing them afresh. What the file holds in the end is the
// same either way, on failure too: what was written, and nothing after it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace tool {

class OutputFile {
  public:
    // Writes from the file's start, or from byte `from` for a part of the
    // file that another OutputFile writes the rest of, at once; the file
    // must then exist already, and `from` be at most LONG_MAX.
    explicit OutputFile(std::string path, std::size_t from = 0);
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    // Closes the file, if close() has not, ignoring errors.
    ~OutputFile();

    bool isOpen() const { return file_ != nullptr; }
    // Appends `size` bytes; false when the file is not open or a write
    // failed, after which the file takes nothing more.
    bool write(const void* data, std::size_t size);
    // Moves past `size` bytes that another OutputFile wrote, which the file
    // then keeps when it is cut.
    bool skip(std::size_t size);
    // Closes the file and cuts it after what was written and skipped; true
    // when the file opened and every write, the close and the cut worked.
    bool close();

  private:
    std::string path_;
    std::FILE* file_ = nullptr;
    bool overwriting_ = false;  // the file existed: its old bytes may reach past the new ones
    bool failed_ = false;
    std::size_t end_ = 0;  // where the next write goes
};

}  // namespace tool
