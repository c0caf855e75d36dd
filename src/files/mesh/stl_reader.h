#pragma once

#include <string>
#include <string_view>

#include "files/mesh/mesh_data.h"

namespace kel {

// STL, binary exactly when the size is 84 + 50 x the triangle count (many binary files
// begin with "solid" too), else ASCII: any number of solid blocks, empty ones included,
// make one mesh. Corners are welded by exact position; facet normals are ignored. False,
// with the file and the line (ASCII) or byte offset (binary) in failure, on the first fault.
bool readStl(std::string_view data, const std::string& file, MeshData& mesh, std::string& failure);

}  // namespace kel
