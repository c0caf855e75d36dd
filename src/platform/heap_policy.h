#pragma once

#include <cstddef>

namespace kel {

// Called once at start-up, before any model is built. A mesh's model is tens of megabytes
// in blocks of up to 64 KiB, and reading or showing it is bound by first touches of its
// pages. Two things make them cheaper:
// - The freed top of the heap is kept: by default glibc hands it back to the system, and
//   the next document opened faults every page of its model in afresh. The process holds
//   on to up to 64 MiB it no longer uses, and buffers below 32 MiB come from the heap.
// - The next 60 MiB of the heap are marked for transparent huge pages, so that a model
//   faults in 2 MiB at a time rather than 4 KiB. On a virtual machine a 4 KiB fault costs
//   up to 10 us: a 15 MB model took 35 ms of faults to build. Untouched, they cost nothing.
void prepareHeapForModels();

// Faults in the whole pages of a buffer about to be written, in one call rather than one
// fault a page: a 2.5 MB file read into fresh memory took 7 ms of faults on a virtual
// machine, 3 ms so. Advice only: where the kernel cannot, the pages fault in as written.
void prefaultForWriting(void* buffer, std::size_t size);

}  // namespace kel
