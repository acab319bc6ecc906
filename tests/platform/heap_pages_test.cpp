#include "platform/heap_pages.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <memory>
#include <vector>

namespace {

// Growth of the heap is advised in whole 2 MB pages once enabled, and the
// advising follows the heap down after a trim and up again after it.
TEST(HeapHugePages, AdvisesTheHeapAsItGrows) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's allocator does not grow the heap";
#endif
    platform::HeapHugePages::Advise();  // before Enable: nothing happens
    EXPECT_EQ(platform::HeapHugePages::AdvisedBytes(), 0u);

    platform::HeapHugePages::Enable(std::size_t{8} << 20);
    platform::HeapHugePages::Enable();  // a second call changes nothing
    std::vector<std::unique_ptr<char[]>> blocks;
    for (int i = 0; i < 40000; ++i) {
        blocks.push_back(std::make_unique<char[]>(1000));
        blocks.back()[0] = 1;
        platform::HeapHugePages::Advise();
    }
    const std::size_t advised = platform::HeapHugePages::AdvisedBytes();
    EXPECT_GE(advised, std::size_t{30} << 20);
    EXPECT_EQ(advised % (std::size_t{2} << 20), 0u);

    blocks.clear();
    malloc_trim(0);
    platform::HeapHugePages::Advise();
    for (int i = 0; i < 40000; ++i) {
        blocks.push_back(std::make_unique<char[]>(1000));
        platform::HeapHugePages::Advise();
    }
    EXPECT_GE(platform::HeapHugePages::AdvisedBytes(), std::size_t{30} << 20);
}

}  // namespace
