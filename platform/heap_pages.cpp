#include "platform/heap_pages.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <mutex>

namespace platform {

namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;

std::mutex adviseMutex;
std::atomic<bool> enabled{false};
// End of the heap range already advised (a 2 MB boundary), and the heap end
// seen at the last call.
std::atomic<std::uintptr_t> advisedEnd{0};
std::atomic<std::uintptr_t> advisedStart{0};

std::uintptr_t HeapEnd() { return reinterpret_cast<std::uintptr_t>(sbrk(0)); }

}  // namespace

void HeapHugePages::Enable(std::size_t step) {
#if defined(MADV_HUGEPAGE) && defined(M_TOP_PAD)
    std::lock_guard lock(adviseMutex);
    if (enabled.load()) return;
    mallopt(M_TOP_PAD, static_cast<int>(step));
    // Only growth from here on is advised: the range below is in use and
    // already has its pages.
    std::uintptr_t start = (HeapEnd() + kHugePage - 1) & ~(kHugePage - 1);
    advisedStart.store(start);
    advisedEnd.store(start);
    enabled.store(true);
#else
    (void)step;
#endif
}

void HeapHugePages::Advise() {
#if defined(MADV_HUGEPAGE)
    if (!enabled.load(std::memory_order_relaxed)) return;
    std::uintptr_t heapEnd = HeapEnd();
    std::uintptr_t end = heapEnd & ~(kHugePage - 1);
    if (end == advisedEnd.load(std::memory_order_relaxed)) return;
    std::lock_guard lock(adviseMutex);
    std::uintptr_t from = advisedEnd.load();
    if (heapEnd < from) {
        // The heap was trimmed below the advised range, which went with
        // it: growth from the new end is advised afresh.
        advisedEnd.store((heapEnd + kHugePage - 1) & ~(kHugePage - 1));
        return;
    }
    if (end <= from) return;
    // Whole 2 MB pages between the last advised end and the heap's end. A
    // refusal (huge pages switched off) only means ordinary pages.
    madvise(reinterpret_cast<void*>(from), end - from, MADV_HUGEPAGE);
    advisedEnd.store(end);
#endif
}

std::size_t HeapHugePages::AdvisedBytes() { return advisedEnd.load() - advisedStart.load(); }

}  // namespace platform
