#pragma once

#include <string>
#include <string_view>

#include "files/mesh/mesh_data.h"

namespace kel {

// Object File Format: OFF and its variants ([ST][C][N][4][n]OFF) with per-vertex normals,
// colours and texture coordinates, counts on the keyword line or after it, '#' comments,
// faces followed by colour values. What follows x y z (x y z w in 4OFF) on a vertex line,
// and the corner indices on a face line, is ignored. False, with the file and line in
// failure, on the first fault.
bool readOff(std::string_view text, const std::string& file, MeshData& mesh, std::string& failure);

}  // namespace kel
