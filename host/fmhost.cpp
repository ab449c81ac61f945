// fmhost: a host emulator. Loads a plug-in, sends it the lifecycle messages
// and calls its registered functions, printing what it answers.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/plugin_driver.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const char kUsage[] =
    "usage: fmhost PLUGIN COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  list [--version N]          initialise (interface version N, default 50), list the\n"
    "                              registered functions, shut down\n"
    "  string ID CAPACITY          get string ID into a buffer of CAPACITY UTF-16 units\n"
    "  call NAME [--version N]     initialise, call function NAME with no parameters, shut down\n"
    "  idle LEVEL                  send the idle message\n"
    "  raw WHICHCALL               send message WHICHCALL with nothing else set\n"
    "  version                     print PLUGIN's version resource (Windows only)\n";

bool parseLong(const char* s, long& out) {
    char* end = nullptr;
    out = std::strtol(s, &end, 0);
    return end != s && *end == '\0';
}

int usageError(const char* why) {
    std::fprintf(stderr, "fmhost: %s\n\n%s", why, kUsage);
    return 2;
}

// Reads "--version N" at argv[i], if there; answers false on a malformed one.
bool versionOption(int argc, char** argv, int i, long& version) {
    if (i >= argc) return true;
    if (std::strcmp(argv[i], "--version") != 0 || i + 1 >= argc) return false;
    return parseLong(argv[i + 1], version);
}

void printFunctions() {
    FMHost_FunctionInfo info;
    for (int i = 0; i < FMHost_FunctionCount(); ++i) {
        if (!FMHost_FunctionAt(i, &info)) continue;
        std::u16string name, prototype;
        for (const fmx::unichar16* p = info.name; *p; ++p) name.push_back(static_cast<char16_t>(*p));
        for (const fmx::unichar16* p = info.prototype; *p; ++p) prototype.push_back(static_cast<char16_t>(*p));
        std::printf("%d\t%s\t%s\t%d\t%d\t0x%04X\n", info.functionId, fmhost::toUtf8(name).c_str(),
                    fmhost::toUtf8(prototype).c_str(), info.minArgs, info.maxArgs, info.flags);
    }
}

#ifdef _WIN32
// One string of the version resource's US English, Unicode block; empty when absent.
std::string versionString(const std::vector<char>& info, const wchar_t* name) {
    std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    void* value = nullptr;
    UINT units = 0;
    if (!VerQueryValueW(info.data(), path.c_str(), &value, &units) || value == nullptr) return "";
    std::u16string text;
    for (const wchar_t* p = static_cast<const wchar_t*>(value); *p; ++p) text.push_back(static_cast<char16_t>(*p));
    return fmhost::toUtf8(text);
}

// Prints the numeric file and product versions and their strings.
int printVersionResource(const char* path) {
    std::wstring wide;
    for (const char* p = path; *p; ++p) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
    DWORD size = GetFileVersionInfoSizeW(wide.c_str(), nullptr);
    std::vector<char> info(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (size == 0 || !GetFileVersionInfoW(wide.c_str(), 0, size, info.data()) ||
        !VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) || fixed == nullptr ||
        fixedSize < sizeof *fixed) {
        std::fprintf(stderr, "fmhost: %s has no version resource (error %lu)\n", path,
                     static_cast<unsigned long>(GetLastError()));
        return 1;
    }
    std::printf("file version: %lu.%lu.%lu.%lu\n", static_cast<unsigned long>(HIWORD(fixed->dwFileVersionMS)),
                static_cast<unsigned long>(LOWORD(fixed->dwFileVersionMS)),
                static_cast<unsigned long>(HIWORD(fixed->dwFileVersionLS)),
                static_cast<unsigned long>(LOWORD(fixed->dwFileVersionLS)));
    std::printf("product version: %lu.%lu.%lu.%lu\n", static_cast<unsigned long>(HIWORD(fixed->dwProductVersionMS)),
                static_cast<unsigned long>(LOWORD(fixed->dwProductVersionMS)),
                static_cast<unsigned long>(HIWORD(fixed->dwProductVersionLS)),
                static_cast<unsigned long>(LOWORD(fixed->dwProductVersionLS)));
    std::printf("FileVersion: %s\n", versionString(info, L"FileVersion").c_str());
    std::printf("ProductVersion: %s\n", versionString(info, L"ProductVersion").c_str());
    std::printf("ProductName: %s\n", versionString(info, L"ProductName").c_str());
    std::printf("OriginalFilename: %s\n", versionString(info, L"OriginalFilename").c_str());
    return 0;
}
#endif

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc < 3) return usageError("missing plug-in or command");

    if (std::strcmp(argv[2], "version") == 0) {
        if (argc != 3) return usageError("version takes no arguments");
#ifdef _WIN32
        return printVersionResource(argv[1]);
#else
        std::fprintf(stderr, "fmhost: version resources exist only in Windows modules\n");
        return 1;
#endif
    }

    fmhost::PluginDriver plugin;
    if (!plugin.load(argv[1])) {
        std::fprintf(stderr, "fmhost: %s\n", plugin.error().c_str());
        return 1;
    }
    std::string command = argv[2];
    constexpr fmx::ptrtype kSentinel = 12345;

    if (command == "list") {
        long version = 50;
        if (!versionOption(argc, argv, 3, version)) return usageError("list takes only --version N");
        std::printf("init: %ld\n", static_cast<long>(plugin.initialise(static_cast<fmx::int16>(version))));
        printFunctions();
        plugin.shutdown();
        std::printf("registered after shutdown: %d\n", FMHost_FunctionCount());
        return 0;
    }
    if (command == "string") {
        long id = 0, capacity = 0;
        if (argc != 5 || !parseLong(argv[3], id) || !parseLong(argv[4], capacity))
            return usageError("string takes ID and CAPACITY");
        std::printf("%s\n", fmhost::toUtf8(plugin.getString(static_cast<fmx::uint8>(id),
                                                            static_cast<fmx::int32>(capacity)))
                                .c_str());
        return 0;
    }
    if (command == "call") {
        long version = 50;
        if (argc < 4 || !versionOption(argc, argv, 4, version)) return usageError("call takes NAME [--version N]");
        plugin.initialise(static_cast<fmx::int16>(version));
        fmhost::CallResult result = plugin.call(fmhost::fromUtf8(argv[3]));
        plugin.shutdown();
        if (!result.found) {
            std::fprintf(stderr, "fmhost: no registered function named %s\n", argv[3]);
            return 1;
        }
        std::printf("error: %d\nresult: %s\n", result.error, fmhost::toUtf8(result.text).c_str());
        return 0;
    }
    if (command == "idle" || command == "raw") {
        long value = 0;
        if (argc != 4 || !parseLong(argv[3], value)) return usageError("idle takes LEVEL, raw takes WHICHCALL");
        fmx::uint8 which = command == "idle" ? static_cast<fmx::uint8>(kFMXT_Idle) : static_cast<fmx::uint8>(value);
        fmx::uint8 parm1 = command == "idle" ? static_cast<fmx::uint8>(value) : 0;
        std::printf("result before: %ld\n", static_cast<long>(kSentinel));
        std::printf("result after: %ld\n", static_cast<long>(plugin.send(which, kSentinel, 0, parm1)));
        return 0;
    }
    return usageError(("unknown command " + command).c_str());
}
