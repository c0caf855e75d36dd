#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kel {

// What a mesh reader hands to the surface builder: positions by 0-based index, faces as
// runs of corner indices, and, when the file says which faces shade smoothly together, a
// smoothing group per face.
struct MeshData {
    // A face whose smoothing group is kFlat is a surface of its own.
    static constexpr std::int64_t kFlat = -1;

    std::vector<double> positions;        // x, y, z of vertex 0, then of vertex 1, ...
    std::vector<std::uint32_t> corners;   // corner indices of every face, in file order
    std::vector<std::uint32_t> faceEnds;  // face f's corners end at faceEnds[f]
    std::vector<std::int64_t> smoothing;  // per face; empty when the file has no groups

    std::size_t vertexCount() const { return positions.size() / 3; }
    std::size_t faceCount() const { return faceEnds.size(); }
    std::size_t faceBegin(std::size_t f) const { return f == 0 ? 0 : faceEnds[f - 1]; }

    void addVertex(double x, double y, double z) {
        positions.push_back(x);
        positions.push_back(y);
        positions.push_back(z);
    }
    void endFace() { faceEnds.push_back(static_cast<std::uint32_t>(corners.size())); }
};

}  // namespace kel
