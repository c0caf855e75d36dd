#include "model/scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "model/device_mapping.h"
#include "model/scene_settings.h"
#include "scene_setup.h"

namespace kel {
namespace {

TEST(CameraTest, BuildsAnOrthonormalFrameWithAPerpendicularUp) {
    // The slanted up of the second row is made perpendicular.
    for (const Vector& up : {Vector(0.0, 1.0, 0.0), Vector(0.0, 1.0, 1.0)}) {
        Camera camera;
        camera.set(Vector(0.0, 0.0, -10.0), Vector(0.0, 0.0, 5.0), up);
        EXPECT_EQ(camera.normal(), Vector(0.0, 0.0, 1.0));
        EXPECT_EQ(camera.actualUp(), Vector(0.0, 1.0, 0.0));
        EXPECT_EQ(camera.right(), Vector(-1.0, 0.0, 0.0));
        EXPECT_EQ(Vector(0.0, 0.0, 0.0) * camera.viewTransform(), Vector(0.0, 0.0, 10.0));
    }
    Camera same;
    same.set(Vector(1.0, 2.0, 3.0), Vector(1.0, 2.0, 3.0), Vector(0.0, 1.0, 0.0));
    EXPECT_EQ(same.normal(), Vector(0.0, 0.0, 0.0));
    Camera parallel;
    parallel.set(Vector(0.0, 0.0, 0.0), Vector(0.0, 5.0, 0.0), Vector(0.0, 1.0, 0.0));
    EXPECT_EQ(parallel.actualUp(), Vector(0.0, 0.0, 0.0));
    EXPECT_EQ(parallel.right(), Vector(0.0, 0.0, 0.0));
}

TEST(FrustumTest, PerspectiveOfNearFarAndHeightAndZeroForDegenerateFrusta) {
    Frustum frustum;
    frustum.set(1.0, 11.0, 0.5);
    const Transform& p = frustum.perspectiveTransform();
    EXPECT_EQ(p.row(0), Vector(2.0, 0.0, 0.0, 0.0));
    EXPECT_EQ(p.row(1), Vector(0.0, 2.0, 0.0, 0.0));
    EXPECT_EQ(p.row(2), Vector(0.0, 0.0, 1.1, 1.0));
    EXPECT_EQ(p.row(3), Vector(0.0, 0.0, -1.1, 0.0));
    for (const auto& [n, f, h] : std::vector<std::tuple<double, double, double>>{
             {1.0, 1.0, 1.0}, {1.0, 5.0, 0.0}, {1.0, 1.0 + 1e-7, 1.0}, {NAN, 5.0, 1.0}}) {
        frustum.set(n, f, h);
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(frustum.perspectiveTransform().row(i), Vector(4, 0.0)) << n << " " << f;
        }
    }
}

TEST(DeviceMappingTest, FitsTheLargestSquareLessTheMarginAndStaysSafe) {
    DeviceMapping mapping;
    mapping.fit({0, 0, 420, 300}, 10);
    EXPECT_EQ(mapping.side(), 280);
    EXPECT_EQ(mapping.map(Vector(1.0, 1.0, 1.0, 1.0), 255.0), DevicePoint(280, 0, 255));
    EXPECT_EQ(mapping.map(Vector(-1.0, -1.0, 0.0, 1.0), 255.0), DevicePoint(0, 280, 0));
    mapping.fit({0, 0, 20, 500}, 10);
    EXPECT_EQ(mapping.side(), 0);
    EXPECT_EQ(mapping.map(Vector(0.7, -0.3, 0.5, 1.0), 255.0), DevicePoint(0, 0, 127));
    mapping.fit({0, 0, 900, 400}, 10);
    EXPECT_EQ(mapping.map(Vector(NAN, 1e300, -INFINITY, 1.0), 255.0),
              DevicePoint(0, 380 - (1 << 30), -(1 << 30)));
}

// A small mesh: corners are held by the object, polygons by a surface.
struct Mesh {
    SceneObject object{1};
    Surface surface;

    Vertex* vertex(double x, double y, double z) {
        Vertex& v = object.addVertex();
        v.setWorldPosition(Vector(x, y, z));
        return &v;
    }
    Polygon* polygon(std::initializer_list<Vertex*> corners) {
        Polygon& p = surface.addPolygon();
        std::size_t i = 0;
        for (Vertex* corner : corners) {
            p.setVertexAt(i++, corner);
            corner->addPolygon(&p);
        }
        p.setVertexCount(i);
        p.computeNormal();
        return &p;
    }
};

// Newell's normal over the first three corners; without three distinct ones the previous
// normal (a fresh polygon's is (1, 1, 1)) stays.
TEST(PolygonTest, NormalsOfPolygonsAndOfTheirCorners) {
    Mesh mesh;
    Vertex* o = mesh.vertex(0, 0, 0);
    Vertex* x = mesh.vertex(1, 0, 0);
    Vertex* y = mesh.vertex(0, 1, 0);
    Vertex* z = mesh.vertex(0, 0, 1);
    const struct {
        Polygon* polygon;
        Vector normal;
    } cases[] = {
        {mesh.polygon({o, x, y}), Vector(0.0, 0.0, 1.0)},
        {mesh.polygon({o, y, x}), Vector(0.0, 0.0, -1.0)},
        {mesh.polygon({o, x, y, mesh.vertex(5, 5, 3)}), Vector(0.0, 0.0, 1.0)},
        {mesh.polygon({o, mesh.vertex(1, 1, 1)}), Vector(1.0, 1.0, 1.0)},
        {mesh.polygon({o, mesh.vertex(1, 1, 1), mesh.vertex(2, 2, 2)}), Vector(0.0, 0.0, 0.0)},
        {mesh.polygon({o, y, z}), Vector(1.0, 0.0, 0.0)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.polygon->normal(), c.normal) << c.polygon->vertexCount();
    }
    // o is in polygons facing +z, -z, +z, (1, 1, 1), 0 and +x: the mean is along (2, 1, 2).
    cases[0].polygon->computeVertexNormals();
    EXPECT_DOUBLE_EQ(o->normal().x(), 2.0 / 3.0);
    EXPECT_DOUBLE_EQ(o->normal().y(), 1.0 / 3.0);
    EXPECT_DOUBLE_EQ(o->normal().z(), 2.0 / 3.0);
    // w is in two polygons facing opposite ways, which cancel; lonely in none.
    Vertex* w = mesh.vertex(0, 0, 0);
    mesh.polygon({w, x, y});
    mesh.polygon({w, y, x});
    w->computeNormal();
    EXPECT_EQ(w->normal(), Vector(0.0, 0.0, 0.0));
    Vertex lonely;
    lonely.computeNormal();
    EXPECT_EQ(lonely.normal(), Vector(0.0, 0.0, 0.0));
}

// Two objects with every setting away from its default.
std::unique_ptr<Scene> settingsScene() {
    auto scene = test::makeScene();
    scene->light()->setColor(Color(250, 240, 230));
    scene->setAmbient(0.3);
    for (int i = 0; i < 2; ++i) {
        auto object = std::make_unique<SceneObject>(i + 1);
        object->setColor(Color(9, 99, 199));
        object->setScaling(Vector(1, 2, 3));
        object->setRotation(Vector(10, 20, 30));
        object->setTranslation(Vector(-1, 0, 1));
        object->setDiffuse(0.6);
        object->setSpecular(0.2);
        object->setShininess(12);
        object->computeModelingTransform();
        scene->addObject(std::move(object));
    }
    return scene;
}

// Every transform the renderer takes from the settings, row by row.
std::vector<Vector> transformRows(const Scene& scene) {
    std::vector<const Matrix*> matrices = {&scene.camera()->viewTransform(),
                                           &scene.frustum()->perspectiveTransform()};
    for (std::size_t i = 0; i < scene.objectCount(); ++i) {
        matrices.push_back(&scene.object(i)->modelingTransform());
    }
    std::vector<Vector> rows;
    for (const Matrix* m : matrices) {
        for (std::size_t r = 0; r < 4; ++r) {
            rows.push_back(m->row(r));
        }
    }
    return rows;
}

TEST(SceneSettings, RestoreGivesBackEveryValueAndTransformExactly) {
    const auto scene = settingsScene();
    const auto reference = settingsScene();
    const SceneSettings before = captureSettings(*scene);
    SceneSettings other = before;
    other.camera = CameraPose{Vector(5, 5, 5), Vector(1, 1, 1), Vector(0, 0, 1)};
    other.frustum = {2.0, 9.0, 3.0};
    other.light = {0.1, Vector(0.0, 1.0, 0.0), 0x030201u};
    other.ambient = 0.9;
    for (SceneSettings::ObjectValues& object : other.objects) {
        object = {Vector(0, 90, 0), Vector(4, 4, 4), Vector(7, 7, 7), 0u, 0.0, 1.0, 300};
    }
    ASSERT_TRUE(restoreSettings(*scene, other));
    EXPECT_TRUE(captureSettings(*scene) == other);
    ASSERT_TRUE(restoreSettings(*scene, before));
    EXPECT_TRUE(captureSettings(*scene) == before);
    EXPECT_EQ(transformRows(*scene), transformRows(*reference));
}

TEST(SceneSettings, SettingsOfAnotherSceneShapeChangeNothing) {
    const auto scene = settingsScene();
    const SceneSettings original = captureSettings(*scene);
    SceneSettings fewer = original;
    fewer.objects.pop_back();
    SceneSettings noCamera = original;
    noCamera.camera.reset();
    for (SceneSettings other : {fewer, noCamera}) {
        other.ambient = 0.0;
        EXPECT_FALSE(restoreSettings(*scene, other));
    }
    Scene empty;
    EXPECT_FALSE(restoreSettings(empty, original));
    EXPECT_TRUE(captureSettings(*scene) == original);
    // An empty scene's own settings go back onto it.
    EXPECT_TRUE(restoreSettings(empty, captureSettings(empty)));
}

}  // namespace
}  // namespace kel
