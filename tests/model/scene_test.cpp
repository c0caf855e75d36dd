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

namespace kel {
namespace {

TEST(CameraTest, LooksAlongTheLineOfSight) {
    Camera camera;
    camera.set(Vector(0.0, 0.0, 0.0), Vector(0.0, 0.0, 5.0), Vector(0.0, 1.0, 0.0));
    EXPECT_EQ(camera.normal(), Vector(0.0, 0.0, 1.0));
    EXPECT_EQ(camera.actualUp(), Vector(0.0, 1.0, 0.0));
    EXPECT_EQ(camera.right(), Vector(-1.0, 0.0, 0.0));
    EXPECT_EQ(Vector(0.0, 0.0, 5.0) * camera.viewTransform(), Vector(0.0, 0.0, 5.0));
}

TEST(CameraTest, MakesTheUpVectorPerpendicular) {
    Camera camera;
    camera.set(Vector(0.0, 0.0, -10.0), Vector(0.0, 0.0, 0.0), Vector(0.0, 1.0, 1.0));
    EXPECT_EQ(camera.normal(), Vector(0.0, 0.0, 1.0));
    EXPECT_EQ(camera.actualUp(), Vector(0.0, 1.0, 0.0));
    EXPECT_EQ(camera.right(), Vector(-1.0, 0.0, 0.0));
    // The eye sits at z = -10, so the origin is 10 along the line of sight.
    EXPECT_EQ(Vector(0.0, 0.0, 0.0) * camera.viewTransform(), Vector(0.0, 0.0, 10.0));
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

TEST(LightTest, KeepsAUnitCopyOfTheDirection) {
    Light light;
    const Vector given(0.0, 0.0, 2.0);
    light.setDirection(given);
    EXPECT_EQ(light.direction(), Vector(0.0, 0.0, 1.0));
    EXPECT_EQ(given, Vector(0.0, 0.0, 2.0));
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

TEST(SceneTest, StartsEmptyWithADeviceMapping) {
    const Scene scene;
    EXPECT_EQ(scene.camera(), nullptr);
    EXPECT_EQ(scene.frustum(), nullptr);
    EXPECT_EQ(scene.light(), nullptr);
    EXPECT_EQ(scene.ambient(), 0.0);
    EXPECT_FALSE(scene.cullBackFaces());
    EXPECT_FALSE(scene.resetVisibility());
    EXPECT_EQ(scene.objectCount(), 0u);
    EXPECT_NE(scene.deviceMapping(), nullptr);
}

// Records what is drawn, so the frame's corners can be checked.
class RecordingSurface : public DrawingSurface {
public:
    ClientRect clientRect() const override { return {}; }
    void setPixel(int, int, std::uint32_t) override {}
    void moveTo(int x, int y) override { record('M', x, y); }
    void lineTo(int x, int y) override { record('L', x, y); }
    std::vector<std::string> calls;

private:
    void record(char kind, int x, int y) {
        std::string call(1, kind);
        call += std::to_string(x);
        call += ',';
        call += std::to_string(y);
        calls.push_back(call);
    }
};

TEST(DeviceMappingTest, FitsTheLargestSquareLessTheMargin) {
    DeviceMapping mapping;
    mapping.fit({0, 0, 420, 300}, 10);
    EXPECT_EQ(mapping.side(), 280);
    EXPECT_EQ(mapping.windowX(0), 10);
    EXPECT_EQ(mapping.windowY(mapping.side()), 290);
    EXPECT_EQ(mapping.map(Vector(0.0, 0.0, 0.5, 1.0), 255.0), DevicePoint(140, 140, 127));
    EXPECT_EQ(mapping.map(Vector(1.0, 1.0, 1.0, 1.0), 255.0), DevicePoint(280, 0, 255));
    EXPECT_EQ(mapping.map(Vector(-1.0, -1.0, 0.0, 1.0), 255.0), DevicePoint(0, 280, 0));

    RecordingSurface surface;
    mapping.drawFrame(surface);
    EXPECT_EQ(surface.calls,
              (std::vector<std::string>{"M9,9", "L9,290", "L290,290", "L290,9", "L9,9"}));
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

TEST(PolygonTest, ClippedCornersReplaceTheOwnOnesUntilCleared) {
    Mesh mesh;
    Polygon* p = mesh.polygon({mesh.vertex(0, 0, 0), mesh.vertex(1, 0, 0), mesh.vertex(0, 1, 0)});
    for (std::size_t i = 0; i < 4; ++i) {
        p->setClippedVertexAt(i, std::make_unique<Vertex>());
    }
    p->setClippedCount(4);
    EXPECT_EQ(p->effectiveVertexCount(), 4u);
    EXPECT_NE(p->effectiveVertex(0), p->vertexAt(0));
    p->clearClipped();
    EXPECT_EQ(p->effectiveVertexCount(), 3u);
    EXPECT_EQ(p->effectiveVertex(0), p->vertexAt(0));
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

TEST(SceneObjectTest, InsertingAtTheFrontShiftsTheOthers) {
    SceneObject object(1);
    object.addVertex().setId(1);
    object.insertVertexAtFront(*object.vertexAt(0)).setId(2);
    ASSERT_EQ(object.vertexCount(), 2u);
    EXPECT_EQ(object.vertexAt(0)->id(), 2);
    EXPECT_EQ(object.vertexAt(1)->id(), 1);
}

}  // namespace
}  // namespace kel
