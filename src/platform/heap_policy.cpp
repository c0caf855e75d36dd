#include "platform/heap_policy.h"

#include <cstdlib>  // defines __GLIBC__ when glibc is the C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace kel {

void keepFreedHeapForReuse() {
#if defined(__GLIBC__)
    // Setting either turns off glibc's own adjustment of both, so both are set.
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
#endif
}

}  // namespace kel
