#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace kel::bench {

// A closed triangle mesh: corners counter-clockwise seen from outside.
struct TriangleMesh {
    std::vector<std::array<double, 3>> positions;
    std::vector<std::array<std::uint32_t, 3>> triangles;
};

// A geodesic sphere of the given frequency (each icosahedron edge cut into that many
// pieces: 20 f^2 triangles, 10 f^2 + 2 vertices) with bumps pushed out along the radius,
// so it stays closed and star-shaped. Radius about 1, never below 0.9 or above 1.1.
TriangleMesh makeBumpySphere(int frequency);

// The frequency whose triangle count 20 f^2 is nearest to the wanted count (at least 1).
int frequencyForTriangles(std::int64_t triangles);

// The mesh in Kel's object file format: one smooth surface, vertex ids from 0.
void writeObjectFile(const TriangleMesh& mesh, std::ostream& out);

// The same mesh as a Wavefront OBJ and as an ASCII PLY file, vertices and faces in the
// same order and with the same digits as the object file.
void writeWavefrontObj(const TriangleMesh& mesh, std::ostream& out);
void writeAsciiPly(const TriangleMesh& mesh, std::ostream& out);

// A scene that shows the object file at the origin, filling about 60% of a square
// viewport, lit from the upper left front; the same camera, light and material for every
// size, so that only the triangle count changes.
void writeSceneFile(const std::string& objectFileName, std::ostream& out);

}  // namespace kel::bench
