// Large blocks on huge pages, and kept once freed. A conversion of a
// document of megabytes touches tens of megabytes of fresh memory, and in a
// virtual machine each page fault can cost more than converting what the
// page holds: there the tool spent more time taking pages than converting.
// One fault per 2 MiB, and no second fault for memory freed and taken
// again, make that cost small.
#pragma once

#include <cstddef>

namespace tool {

// Where a large block comes from after takeHeapOnHugePages.
struct HeapOnHugePages {
    bool prepared = false;     // the heap was grown and marked
    void* hugeFrom = nullptr;  // the first byte marked for huge pages
    void* hugeTo = nullptr;    // the end of the part marked
};

// Makes every block come from the program's one heap instead of mappings of
// their own, keeps freed memory there for the next block, and grows the heap
// by about `bytes` at once, marked for transparent huge pages from its first
// 2 MiB boundary; the part of the heap below that boundary,
// which cannot be a huge page, is kept out of use. Untouched memory costs
// nothing: the growth reserves addresses, not pages. Call it before any
// other thread starts. Where glibc or Linux is missing, or `bytes` is below
// a huge page, it does nothing.
HeapOnHugePages takeHeapOnHugePages(std::size_t bytes);

}  // namespace tool
