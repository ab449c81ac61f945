#include "tools/clipboard_files.h"

#include <cstring>
#include <fstream>

#include "platform/winapi.h"

namespace tool {

bool readFile(const std::string& path, std::string& bytes, std::string& error) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    // Sized once, with room for the NUL a caller may add: a large document
    // read by growing steps would briefly take three times its size.
    const std::streamoff size = in.tellg();
    in.seekg(0);
    bytes.clear();
    bytes.reserve(static_cast<size_t>(size) + 1);
    bytes.resize(static_cast<size_t>(size));
    if (size > 0) in.read(&bytes[0], size);
    if (in.bad() || in.gcount() != size) {
        error = "error while reading " + path;
        return false;
    }
    return true;
}

bool writeFile(const std::string& path, const std::string& bytes, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool emptyClipboard() {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    CloseClipboard();
    return true;
}

namespace {

bool put(UINT format, const std::string& bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (block == nullptr) return false;
    void* p = GlobalLock(block);
    if (p == nullptr) {
        GlobalFree(block);
        return false;
    }
    if (!bytes.empty()) std::memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(block);
    if (!OpenClipboard(nullptr)) {
        GlobalFree(block);
        return false;
    }
    const bool set = SetClipboardData(format, block) != nullptr;
    if (!set) GlobalFree(block);
    CloseClipboard();
    return set;
}

bool get(UINT format, std::string& bytes) {
    if (!OpenClipboard(nullptr)) return false;
    bool found = false;
    HANDLE block = GetClipboardData(format);
    if (block != nullptr) {
        const void* p = GlobalLock(block);
        if (p != nullptr) {
            bytes.assign(static_cast<const char*>(p), GlobalSize(block));
            GlobalUnlock(block);
            found = true;
        }
    }
    CloseClipboard();
    return found;
}

}  // namespace

bool putOnClipboard(const char* formatName, const std::string& bytes) {
    return put(RegisterClipboardFormatA(formatName), bytes);
}

bool putTextOnClipboard(const std::string& bytes) { return put(CF_TEXT, bytes); }

bool clipboardBytes(const char* formatName, std::string& bytes) {
    const UINT format = RegisterClipboardFormatA(formatName);
    return IsClipboardFormatAvailable(format) && get(format, bytes);
}

bool clipboardTextBytes(std::string& bytes) { return IsClipboardFormatAvailable(CF_TEXT) && get(CF_TEXT, bytes); }

std::string upToNul(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')); }

}  // namespace tool
