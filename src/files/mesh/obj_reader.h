#pragma once

#include <string>
#include <string_view>

#include "files/mesh/mesh_data.h"

namespace kel {

// Wavefront OBJ: vertices (v x y z, anything after z ignored) and faces (f with v, v/vt,
// v//vn or v/vt/vn corners, 1-based or negative, relative, indices), with smoothing groups
// (s N, s off). Every other statement is accepted and skipped. False, with the file and
// line in failure, on the first fault.
bool readWavefrontObj(std::string_view text, const std::string& file, MeshData& mesh,
                      std::string& failure);

}  // namespace kel
