#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace kel {
class Scene;
}

namespace kel::bench {

// One object of a scene as a GPU draws it: indexed triangles over interleaved world
// positions and vertex normals, and the terms of its material.
struct PeerBatch {
    std::vector<float> vertices;  // x, y, z, nx, ny, nz per vertex
    std::vector<std::uint32_t> triangles;
    std::array<float, 3> litColor{};  // the object colour under the light colour, 0..1
    float diffuse = 0.0F;
    float specular = 0.0F;
    int shininess = 0;
};

// The objects of the scene with Kel's world positions and vertex normals (averaged over
// the polygons of each surface), each polygon cut into a fan of triangles. Computed once,
// as an OpenGL program keeps a static mesh in buffers; changes the scene's world
// positions and normals as a render does.
std::vector<PeerBatch> buildPeerBatches(Scene& scene);

}  // namespace kel::bench
