#include "model/scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "model/camera.h"
#include "model/device_mapping.h"
#include "model/light.h"
#include "model/polygon.h"
#include "model/scene_object.h"
#include "model/scene_settings.h"

namespace kel {
namespace {

// Each row: from, to, up; the unit axes; where `probe` lands in eye space.
TEST(CameraTest, BuildsAnOrthonormalFrameWithAPerpendicularUp) {
    const struct {
        Vector from, to, up, normal, actualUp, right, probe, probeInEye;
    } cases[] = {
        {Vector(0.0, 0.0, 0.0), Vector(0.0, 0.0, 5.0), Vector(0.0, 1.0, 0.0), Vector(0.0, 0.0, 1.0),
         Vector(0.0, 1.0, 0.0), Vector(-1.0, 0.0, 0.0), Vector(0.0, 0.0, 5.0),
         Vector(0.0, 0.0, 5.0)},
        // A slanted up is made perpendicular; the eye at z = -10 sees the origin 10 ahead.
        {Vector(0.0, 0.0, -10.0), Vector(0.0, 0.0, 0.0), Vector(0.0, 1.0, 1.0),
         Vector(0.0, 0.0, 1.0), Vector(0.0, 1.0, 0.0), Vector(-1.0, 0.0, 0.0),
         Vector(0.0, 0.0, 0.0), Vector(0.0, 0.0, 10.0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from.z());
        Camera camera;
        camera.set(c.from, c.to, c.up);
        EXPECT_EQ(camera.normal(), c.normal);
        EXPECT_EQ(camera.actualUp(), c.actualUp);
        EXPECT_EQ(camera.right(), c.right);
        EXPECT_EQ(c.probe * camera.viewTransform(), c.probeInEye);
    }
}

TEST(CameraTest, DegenerateCamerasStayFinite) {
    Camera same;
    same.set(Vector(1.0, 2.0, 3.0), Vector(1.0, 2.0, 3.0), Vector(0.0, 1.0, 0.0));
    EXPECT_EQ(same.normal(), Vector(0.0, 0.0, 0.0));
    Camera parallel;
    parallel.set(Vector(0.0, 0.0, 0.0), Vector(0.0, 5.0, 0.0), Vector(0.0, 1.0, 0.0));
    EXPECT_EQ(parallel.actualUp(), Vector(0.0, 0.0, 0.0));
    EXPECT_EQ(parallel.right(), Vector(0.0, 0.0, 0.0));
}

TEST(FrustumTest, PerspectiveMapsNearToZeroAndFarToOne) {
    Frustum frustum;
    frustum.set(1.0, 11.0, 1.0);
    const Transform& p = frustum.perspectiveTransform();
    EXPECT_EQ(p.at(0, 0), 1.0);
    EXPECT_EQ(p.at(2, 2), 1.1);
    EXPECT_EQ(p.at(3, 2), -1.1);
    EXPECT_EQ(p.at(2, 3), 1.0);
    EXPECT_EQ(p.at(3, 3), 0.0);
    const Vector nearPoint = Vector(0.0, 0.0, 1.0, 1.0) * p;
    const Vector farPoint = Vector(0.0, 0.0, 11.0, 1.0) * p;
    EXPECT_EQ(nearPoint.z() / nearPoint.w(), 0.0);
    EXPECT_DOUBLE_EQ(farPoint.z() / farPoint.w(), 1.0);

    frustum.set(1.0, 100.0, 0.5);
    EXPECT_EQ(frustum.perspectiveTransform().at(0, 0), 2.0);
    EXPECT_EQ(frustum.perspectiveTransform().at(1, 1), 2.0);
}

TEST(FrustumTest, DegenerateFrustaGiveTheZeroMatrix) {
    for (const auto& [n, f, h] : std::vector<std::tuple<double, double, double>>{
             {1.0, 1.0, 1.0}, {1.0, 5.0, 0.0}, {1.0, 1.0 + 1e-7, 1.0}, {NAN, 5.0, 1.0}}) {
        Frustum frustum;
        frustum.set(n, f, h);
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(frustum.perspectiveTransform().row(i), Vector(4, 0.0));
        }
    }
}

TEST(SceneObjectTest, ModelingTransformScalesTurnsThenMoves) {
    SceneObject fresh(1);
    fresh.computeModelingTransform();
    for (std::size_t i = 0; i < 4; ++i) {
        for (std::size_t j = 0; j < 4; ++j) {
            EXPECT_EQ(fresh.modelingTransform().at(i, j), i == 3 && j == 3 ? 1.0 : 0.0);
        }
    }

    SceneObject moved(2);
    moved.setRotation(Vector(0.0, 0.0, 0.0));
    moved.setScaling(Vector(1.0, 1.0, 1.0));
    moved.setTranslation(Vector(5.0, 0.0, 0.0));
    moved.computeModelingTransform();
    EXPECT_EQ(Vector(1.0, 2.0, 3.0) * moved.modelingTransform(), Vector(6.0, 2.0, 3.0));
}

TEST(DeviceMappingTest, FitsTheLargestSquareLessTheMargin) {
    DeviceMapping mapping;
    mapping.fit({0, 0, 420, 300}, 10);
    EXPECT_EQ(mapping.side(), 280);
    EXPECT_EQ(mapping.windowX(0), 10);
    EXPECT_EQ(mapping.windowY(mapping.side()), 290);
    EXPECT_EQ(mapping.map(Vector(0.0, 0.0, 0.5, 1.0), 255.0), DevicePoint(140, 140, 127));
    EXPECT_EQ(mapping.map(Vector(1.0, 1.0, 1.0, 1.0), 255.0), DevicePoint(280, 0, 255));
    EXPECT_EQ(mapping.map(Vector(-1.0, -1.0, 0.0, 1.0), 255.0), DevicePoint(0, 280, 0));
}

TEST(DeviceMappingTest, TinyAreasAndWildPositionsStaySafe) {
    DeviceMapping mapping;
    mapping.fit({0, 0, 20, 500}, 10);
    EXPECT_EQ(mapping.side(), 0);
    EXPECT_EQ(mapping.map(Vector(0.7, -0.3, 0.5, 1.0), 255.0), DevicePoint(0, 0, 127));

    mapping.fit({0, 0, 900, 400}, 10);
    EXPECT_EQ(mapping.side(), 380);
    const DevicePoint wild = mapping.map(Vector(NAN, 1e300, -INFINITY, 1.0), 255.0);
    EXPECT_EQ(wild.x(), 0);
    EXPECT_EQ(wild.y(), 380 - (1 << 30));
    EXPECT_EQ(wild.depth(), -(1 << 30));
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
        return &p;
    }
};

TEST(PolygonTest, NewellNormalOfTheFirstThreeCorners) {
    Mesh mesh;
    Vertex* o = mesh.vertex(0, 0, 0);
    Vertex* x = mesh.vertex(1, 0, 0);
    Vertex* y = mesh.vertex(0, 1, 0);
    Vertex* off = mesh.vertex(5, 5, 3);
    Polygon* ccw = mesh.polygon({o, x, y});
    Polygon* cw = mesh.polygon({o, y, x});
    Polygon* bent = mesh.polygon({o, x, y, off});
    EXPECT_EQ(ccw->normal(), Vector(1.0, 1.0, 1.0));
    EXPECT_TRUE(ccw->visible());
    for (Polygon* p : {ccw, cw, bent}) {
        p->computeNormal();
    }
    EXPECT_EQ(ccw->normal(), Vector(0.0, 0.0, 1.0));
    EXPECT_EQ(cw->normal(), Vector(0.0, 0.0, -1.0));
    EXPECT_EQ(bent->normal(), Vector(0.0, 0.0, 1.0));
}

TEST(PolygonTest, DegeneratePolygonsKeepTheirNormal) {
    Mesh mesh;
    Vertex* a = mesh.vertex(0, 0, 0);
    Vertex* b = mesh.vertex(1, 1, 1);
    Polygon* segment = mesh.polygon({a, b});
    segment->computeNormal();
    EXPECT_EQ(segment->normal(), Vector(1.0, 1.0, 1.0));
    Polygon* collinear = mesh.polygon({a, b, mesh.vertex(2, 2, 2)});
    collinear->computeNormal();
    EXPECT_EQ(collinear->normal(), Vector(0.0, 0.0, 0.0));
    Vertex lonely;
    lonely.computeNormal();
    EXPECT_EQ(lonely.normal(), Vector(0.0, 0.0, 0.0));
}

TEST(PolygonTest, VertexNormalsAverageThePolygonsUsingThem) {
    Mesh mesh;
    Vertex* shared = mesh.vertex(0, 0, 0);
    Polygon* facingZ = mesh.polygon({shared, mesh.vertex(1, 0, 0), mesh.vertex(0, 1, 0)});
    Polygon* facingX = mesh.polygon({shared, mesh.vertex(0, 1, 0), mesh.vertex(0, 0, 1)});
    facingZ->computeNormal();
    facingX->computeNormal();
    ASSERT_EQ(facingX->normal(), Vector(1.0, 0.0, 0.0));
    facingZ->computeVertexNormals();
    EXPECT_DOUBLE_EQ(shared->normal().x(), std::sqrt(0.5));
    EXPECT_EQ(shared->normal().y(), 0.0);
    EXPECT_DOUBLE_EQ(shared->normal().z(), std::sqrt(0.5));

    Mesh opposite;
    Vertex* v = opposite.vertex(0, 0, 0);
    Vertex* x = opposite.vertex(1, 0, 0);
    Vertex* y = opposite.vertex(0, 1, 0);
    Polygon* front = opposite.polygon({v, x, y});
    Polygon* back = opposite.polygon({v, y, x});
    front->computeNormal();
    back->computeNormal();
    v->computeNormal();
    EXPECT_EQ(v->normal(), Vector(0.0, 0.0, 0.0));
}

TEST(VertexTest, ProjectedPositionDividesByW) {
    Vertex v;
    v.setClipPosition(Vector(2.0, 4.0, 6.0, 2.0));
    Vector out(4, 7.0);
    ASSERT_TRUE(v.projectedPosition(out));
    EXPECT_EQ(out, Vector(1.0, 2.0, 3.0, 1.0));
    out = Vector(4, 7.0);
    v.setClipPosition(Vector(2.0, 4.0, 6.0, 1e-9));
    EXPECT_FALSE(v.projectedPosition(out));
    EXPECT_EQ(out, Vector(4, 7.0));
}

std::unique_ptr<Scene> makeScene(std::size_t objects) {
    auto scene = std::make_unique<Scene>();
    auto camera = std::make_unique<Camera>();
    camera->set(Vector(1, 2, -10), Vector(0, 0.5, 0), Vector(0.1, 1, 0));
    scene->setCamera(std::move(camera));
    auto frustum = std::make_unique<Frustum>();
    frustum->set(1.0, 50.0, 0.7);
    scene->setFrustum(std::move(frustum));
    auto light = std::make_unique<Light>();
    light->setIntensity(0.8);
    light->setDirection(Vector(1, 3, -7));
    light->setColor(Color(250, 240, 230));
    scene->setLight(std::move(light));
    scene->setAmbient(0.3);
    for (std::size_t i = 0; i < objects; ++i) {
        auto object = std::make_unique<SceneObject>(static_cast<int>(i) + 1);
        object->setScaling(Vector(1, 2, 3));
        object->setRotation(Vector(10, 20, 30));
        object->setTranslation(Vector(-1, 0, 1));
        object->setColor(Color(9, 99, 199));
        object->setDiffuse(0.6);
        object->setSpecular(0.2);
        object->setShininess(12);
        object->computeModelingTransform();
        scene->addObject(std::move(object));
    }
    return scene;
}

void changeEverything(Scene& scene) {
    scene.camera()->set(Vector(5, 5, 5), Vector(1, 1, 1), Vector(0, 0, 1));
    scene.frustum()->set(2.0, 9.0, 3.0);
    scene.light()->setIntensity(0.1);
    scene.light()->setDirection(Vector(0.3, -0.2, 0.9));
    scene.light()->setColor(Color(1, 2, 3));
    scene.setAmbient(0.9);
    for (std::size_t i = 0; i < scene.objectCount(); ++i) {
        SceneObject& object = *scene.object(i);
        object.setScaling(Vector(4, 4, 4));
        object.setRotation(Vector(0, 90, 0));
        object.setTranslation(Vector(7, 7, 7));
        object.setColor(Color(0, 0, 0));
        object.setDiffuse(0.0);
        object.setSpecular(1.0);
        object.setShininess(300);
        object.computeModelingTransform();
    }
}

bool sameMatrix(const Matrix& a, const Matrix& b) {
    for (std::size_t r = 0; r < 4; ++r) {
        if (!(a.row(r) == b.row(r))) {
            return false;
        }
    }
    return true;
}

TEST(SceneSettings, RestoreGivesBackEveryValueAndTransformExactly) {
    const auto scene = makeScene(2);
    const auto reference = makeScene(2);
    const SceneSettings before = captureSettings(*scene);
    changeEverything(*scene);
    EXPECT_FALSE(captureSettings(*scene) == before);
    ASSERT_TRUE(restoreSettings(*scene, before));
    EXPECT_TRUE(captureSettings(*scene) == before);
    EXPECT_TRUE(sameMatrix(scene->camera()->viewTransform(), reference->camera()->viewTransform()));
    EXPECT_TRUE(sameMatrix(scene->frustum()->perspectiveTransform(),
                           reference->frustum()->perspectiveTransform()));
    EXPECT_TRUE(scene->light()->direction() == reference->light()->direction());
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_TRUE(sameMatrix(scene->object(i)->modelingTransform(),
                               reference->object(i)->modelingTransform()));
    }
}

TEST(SceneSettings, SettingsOfAnotherSceneShapeChangeNothing) {
    const auto scene = makeScene(2);
    const SceneSettings original = captureSettings(*scene);
    SceneSettings fewer = captureSettings(*makeScene(1));
    fewer.ambient = 0.0;
    EXPECT_FALSE(restoreSettings(*scene, fewer));
    SceneSettings noCamera = original;
    noCamera.camera.reset();
    noCamera.ambient = 0.0;
    EXPECT_FALSE(restoreSettings(*scene, noCamera));
    Scene empty;
    EXPECT_FALSE(restoreSettings(empty, original));
    EXPECT_TRUE(captureSettings(*scene) == original);
    // An empty scene's own settings go back onto it.
    EXPECT_TRUE(restoreSettings(empty, captureSettings(empty)));
}
}  // namespace
}  // namespace kel
