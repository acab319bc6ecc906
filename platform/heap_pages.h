#pragma once
// Transparent huge pages for the heap while a large hand database is built.
//
// A first loading allocates gigabytes in small blocks; every 4 KB page the
// heap grows by costs a page fault the first time it is written, which on a
// virtual machine dominates the loading. Where the kernel offers huge pages
// on request (transparent_hugepage set to "madvise" or "always"), the heap's
// growth is marked for 2 MB pages instead: one fault per 2 MB. Elsewhere the
// calls do nothing.

#include <cstddef>

namespace platform {

class HeapHugePages {
  public:
    // Has malloc grow the heap in steps of at least `step` bytes, so that
    // each growth holds whole 2 MB pages, and starts advising. Idempotent.
    static void Enable(std::size_t step = std::size_t{64} << 20);
    // Marks the heap grown since the last call for huge pages. Cheap (a
    // comparison) while the heap has not grown; does nothing before Enable.
    static void Advise();
    // Bytes of heap marked so far (for tests and diagnostics).
    static std::size_t AdvisedBytes();
};

}  // namespace platform
