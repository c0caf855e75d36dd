#include "platform/heap_policy.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
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
    prepareHeapForModels();
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

// The VmFlags line of the mapping in /proc/self/smaps that holds address, or "".
std::string mappingFlags(const void* address) {
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream smaps("/proc/self/smaps");
    std::string line;
    bool inside = false;
    while (std::getline(smaps, line)) {
        std::uintptr_t begin = 0;
        std::uintptr_t end = 0;
        char dash = 0;
        std::istringstream range(line);
        if (range >> std::hex >> begin >> dash >> end && dash == '-') {
            inside = begin <= at && at < end;
        } else if (inside && line.rfind("VmFlags:", 0) == 0) {
            return line;
        }
    }
    return "";
}

// The blocks of a model built after start-up lie in heap marked for huge pages ("hg"),
// first and last alike.
TEST(HeapPolicyTest, ModelBlocksLieInHeapMarkedForHugePages) {
#if !defined(__GLIBC__) || defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "glibc's own allocator only";
#else
    const int onTheStack = 0;
    if (mappingFlags(&onTheStack).empty()) {
        GTEST_SKIP() << "no /proc/self/smaps";
    }
    prepareHeapForModels();
    std::vector<std::unique_ptr<char[]> > blocks;
    for (int i = 0; i < 640; ++i) {  // 40 MiB, across both of the marked chunks
        blocks.push_back(std::make_unique_for_overwrite<char[]>(64 * 1024));
    }
    EXPECT_NE(mappingFlags(blocks.front().get()).find(" hg"), std::string::npos);
    EXPECT_NE(mappingFlags(blocks.back().get()).find(" hg"), std::string::npos);
    EXPECT_EQ(mappingFlags(blocks.front().get()), mappingFlags(blocks.back().get()));
#endif
}

}  // namespace
}  // namespace kel
