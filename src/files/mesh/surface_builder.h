#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "files/mesh/mesh_data.h"
#include "model/vector.h"

namespace kel {

class SceneObject;

// Faces join the same surface across an edge when their unit normals are at least this
// close: the double nearest cos 30 degrees, the usual feature angle of mesh viewers.
inline constexpr double kCreaseCosine = 0.8660254037844386;

// Newell's normal of the triangle of a face's first three corners, normalized, in file
// coordinates: the same arithmetic, in the same order, as the model's polygon normal.
Vector faceNormal(const MeshData& mesh, std::size_t face);

// The surface of each face (0-based, numbered in order of each surface's first face).
// With smoothing groups: one surface per group, and one per flat face. Without: the
// connected groups of faces that share an edge and whose normals meet kCreaseCosine;
// a face with a zero normal joins nothing.
std::vector<std::uint32_t> surfaceOfEachFace(const MeshData& mesh, std::size_t& surfaceCount);

// Fills the object's vertices (id = 0-based index) and surfaces (faces in file order).
// A vertex used by several surfaces gets a copy per later surface, as the Kel object
// reader makes them, so normals never average across a surface edge.
void buildMeshObject(const MeshData& mesh, SceneObject& object);

}  // namespace kel
