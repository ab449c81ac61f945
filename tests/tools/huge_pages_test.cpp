#include "tools/huge_pages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#if defined(__linux__) && defined(__GLIBC__)
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr std::size_t kHeap = std::size_t{64} << 20;
constexpr std::size_t kBlock = std::size_t{16} << 20;

bool inHugePart(const tool::HeapOnHugePages& heap, const void* block, std::size_t size) {
    const auto p = reinterpret_cast<std::uintptr_t>(block);
    return p >= reinterpret_cast<std::uintptr_t>(heap.hugeFrom) &&
           p + size <= reinterpret_cast<std::uintptr_t>(heap.hugeTo);
}

// The flags /proc gives the mapping that holds `p`: "hg" marks huge pages advised.
std::string mappingFlags(const void* p) {
    std::FILE* maps = std::fopen("/proc/self/smaps", "r");
    if (maps == nullptr) return "";
    const auto at = reinterpret_cast<std::uintptr_t>(p);
    bool inside = false;
    std::string flags;
    char line[512];
    while (std::fgets(line, sizeof line, maps) != nullptr) {
        unsigned long from = 0;
        unsigned long to = 0;
        if (std::sscanf(line, "%lx-%lx ", &from, &to) == 2 && std::strchr(line, ':') != nullptr) {
            inside = at >= from && at < to;
        } else if (inside && std::strncmp(line, "VmFlags:", 8) == 0) {
            flags = line + 8;
            break;
        }
    }
    std::fclose(maps);
    return flags;
}

// What the child found, as its exit status.
enum Finding { kAsPromised = 0, kNotPrepared, kOutsideHugePart, kNotAdvised, kNotKept, kThreadElsewhere };

// Each block is kept where the compiler cannot see it, so that it cannot
// take an allocation whose memory goes unused for none.
int prepareAndCheck() {
    const tool::HeapOnHugePages heap = tool::takeHeapOnHugePages(kHeap);
    if (!heap.prepared) return kNotPrepared;
    void* volatile block = std::malloc(kBlock);
    if (!inHugePart(heap, block, kBlock)) return kOutsideHugePart;
    if (mappingFlags(block).find(" hg") == std::string::npos) return kNotAdvised;
    std::free(block);
    // Freed memory is the next block's, with no mapping of its own.
    void* volatile again = std::malloc(kBlock);
    if (again != block) return kNotKept;
    std::free(again);
    void* volatile fromThread = nullptr;
    std::thread([&fromThread] { fromThread = std::malloc(kBlock); }).join();
    const bool threadInside = inHugePart(heap, fromThread, kBlock);
    std::free(fromThread);
    return threadInside ? kAsPromised : kThreadElsewhere;
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define STYLEDTEXT_OWN_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define STYLEDTEXT_OWN_ALLOCATOR 1
#endif
#endif

// The heap is the whole program's: the checks run in a child of their own.
TEST(HugePages, LargeBlocksComeFromTheMarkedHeapAndAreKept) {
#ifdef STYLEDTEXT_OWN_ALLOCATOR
    GTEST_SKIP() << "the sanitizer's allocator takes the place of glibc's heap";
#endif
    std::FILE* const sys = std::fopen("/sys/kernel/mm/transparent_hugepage/enabled", "r");
    if (sys == nullptr) GTEST_SKIP() << "this kernel has no transparent huge pages";
    std::fclose(sys);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) _exit(prepareAndCheck());
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    const char* const findings[] = {"as promised",
                                    "the heap was not prepared",
                                    "a large block lies outside the part marked for huge pages",
                                    "the block's mapping is not marked for huge pages",
                                    "a freed block's memory was not taken again",
                                    "a thread's block lies outside the part marked"};
    const int found = WEXITSTATUS(status);
    ASSERT_LT(found, 6) << "the child ended with " << found;
    EXPECT_EQ(found, kAsPromised) << findings[found];
}

TEST(HugePages, LessThanAHugePageChangesNothing) {
    const tool::HeapOnHugePages heap = tool::takeHeapOnHugePages(4096);
    EXPECT_FALSE(heap.prepared);
    EXPECT_EQ(heap.hugeFrom, nullptr);
}

}  // namespace

#endif
