#include "tools/huge_pages.h"

#include <cstdint>
#include <cstdlib>

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace tool {

#if defined(__linux__) && defined(__GLIBC__)

namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
constexpr std::size_t kLargestGrowth = std::size_t{1} << 30;

// Held for the program's life and never touched, so that the blocks after
// it start at the boundary where the huge pages begin.
void* volatile gBelowBoundary = nullptr;

std::uintptr_t roundUp(std::uintptr_t n) { return (n + kHugePage - 1) & ~(kHugePage - 1); }

}  // namespace

HeapOnHugePages takeHeapOnHugePages(std::size_t bytes) {
    HeapOnHugePages heap;
    if (bytes < kHugePage) return heap;
    const std::size_t growth = static_cast<std::size_t>(roundUp(bytes < kLargestGrowth ? bytes : kLargestGrowth));
    // Every block from the heap, which keeps what is freed, even across
    // threads: they would otherwise take mappings of their own, neither kept
    // nor marked.
    if (mallopt(M_ARENA_MAX, 1) == 0 || mallopt(M_MMAP_MAX, 0) == 0 || mallopt(M_TRIM_THRESHOLD, INT32_MAX) == 0)
        return heap;
    // One block as large as the growth grows the heap; once freed, it is the
    // top of the heap, untouched but for its first bytes and those after its end.
    // Volatile: a compiler may take an allocation freed unused for none.
    void* volatile grown = std::malloc(growth);
    if (grown == nullptr) return heap;
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(grown);
    std::free(grown);
    // Marked before anything touches a page past the boundary: a page
    // touched first is a small one, and so are the rest of its 2 MiB.
    const std::uintptr_t from = roundUp(at);
    const std::uintptr_t to = reinterpret_cast<std::uintptr_t>(sbrk(0));
    if (to <= from + kHugePage) return heap;
    if (madvise(reinterpret_cast<void*>(from), static_cast<std::size_t>(to - from), MADV_HUGEPAGE) != 0) return heap;
    if (from > at) gBelowBoundary = std::malloc(static_cast<std::size_t>(from - at));
    heap.prepared = true;
    heap.hugeFrom = reinterpret_cast<void*>(from);
    heap.hugeTo = reinterpret_cast<void*>(to);
    return heap;
}

#else

HeapOnHugePages takeHeapOnHugePages(std::size_t) { return {}; }

#endif

}  // namespace tool
