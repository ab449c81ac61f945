#include "tools/huge_pages.h"

#include <cstdlib>
#include <string>

#if defined(__linux__) && defined(__GLIBC__)
#include <unistd.h>
#endif

namespace tool {

#if defined(__linux__) && defined(__GLIBC__)

void restartWithHugePages(char** argv) {
    static const char kName[] = "GLIBC_TUNABLES";
    static const char kHugePages[] = "glibc.malloc.hugetlb";
    const char* set = std::getenv(kName);
    const std::string before = set != nullptr ? set : "";
    if (before.find(kHugePages) != std::string::npos) return;  // said already, or the restarted program
    const std::string after = (before.empty() ? "" : before + ":") + kHugePages + "=1";
    if (setenv(kName, after.c_str(), 1) != 0) return;
    execv("/proc/self/exe", argv);
    // Not started again: the environment stays as it was.
    if (set != nullptr)
        setenv(kName, before.c_str(), 1);
    else
        unsetenv(kName);
}

#else

void restartWithHugePages(char**) {}

#endif

}  // namespace tool
