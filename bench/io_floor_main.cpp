// io_floor: what the whole-process conversion costs with no conversion at
// all. Reads a document into fresh memory, as the tool puts it on the
// clipboard, then writes files of the sizes a real run produced, each from
// fresh memory, as the tool writes the clipboard's results, and into files
// opened as the tool opens its own. Its time is the
// least any program doing that job can take on this machine; the comparison
// script prints it beside the readers.
// usage: styledtext_iofloor DOCUMENT RESULTS_DIR OUT_DIR
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tools/huge_pages.h"
#include "tools/output_file.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: styledtext_iofloor DOCUMENT RESULTS_DIR OUT_DIR\n", stderr);
        return 2;
    }
    std::error_code ec;
    const auto documentSize = fs::file_size(argv[1], ec);
    if (ec) {
        std::fprintf(stderr, "styledtext_iofloor: cannot read %s\n", argv[1]);
        return 1;
    }
    tool::takeHeapOnHugePages(8 * documentSize);  // its memory taken as the tool takes its own
    std::unique_ptr<char[]> document(new char[documentSize + 1]);
    std::FILE* in = std::fopen(argv[1], "rb");
    const bool read = in != nullptr && std::fread(document.get(), 1, documentSize, in) == documentSize;
    if (in != nullptr) std::fclose(in);
    if (!read) {
        std::fprintf(stderr, "styledtext_iofloor: cannot read %s\n", argv[1]);
        return 1;
    }
    document[documentSize] = '\0';

    fs::create_directories(argv[3], ec);
    unsigned checksum = static_cast<unsigned char>(document[documentSize / 2]);
    for (const auto& entry : fs::directory_iterator(argv[2], ec)) {
        if (!entry.is_regular_file()) continue;
        const auto size = entry.file_size();
        std::unique_ptr<char[]> result(new char[size]);
        std::memset(result.get(), 'x', size);
        const std::string path = (fs::path(argv[3]) / entry.path().filename()).string();
        tool::OutputFile out(path);
        if (!out.write(result.get(), size) || !out.close()) {
            std::fprintf(stderr, "styledtext_iofloor: cannot write %s\n", path.c_str());
            return 1;
        }
        checksum += static_cast<unsigned char>(result[size / 2]);
    }
    return checksum == 0 ? 3 : 0;
}
