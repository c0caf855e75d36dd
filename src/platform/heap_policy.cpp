#include "platform/heap_policy.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>  // defines __GLIBC__ when glibc is the C library

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace kel {

#if defined(__GLIBC__)
namespace {

constexpr std::size_t kMiB = 1024 * 1024;
constexpr std::size_t kTrimThreshold = 64 * kMiB;
constexpr std::size_t kMmapThreshold = 32 * kMiB;  // glibc's upper limit on 64 bits
// Two chunks just below the mmap threshold come from the heap's top, one after the other;
// together they stay below the trim threshold, so the heap keeps them once they are freed.
constexpr std::size_t kHugeChunk = 30 * kMiB;

std::uintptr_t pageStart(const void* p) {
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    return reinterpret_cast<std::uintptr_t>(p) / page * page;
}

// Marks a chunk's pages for huge pages. Rounding both ends down makes neighbouring chunks'
// ranges meet, so the kernel sees one range and can use huge pages across the seam.
void adviseHugePages(const void* chunk) {
    const std::uintptr_t begin = pageStart(chunk);
    const std::uintptr_t end = pageStart(static_cast<const char*>(chunk) + kHugeChunk);
    // Advice only: where the kernel has no huge pages the heap works as before.
    madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

void markHeapTopForHugePages() {
    std::array<void*, 2> chunks{};
    for (void*& chunk : chunks) {
        chunk = std::malloc(kHugeChunk);  // not touched: costs address space only
    }
    for (void* chunk : chunks) {
        if (chunk != nullptr) {
            adviseHugePages(chunk);
        }
        std::free(chunk);
    }
}

}  // namespace
#endif

void prefaultForWriting(void* buffer, std::size_t size) {
#if defined(__GLIBC__) && defined(MADV_POPULATE_WRITE)
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = (reinterpret_cast<std::uintptr_t>(buffer) + page - 1) / page * page;
    const auto end = (reinterpret_cast<std::uintptr_t>(buffer) + size) / page * page;
    if (begin < end) {
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
    }
#else
    static_cast<void>(buffer);
    static_cast<void>(size);
#endif
}

void prepareHeapForModels() {
#if defined(__GLIBC__)
    // Setting either turns off glibc's own adjustment of both, so both are set.
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(kTrimThreshold));
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(kMmapThreshold));
    markHeapTopForHugePages();
#endif
}

}  // namespace kel
