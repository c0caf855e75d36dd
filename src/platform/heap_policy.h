#pragma once

namespace kel {

// Called once at start-up, before any model is built. A mesh's model is tens of megabytes
// in blocks of up to 64 KiB; by default glibc hands the freed top of the heap back to the
// system, and the next document opened faults every page of its model in afresh (on a
// virtual machine, about 0.4 ms per megabyte). Kept, the pages are reused: the process
// holds on to up to 64 MiB it no longer uses, and buffers below 32 MiB come from the heap.
void keepFreedHeapForReuse();

}  // namespace kel
