#include "files/mesh/vertex_welder.h"

#include <bit>

namespace kel {

namespace {

constexpr std::size_t kLeastSlots = 64;

std::uint64_t bitsOf(double v) {
    return std::bit_cast<std::uint64_t>(v == 0.0 ? 0.0 : v);
}

std::uint64_t hashOf(double x, double y, double z) {
    std::uint64_t h = bitsOf(x) * 0x9E3779B97F4A7C15ULL;
    h ^= bitsOf(y) + 0xC2B2AE3D27D4EB4FULL + (h << 6) + (h >> 2);
    h ^= bitsOf(z) + 0x165667B19E3779F9ULL + (h << 6) + (h >> 2);
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ULL;
    return h ^ (h >> 29);
}

}  // namespace

VertexWelder::VertexWelder(MeshData& mesh, std::size_t expected) : mesh_(mesh) {
    // Half the corners at most are new in a closed mesh; twice that keeps the table sparse.
    const std::size_t slots = std::bit_ceil(std::max(kLeastSlots, expected + expected / 2));
    slots_.assign(slots, 0);
    mask_ = slots - 1;
}

std::size_t VertexWelder::slotOf(double x, double y, double z) const {
    std::size_t slot = static_cast<std::size_t>(hashOf(x, y, z)) & mask_;
    for (;;) {
        const std::uint32_t entry = slots_[slot];
        if (entry == 0) {
            return slot;
        }
        const double* p = mesh_.positions.data() + 3 * (entry - 1);
        if (p[0] == x && p[1] == y && p[2] == z) {
            return slot;
        }
        slot = (slot + 1) & mask_;
    }
}

std::uint32_t VertexWelder::indexOf(double x, double y, double z) {
    std::size_t slot = slotOf(x, y, z);
    if (slots_[slot] != 0) {
        return slots_[slot] - 1;
    }
    if ((mesh_.vertexCount() + 1) * 2 > slots_.size()) {
        grow();
        slot = slotOf(x, y, z);
    }
    mesh_.addVertex(x, y, z);
    const auto index = static_cast<std::uint32_t>(mesh_.vertexCount());
    slots_[slot] = index;
    return index - 1;
}

void VertexWelder::grow() {
    slots_.assign(slots_.size() * 2, 0);
    mask_ = slots_.size() - 1;
    for (std::size_t i = 0; i < mesh_.vertexCount(); ++i) {
        const double* p = mesh_.positions.data() + 3 * i;
        slots_[slotOf(p[0], p[1], p[2])] = static_cast<std::uint32_t>(i + 1);
    }
}

}  // namespace kel
