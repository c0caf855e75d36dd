#pragma once

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

}  // namespace kel
