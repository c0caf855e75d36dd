#pragma once

#include <string>
#include <string_view>

#include "files/mesh/mesh_data.h"

namespace kel {

// Polygon File Format, ascii, binary_little_endian or binary_big_endian: the x, y, z of
// the vertex element (any scalar type) and the vertex_indices (or vertex_index) list of
// the face element; every other element and property, scalar or list, is skipped.
// False, with the file and the line (header, ascii) or byte offset (binary) in failure,
// on the first fault.
bool readPly(std::string_view data, const std::string& file, MeshData& mesh, std::string& failure);

}  // namespace kel
