#include "render/edge_table.h"

#include <algorithm>
#include <cstdint>

namespace kel {

void EdgeTable::resize(int rows, int phase, int stride) {
    rows = std::max(rows, 0);
    heads_.assign(static_cast<std::size_t>(rows), -1);
    stride_ = std::max(stride, 1);
    phase_ = std::clamp(phase, 0, stride_ - 1);
    entries_.clear();
    firstRow_ = 0;
    lastRow_ = -1;
}

void EdgeTable::clear() {
    for (int r = firstRow_; r <= lastRow_; ++r) {
        heads_[static_cast<std::size_t>(r)] = -1;
    }
    entries_.clear();
    firstRow_ = 0;
    lastRow_ = -1;
}

void EdgeTable::addEdge(const Vertex& a, const Vertex& b, const Vector& light) {
    const Vertex* top = &a;
    const Vertex* bottom = &b;
    if (a.devicePoint().y() > b.devicePoint().y()) {
        std::swap(top, bottom);
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

    double x = tp.x();
    double z = tp.depth();
    double k = top->normal().dot(light);
    const Vector& topW = top->worldPosition();
    const Vector& topN = top->normal();
    double w[3] = {topW.at(0), topW.at(1), topW.at(2)};
    double n[3] = {topN.at(0), topN.at(1), topN.at(2)};

    const double dy = static_cast<double>(bottomY - topY);
    const double dx = static_cast<double>(static_cast<std::int64_t>(bp.x()) - tp.x()) / dy;
    const double dz = static_cast<double>(static_cast<std::int64_t>(bp.depth()) - tp.depth()) / dy;
    const double dk = (bottom->normal().dot(light) - k) / dy;
    const Vector& bottomW = bottom->worldPosition();
    const Vector& bottomN = bottom->normal();
    double dw[3];
    double dn[3];
    for (int i = 0; i < 3; ++i) {
        dw[i] = (bottomW.at(static_cast<std::size_t>(i)) - w[i]) / dy;
        dn[i] = (bottomN.at(static_cast<std::size_t>(i)) - n[i]) / dy;
    }

    std::int64_t y = topY;
    if (y < 0) {
        // Rows above the viewport come only from corrupt geometry: jump over them.
        const double skip = static_cast<double>(-y);
        x += dx * skip;
        z += dz * skip;
        k += dk * skip;
        for (int i = 0; i < 3; ++i) {
            w[i] += dw[i] * skip;
            n[i] += dn[i] * skip;
        }
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
            std::size_t at = entries_.size();
            entries_.resize(at + static_cast<std::size_t>(blockEnd - y));
            for (; y < blockEnd; ++y, ++at) {
                EdgeEntry& entry = entries_[at];
                entry.x = x;
                entry.depth = z;
                entry.cosine = k;
                for (int i = 0; i < 3; ++i) {
                    entry.world[i] = w[i];
                    entry.normal[i] = n[i];
                }
                int& rowHead = heads_[static_cast<std::size_t>(y)];
                entry.next = rowHead;
                rowHead = static_cast<int>(at);
                x += dx;
                z += dz;
                k += dk;
                for (int i = 0; i < 3; ++i) {
                    w[i] += dw[i];
                    n[i] += dn[i];
                }
            }
        } else {
            // Another thread's rows: step through them exactly as if they were stored.
            for (; y < blockEnd; ++y) {
                x += dx;
                z += dz;
                k += dk;
                for (int i = 0; i < 3; ++i) {
                    w[i] += dw[i];
                    n[i] += dn[i];
                }
            }
        }
    }
}

}  // namespace kel
