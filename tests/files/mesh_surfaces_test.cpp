#include <gtest/gtest.h>

#include <cmath>
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

constexpr double kPi = 3.14159265358979323846;

// The surface each face of the file lands in.
std::vector<std::uint32_t> surfacesOf(MeshFormat format, const std::string& text) {
    const Parsed parsed = parseMesh(format, text);
    EXPECT_TRUE(parsed.ok) << parsed.failure;
    std::size_t count = 0;
    return parsed.ok ? surfaceOfEachFace(parsed.mesh, count) : std::vector<std::uint32_t>{};
}

// Two triangles on the edge (0,0,0)-(1,0,0), the second folded up by `degrees` about it.
std::string hinge(double degrees) {
    const double a = degrees * kPi / 180.0;
    char second[128];
    std::snprintf(second, sizeof second, "v 0.5 %.17g %.17g\n", -std::cos(a), std::sin(a));
    return std::string("v 0 0 0\nv 1 0 0\nv 0.5 1 0\n") + second + "f 1 2 3\nf 2 1 4\n";
}

TEST(CreaseRule, FacesJoinAcrossAnEdgeOnlyBelowThirtyDegrees) {
    using Surfaces = std::vector<std::uint32_t>;
    const struct {
        double degrees;
        Surfaces expected;
    } cases[] = {{0.0, {0, 0}}, {29.9, {0, 0}}, {30.1, {0, 1}}, {90.0, {0, 1}}, {180.0, {0, 1}}};
    for (const auto& c : cases) {
        EXPECT_EQ(surfacesOf(MeshFormat::WavefrontObj, hinge(c.degrees)), c.expected)
            << c.degrees << " degrees";
    }
}

TEST(CreaseRule, ChainsZeroNormalsWindingAndSmoothingGroups) {
    const struct {
        const char* name;
        MeshFormat format;
        std::string text;
        std::vector<std::uint32_t> surfaces;
    } cases[] = {
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
    for (const auto& c : cases) {
        EXPECT_EQ(surfacesOf(c.format, c.text), c.surfaces) << c.name;
    }
}

TEST(FaceNormal, IsBitForBitThePolygonNormalOfTheModel) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> coordinate(-1e3, 1e3);
    MeshData mesh;
    for (int i = 0; i < 300; ++i) {
        mesh.addVertex(coordinate(random), coordinate(random), coordinate(random));
    }
    for (std::uint32_t f = 0; f < 100; ++f) {
        mesh.corners.insert(mesh.corners.end(), {3 * f, 3 * f + 1, 3 * f + 2});
        mesh.endFace();
    }
    SceneObject object(1);
    buildMeshObject(mesh, object);
    for (std::size_t f = 0; f < mesh.faceCount(); ++f) {
        Polygon polygon;
        Vertex corners[3];
        for (std::size_t j = 0; j < 3; ++j) {
            const double* p = &mesh.positions[3 * mesh.corners[3 * f + j]];
            corners[j].setWorldPosition(Vector(p[0], p[1], p[2]));
            polygon.setVertexAt(j, &corners[j]);
        }
        polygon.setVertexCount(3);
        polygon.computeNormal();
        EXPECT_TRUE(faceNormal(mesh, f) == polygon.normal()) << "face " << f;
    }
}

// The same cube as a Kel object file and as an OFF file: the same vertex records, in the
// same order, and the same corners per surface.
TEST(MeshObjects, CopySharedVerticesPerSurfaceExactlyAsTheKelReaderDoes) {
    const std::vector<std::string> positions = {"0 0 0\n", "1 0 0\n", "1 1 0\n", "0 1 0\n",
                                                "0 0 1\n", "1 0 1\n", "1 1 1\n", "0 1 1\n"};
    const std::vector<std::vector<int>> faces = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                                                 {2, 3, 7, 6}, {1, 2, 6, 5}, {0, 4, 7, 3}};
    std::string off = "OFF\n8 6 0\n";
    std::string kel = "8\n";
    for (std::size_t i = 0; i < positions.size(); ++i) {
        off += positions[i];
        kel.append(std::to_string(i)).append(1, ' ').append(positions[i]);
    }
    kel += "6\n";
    for (const auto& face : faces) {
        off += "4";
        kel += "1 4";
        for (const int v : face) {
            off.append(1, ' ').append(std::to_string(v));
            kel.append(1, ' ').append(std::to_string(v));
        }
        off += "\n";
        kel += "\n";
    }
    const auto fromKel = readFromMemory(oneObjectScene(kel));
    const auto fromOff = readFromMemory(
        {{"scene.kel", sceneHeader(1) + objectRecord("cube.off")}, {"cube.off", off}});
    ASSERT_NE(fromKel->scene, nullptr);
    ASSERT_NE(fromOff->scene, nullptr);
    EXPECT_TRUE(fromOff->messages.errors.empty());
    const SceneObject& a = *fromKel->scene->object(0);
    const SceneObject& b = *fromOff->scene->object(0);
    ASSERT_EQ(b.vertexCount(), 24u);  // 8 read, 16 copies: every face is its own surface
    ASSERT_EQ(a.vertexCount(), b.vertexCount());
    for (std::size_t i = 0; i < a.vertexCount(); ++i) {
        EXPECT_EQ(a.vertexAt(i)->id(), b.vertexAt(i)->id()) << i;
        EXPECT_TRUE(a.vertexAt(i)->modelPosition() == b.vertexAt(i)->modelPosition()) << i;
        EXPECT_EQ(a.vertexAt(i)->polygons().size(), b.vertexAt(i)->polygons().size()) << i;
    }
    ASSERT_EQ(b.surfaceCount(), 6u);
    for (std::size_t s = 0; s < 6; ++s) {
        const Polygon& pa = *a.surfaces()[s]->polygons()[0];
        const Polygon& pb = *b.surfaces()[s]->polygons()[0];
        ASSERT_EQ(pb.vertexCount(), 4u);
        for (std::size_t j = 0; j < 4; ++j) {
            EXPECT_EQ(pa.vertexAt(j)->id(), pb.vertexAt(j)->id());
        }
    }
}

TEST(MeshObjects, AWeldedStlCubeKeepsItsSixFacesAndASmoothStripOneSurface) {
    const float v[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                           {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    const int quads[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                             {2, 3, 7, 6}, {1, 2, 6, 5}, {0, 4, 7, 3}};
    std::vector<std::vector<float>> triangles;
    for (const auto& q : quads) {
        for (const auto& t : {std::array<int, 3>{q[0], q[1], q[2]}, {q[0], q[2], q[3]}}) {
            std::vector<float> tri;
            for (const int i : t) {
                tri.insert(tri.end(), v[i], v[i] + 3);
            }
            triangles.push_back(tri);
        }
    }
    const Parsed parsed = parseMesh(MeshFormat::Stl, binaryStl(triangles));
    ASSERT_TRUE(parsed.ok) << parsed.failure;
    EXPECT_EQ(parsed.mesh.vertexCount(), 8u);
    std::size_t count = 0;
    EXPECT_EQ(surfaceOfEachFace(parsed.mesh, count),
              (std::vector<std::uint32_t>{0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5}));
    SceneObject object(1);
    buildMeshObject(parsed.mesh, object);
    EXPECT_EQ(object.surfaceCount(), 6u);
    EXPECT_EQ(object.vertexCount(), 24u);  // each corner once per face it bounds
}

}  // namespace
}  // namespace kel::test
