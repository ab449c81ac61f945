#include "tools/output_file.h"

#include <climits>
#include <cstdint>
#include <filesystem>
#include <system_error>
#include <utility>

namespace tool {

OutputFile::OutputFile(std::string path, std::size_t from) : path_(std::move(path)), end_(from) {
    file_ = std::fopen(path_.c_str(), "r+b");
    overwriting_ = file_ != nullptr;
    if (file_ == nullptr && from == 0) file_ = std::fopen(path_.c_str(), "wb");
    if (from > 0 && file_ != nullptr && (from > LONG_MAX || std::fseek(file_, static_cast<long>(from), SEEK_SET) != 0)) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

OutputFile::~OutputFile() {
    if (file_ != nullptr) close();
}

bool OutputFile::write(const void* data, std::size_t size) {
    if (file_ == nullptr || failed_) return false;
    if (size > 0 && std::fwrite(data, 1, size, file_) != size) {
        failed_ = true;
        return false;
    }
    end_ += size;
    return true;
}

bool OutputFile::skip(std::size_t size) {
    if (file_ == nullptr || failed_) return false;
    if (end_ + size > LONG_MAX || std::fseek(file_, static_cast<long>(end_ + size), SEEK_SET) != 0) {
        failed_ = true;
        return false;
    }
    end_ += size;
    return true;
}

bool OutputFile::close() {
    if (file_ == nullptr) return false;
    bool ok = std::fclose(file_) == 0 && !failed_;
    file_ = nullptr;
    if (overwriting_ || failed_) {
        // Old bytes past the new ones go, and so does the part of a failed
        // write that reached the file. A file shorter than what was written
        // (its last bytes not flushed) stays so: cutting would pad it.
        std::error_code ec;
        const std::uintmax_t size = std::filesystem::file_size(path_, ec);
        if (!ec && size > end_) std::filesystem::resize_file(path_, end_, ec);
        ok = ok && !ec;
    }
    return ok;
}

}  // namespace tool
