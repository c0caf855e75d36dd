#pragma once

namespace kel {

// Shows the busy cursor for the guard's lifetime; the previous cursor comes back on every
// way out of the scope, an exception included. Guards nest.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace kel
