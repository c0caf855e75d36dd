#pragma once

#include <cstdint>
#include <vector>

#include "files/mesh/mesh_data.h"

namespace kel {

// Gives every distinct position one vertex index, in order of first appearance, so that
// the triangles of an STL file share their corners. Positions match exactly (-0 and 0
// are the same place). An open-addressing table: no allocation per corner.
class VertexWelder {
public:
    // expected: about how many corners will come, to size the table once.
    VertexWelder(MeshData& mesh, std::size_t expected);

    // The index of the vertex at (x, y, z), adding it when it is new.
    std::uint32_t indexOf(double x, double y, double z);

private:
    void grow();
    std::size_t slotOf(double x, double y, double z) const;

    MeshData& mesh_;
    std::vector<std::uint32_t> slots_;  // vertex index + 1; 0 is empty
    std::size_t mask_ = 0;
};

}  // namespace kel
