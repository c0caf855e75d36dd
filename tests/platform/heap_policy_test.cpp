#include "platform/heap_policy.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
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

// A buffer about to be read into has its pages in memory once prefaulted, its contents
// untouched; the partial pages at either end are left alone, and no size is too small.
TEST(HeapPolicyTest, PrefaultBringsInWholePagesAndKeepsContents) {
#if !defined(__GLIBC__) || !defined(MADV_POPULATE_WRITE)
    GTEST_SKIP() << "Linux with glibc only";
#else
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    constexpr std::size_t kPages = 64;
    void* const mapped =
        mmap(nullptr, kPages * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(mapped, MAP_FAILED);
    auto* const bytes = static_cast<unsigned char*>(mapped);
    bytes[page] = 7;  // one page already written
    const auto residentPages = [&] {
        std::vector<unsigned char> in(kPages);
        EXPECT_EQ(mincore(mapped, kPages * page, in.data()), 0);
        std::vector<int> pages;
        for (std::size_t i = 0; i < kPages; ++i) {
            if ((in[i] & 1) != 0) {
                pages.push_back(static_cast<int>(i));
            }
        }
        return pages;
    };
    ASSERT_EQ(residentPages(), std::vector<int>{1});
    prefaultForWriting(bytes + 1, 0);
    prefaultForWriting(bytes + 1, page);  // no whole page inside
    EXPECT_EQ(residentPages(), std::vector<int>{1});
    // From inside page 0 to inside the last page: pages 1 .. kPages - 2 are whole.
    prefaultForWriting(bytes + 1, (kPages - 1) * page);
    std::vector<int> whole(kPages - 2);
    std::iota(whole.begin(), whole.end(), 1);
    EXPECT_EQ(residentPages(), whole);
    EXPECT_EQ(bytes[page], 7);
    EXPECT_EQ(bytes[2 * page], 0);
    munmap(mapped, kPages * page);
#endif
}

}  // namespace
}  // namespace kel
