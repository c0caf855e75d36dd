#include "platform/heap_policy.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kel {
namespace {

// A model's worth of blocks, freed, stays with the process for the next document; a
// buffer of a few megabytes comes from the heap too, not from a mapping of its own.
TEST(HeapPolicyTest, FreedModelMemoryStaysForTheNextDocument) {
#if !defined(__GLIBC__) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "glibc's own allocator only";
#else
    keepFreedHeapForReuse();
    const std::size_t mappedBefore = mallinfo2().hblkhd;
    {
        std::vector<std::unique_ptr<char[]> > blocks;
        for (int i = 0; i < 192; ++i) {
            blocks.push_back(std::make_unique_for_overwrite<char[]>(64 * 1024));
        }
        const auto buffer = std::make_unique_for_overwrite<char[]>(4 * 1024 * 1024);
        EXPECT_EQ(mallinfo2().hblkhd, mappedBefore);
    }
    EXPECT_GE(mallinfo2().keepcost, std::size_t{8 * 1024 * 1024});
#endif
}

}  // namespace
}  // namespace kel
