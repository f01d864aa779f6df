#include "core/base/Heap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <malloc.h>

namespace {

constexpr size_t kFrameSizedBlock = 8 * 1024 * 1024;

TEST(Heap, AFrameSizedBlockComesFromTheHeapAndStaysThereWhenFreed) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's allocator does not take glibc's settings";
#else
    KeepFreedHeapForReuse();
    const size_t mappedBefore = mallinfo2().hblkhd;
    void* volatile block = std::malloc(kFrameSizedBlock);
    ASSERT_NE(block, nullptr);
    std::memset(block, 1, kFrameSizedBlock);
    EXPECT_EQ(mallinfo2().hblkhd, mappedBefore) << "the block got a mapping of its own";
    std::free(block);
    EXPECT_GE(mallinfo2().arena, kFrameSizedBlock) << "the freed block went back to the system";
#endif
}

} // namespace
