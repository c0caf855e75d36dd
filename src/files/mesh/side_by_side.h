#pragma once

#if defined(KEL_HAVE_TBB)
#include <tbb/task_group.h>
#endif

namespace kel {

// Runs first on this thread and second beside it, on another thread when the work is
// large enough to pay for the hand-over; returns when both are done. Whatever either
// allocates for the model should be allocated before: made on a worker, it would come
// from that thread's own arena, in fresh pages every time.
template <typename First, typename Second>
void sideBySide(bool large, const First& first, const Second& second) {
#if defined(KEL_HAVE_TBB)
    if (large) {
        tbb::task_group group;
        group.run(second);
        first();
        group.wait();
        return;
    }
#endif
    static_cast<void>(large);
    first();
    second();
}

}  // namespace kel
