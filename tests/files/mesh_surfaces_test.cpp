#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "files/mesh/surface_builder.h"
#include "files_test_support.h"
#include "mesh_test_support.h"
#include "model/polygon.h"
#include "model/scene.h"
#include "model/scene_object.h"

namespace kel::test {
namespace {

// Two triangles on the edge (0,0,0)-(1,0,0), the second folded up by `degrees` about it.
std::string hinge(double degrees) {
    const double a = degrees * 3.14159265358979323846 / 180.0;
    char second[128];
    std::snprintf(second, sizeof second, "v 0.5 %.17g %.17g\n", -std::cos(a), std::sin(a));
    return std::string("v 0 0 0\nv 1 0 0\nv 0.5 1 0\n") + second + "f 1 2 3\nf 2 1 4\n";
}

// A grid of 20,000 triangles folded by 45 degrees along one row of vertices; expected
// gets the surface of each face, 0 before the fold and 1 after.
MeshData foldedGrid(std::vector<std::uint32_t>& expected) {
    constexpr int kColumns = 101;
    constexpr int kRows = 101;
    constexpr int kFold = 40;
    MeshData mesh;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const double along = r <= kFold ? r : kFold + (r - kFold) * 0.7071067811865476;
            const double up = r <= kFold ? 0.0 : (r - kFold) * 0.7071067811865476;
            mesh.addVertex(c, along, up);
        }
    }
    for (int r = 0; r + 1 < kRows; ++r) {
        for (int c = 0; c + 1 < kColumns; ++c) {
            const auto at = [&](int rr, int cc) { return std::uint32_t(rr * kColumns + cc); };
            for (const auto& face : {std::array{at(r, c), at(r, c + 1), at(r + 1, c + 1)},
                                     std::array{at(r, c), at(r + 1, c + 1), at(r + 1, c)}}) {
                mesh.corners.insert(mesh.corners.end(), face.begin(), face.end());
                mesh.endFace();
                expected.push_back(r < kFold ? 0 : 1);
            }
        }
    }
    return mesh;
}

TEST(CreaseRule, JoinsBelowThirtyDegreesChainsAndFollowsSmoothingGroups) {
    struct Case {
        std::string name;
        MeshFormat format;
        std::string text;
        std::vector<std::uint32_t> surfaces;
    };
    std::vector<Case> cases = {
        {"29.9 degrees", MeshFormat::WavefrontObj, hinge(29.9), {0, 0}},
        {"30.1 degrees", MeshFormat::WavefrontObj, hinge(30.1), {0, 1}},
        {"folded back", MeshFormat::WavefrontObj, hinge(180.0), {0, 1}},
        // Faces 1 and 2 meet at 27 degrees, 2 and 3 at 8: one surface, though 1 and 3 differ
        // by 33; face 4 is a line (zero normal) and face 5 stands apart.
        {"chain",
         MeshFormat::WavefrontObj,
         "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0.36\nv -1 1 0.9\nf 1 2 3\nf 1 3 4\nf 1 4 5\n"
         "f 1 2 2\nv 5 5 5\nv 6 5 5\nv 5 6 5\nf 6 7 8\n",
         {0, 0, 0, 1, 2}},
        // Every corner the same vertex: no edge at all, a surface each.
        {"no edges", MeshFormat::Off, "OFF\n2 2 0\n0 0 0\n1 0 0\n3 0 0 0\n3 1 1 1\n", {0, 1}},
        {"opposite winding",
         MeshFormat::WavefrontObj,
         "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nf 1 2 3\nf 2 3 4\n",
         {0, 1}},
        // One surface per group wherever its faces stand; before the first s, under s off
        // and under s 0 each face is flat.
        {"groups",
         MeshFormat::WavefrontObj,
         "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\ns 4\nf 1 2 3\ns 0\nf 1 2 3\nf 1 2 3\ns 9\n"
         "f 1 2 3\ns 4\nf 1 2 3\ns off\nf 1 2 3\n",
         {0, 1, 2, 3, 4, 1, 5}},
    };
    // 66 faces on the edge 1-2: the first and the last lie flat, the 64 between stand
    // upright. Each face meets only the next 64 on an edge, so the last never meets the
    // first, though they lie in one plane.
    std::string crowded = "v 0 0 0\nv 1 0 0\nv 0.5 1 0\nv 0.5 0 1\nv 0.5 2 0\nf 1 2 3\n";
    for (int i = 0; i < 64; ++i) {
        crowded += "f 1 2 4\n";
    }
    std::vector<std::uint32_t> crowdedSurfaces(66, 1);
    crowdedSurfaces.front() = 0;
    crowdedSurfaces.back() = 2;
    cases.push_back(
        {"crowded edge", MeshFormat::WavefrontObj, crowded + "f 1 2 5\n", crowdedSurfaces});
    for (const auto& c : cases) {
        const Parsed parsed = parseMesh(c.format, c.text);
        ASSERT_TRUE(parsed.ok) << parsed.failure;
        std::size_t count = 0;
        EXPECT_EQ(surfaceOfEachFace(parsed.mesh, count), c.surfaces) << c.name;
    }
}

// A mesh large enough for the rule to run on two threads: a grid of 20,000 triangles
// folded by 45 degrees along one row of vertices, two surfaces; a face that holds the
// fold's vertices on its first row but lies on the flat side stays with it.
TEST(CreaseRule, LargeFoldedGridHasTwoSurfaces) {
    std::vector<std::uint32_t> expected;
    const MeshData mesh = foldedGrid(expected);
    ASSERT_GE(mesh.faceCount(), 20000u);
    std::size_t count = 0;
    EXPECT_EQ(surfaceOfEachFace(mesh, count), expected);
    EXPECT_EQ(count, 2u);
}

// The same cube as a Kel object file and as an OFF file: the same vertex records, in the
// same order, and the same corners per surface. No record serves two faces: each later
// surface gets its own copies, in front of the file's vertices.
TEST(MeshObjects, CopySharedVerticesPerSurfaceExactlyAsTheKelReaderDoes) {
    const auto fromKel = readFromMemory(oneObjectScene(kCubeObject));
    const auto fromOff =
        readFromMemory({{"scene.kel", sceneHeader(1) + objectRecord("cube.off")},
                        {"cube.off",
                         "OFF\n8 6 0\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n0 0 1\n1 0 1\n1 1 1\n0 1 1\n"
                         "4 0 3 2 1\n4 4 5 6 7\n4 0 1 5 4\n4 2 3 7 6\n4 0 4 7 3\n4 1 2 6 5\n"}});
    ASSERT_NE(fromKel->scene, nullptr);
    ASSERT_NE(fromOff->scene, nullptr);
    EXPECT_TRUE(fromOff->messages.errors.empty());
    const SceneObject& a = *fromKel->scene->object(0);
    const SceneObject& b = *fromOff->scene->object(0);
    ASSERT_EQ(a.vertexCount(), 24u);  // 8 read, 16 copies
    ASSERT_EQ(b.vertexCount(), 24u);
    for (std::size_t i = 0; i < 24; ++i) {
        const int id = a.vertexAt(i)->id();
        EXPECT_EQ(b.vertexAt(i)->id(), id) << i;
        EXPECT_EQ(a.vertexAt(i)->polygons().size(), 1u) << i;
        EXPECT_EQ(b.vertexAt(i)->polygons().size(), 1u) << i;
        EXPECT_TRUE(b.vertexAt(i)->modelPosition() == a.vertexAt(i)->modelPosition()) << i;
        EXPECT_TRUE(a.vertexAt(i)->modelPosition() == a.vertexAt(16 + id)->modelPosition()) << i;
        EXPECT_EQ(a.vertexAt(16 + i % 8)->id(), static_cast<int>(i % 8));  // the file's, last
    }
    ASSERT_EQ(b.surfaceCount(), 6u);
    for (std::size_t s = 0; s < 6; ++s) {
        for (std::size_t j = 0; j < 4; ++j) {
            EXPECT_EQ(a.surfaces()[s]->polygons()[0]->vertexAt(j)->id(),
                      b.surfaces()[s]->polygons()[0]->vertexAt(j)->id());
        }
    }
}

// Each vertex lists the polygons that use it in the order the surfaces were built: the
// order its normal averages them in. The chain's vertex 1 serves three faces of one
// surface and, through a copy, a face of another; the fan's centre serves eight, more
// than its list keeps inline. The folded grid is large enough to be built on two threads:
// its fold's vertices get copies for the second surface, and its ids stay the file's.
TEST(MeshObjects, VerticesListTheirPolygonsInBuildOrder) {
    std::string fan = "v 0 0 0\n";
    for (int i = 0; i < 8; ++i) {
        fan += "v " + std::to_string(std::cos(i * 0.7853981633974483)) + " " +
               std::to_string(std::sin(i * 0.7853981633974483)) + " 0.1\n";
    }
    for (int i = 0; i < 8; ++i) {
        fan += "f 1 " + std::to_string(2 + i) + " " + std::to_string(2 + (i + 1) % 8) + "\n";
    }
    const std::string chain =
        "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0.36\nv -1 1 0.9\nf 1 2 3\nf 1 3 4\nf 1 4 5\n"
        "f 1 2 2\nf 2 1 5\n";
    std::vector<std::pair<std::string, MeshData>> meshes;
    for (const auto& [name, text] : {std::pair{"fan", fan}, std::pair{"chain", chain}}) {
        const Parsed parsed = parseMesh(MeshFormat::WavefrontObj, text);
        ASSERT_TRUE(parsed.ok) << parsed.failure;
        meshes.emplace_back(name, parsed.mesh);
    }
    std::vector<std::uint32_t> gridSurfaces;
    meshes.emplace_back("folded grid", foldedGrid(gridSurfaces));
    for (const auto& [name, mesh] : meshes) {
        SceneObject object(1);
        buildMeshObject(mesh, object);
        std::map<const Vertex*, std::vector<const Polygon*>> expected;
        std::size_t corners = 0;
        for (const auto& surface : object.surfaces()) {
            for (const Polygon* polygon : surface->polygons()) {
                for (std::size_t j = 0; j < polygon->vertexCount(); ++j) {
                    expected[polygon->vertexAt(j)].push_back(polygon);
                }
                corners += polygon->vertexCount();
            }
        }
        EXPECT_EQ(corners, mesh.corners.size()) << name;
        ASSERT_EQ(expected.size(), object.vertexCount()) << name;
        const std::size_t copies = object.vertexCount() - mesh.vertexCount();
        for (std::size_t i = 0; i < object.vertexCount(); ++i) {
            const Vertex* vertex = object.vertexAt(i);
            const auto& listed = vertex->polygons();
            EXPECT_EQ(std::vector<const Polygon*>(listed.begin(), listed.end()), expected[vertex])
                << name << " vertex " << i;
            if (i >= copies) {
                const std::size_t file = i - copies;
                EXPECT_EQ(vertex->id(), static_cast<int>(file)) << name;
                EXPECT_TRUE(vertex->modelPosition() == Vector(mesh.positions[3 * file],
                                                              mesh.positions[3 * file + 1],
                                                              mesh.positions[3 * file + 2]))
                    << name << " vertex " << i;
            }
        }
        if (name == "folded grid") {
            EXPECT_EQ(object.surfaceCount(), 2u);
            EXPECT_EQ(copies, 101u);  // the row of the fold, once more for the second surface
        }
    }
}

}  // namespace
}  // namespace kel::test
