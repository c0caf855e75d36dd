#include "render/edge_table.h"

#include <algorithm>
#include <cstdint>

#include "render/edge_walk.h"

namespace kel {

void EdgeTable::resize(int rows, int phase, int stride) {
    rows = std::max(rows, 0);
    heads_.assign(static_cast<std::size_t>(rows), -1);
    stride_ = std::max(stride, 1);
    phase_ = std::clamp(phase, 0, stride_ - 1);
    used_ = 0;
    firstRow_ = 0;
    lastRow_ = -1;
}

void EdgeTable::clear() {
    for (int r = firstRow_; r <= lastRow_; ++r) {
        heads_[static_cast<std::size_t>(r)] = -1;
    }
    used_ = 0;
    firstRow_ = 0;
    lastRow_ = -1;
}

void EdgeTable::addEdge(const Vertex& a, double cosineA, const Vertex& b, double cosineB) {
    const Vertex* top = &a;
    const Vertex* bottom = &b;
    double topCosine = cosineA;
    double bottomCosine = cosineB;
    if (a.devicePoint().y() > b.devicePoint().y()) {
        std::swap(top, bottom);
        std::swap(topCosine, bottomCosine);
    }
    const DevicePoint& tp = top->devicePoint();
    const DevicePoint& bp = bottom->devicePoint();
    if (tp.y() == bp.y()) {
        return;
    }
    const std::int64_t topY = tp.y();
    const std::int64_t bottomY = bp.y();
    const std::int64_t rowCount = static_cast<std::int64_t>(heads_.size());
    if (bottomY <= 0 || topY >= rowCount) {
        return;
    }
    if (carriesSurface_) {
        walk<true>(*top, topCosine, *bottom, bottomCosine);
    } else {
        walk<false>(*top, topCosine, *bottom, bottomCosine);
    }
}

template <bool Surface>
void EdgeTable::walk(const Vertex& top, double topCosine, const Vertex& bottom,
                     double bottomCosine) {
    const std::int64_t topY = top.devicePoint().y();
    const std::int64_t bottomY = bottom.devicePoint().y();
    const std::int64_t rowCount = static_cast<std::int64_t>(heads_.size());

    EdgeWalk<Surface> edge;
    edge.start(top, topCosine, bottom, bottomCosine);

    std::int64_t y = topY;
    if (y < 0) {
        // Rows above the viewport come only from corrupt geometry: jump over them.
        edge.skip(static_cast<double>(-y));
        y = 0;
    }
    const std::int64_t end = std::min(bottomY, rowCount);
    while (y < end) {
        const std::int64_t block = y / kBlockRows;
        const std::int64_t blockEnd = std::min(end, (block + 1) * kBlockRows);
        if (stride_ == 1 || block % stride_ == phase_) {
            firstRow_ = lastRow_ < firstRow_ ? static_cast<int>(y)
                                             : std::min(firstRow_, static_cast<int>(y));
            lastRow_ = std::max(lastRow_, static_cast<int>(blockEnd - 1));
            std::size_t at = used_;
            used_ += static_cast<std::size_t>(blockEnd - y);
            if (used_ > entries_.size()) {
                entries_.resize(std::max(used_, 2 * entries_.size()));
            }
            for (; y < blockEnd; ++y, ++at) {
                EdgeEntry& entry = entries_[at];
                edge.store(entry);
                int& rowHead = heads_[static_cast<std::size_t>(y)];
                entry.next = rowHead;
                rowHead = static_cast<int>(at);
                edge.step();
            }
        } else {
            // Another thread's rows: step through them exactly as if they were stored.
            for (; y < blockEnd; ++y) {
                edge.step();
            }
        }
    }
}

}  // namespace kel
