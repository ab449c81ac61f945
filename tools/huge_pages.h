// Large blocks on huge pages. A conversion of a document of megabytes
// touches tens of megabytes of fresh memory, and in a virtual machine each
// first touch of a 4 KiB page can cost more than converting what it holds:
// there the tool spent more time taking pages than converting. glibc's
// malloc backs large blocks with transparent huge pages, one fault per
// 2 MiB, when its tunable says so; the tunable is read only as a program
// starts.
#pragma once

namespace tool {

// Starts this program again, with the same arguments, with glibc's malloc
// asked to use huge pages, unless the environment already says whether it
// should. Answers only when the program was not started again: where that
// cannot be done, or on a system without glibc; it then goes on as it is.
void restartWithHugePages(char** argv);

}  // namespace tool
