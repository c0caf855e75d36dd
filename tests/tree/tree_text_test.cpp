#include "tree/tree_text.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tree_test_scenes.h"

namespace kel {
namespace {

std::string treeText(Scene* scene) {
    std::ostringstream out;
    writeTreeText(out, scene);
    return out.str();
}

TEST(TreeTextTest, WithoutASceneOnlyTheRootsAreWritten) {
    EXPECT_EQ(treeText(nullptr), "Camera\nFrustum\nLight\nAmbient\nObjects\n");
}

TEST(TreeTextTest, EveryLevelIsOpenedAndIndentedByTwoBlanks) {
    Scene scene;
    scene.setAmbient(-0.5);
    auto object = std::make_unique<SceneObject>(1);
    object->setName("tri.obj");
    auto a = std::make_unique<Vertex>();
    auto b = std::make_unique<Vertex>();
    auto c = std::make_unique<Vertex>();
    a->setId(1);
    b->setId(2);
    c->setId(3);
    a->setModelPosition(Vector(1.0, 0.0, 0.0));
    b->setModelPosition(Vector(0.0, 1.0, 0.0));
    auto surface = std::make_unique<Surface>();
    Polygon& triangle = testing::addPolygon(*surface, {a.get(), b.get(), c.get()});
    triangle.setVisible(false);
    object->addVertex(std::move(a));
    object->addVertex(std::move(b));
    object->addVertex(std::move(c));
    object->addSurface(std::move(surface));
    scene.addObject(std::move(object));

    EXPECT_EQ(treeText(&scene),
              "Camera\n"
              "Frustum\n"
              "Light\n"
              "Ambient\n"
              "    -0.500\n"
              "Objects\n"
              "  tri.obj\n"
              "    Rotation\n"
              "         0.000    0.000    0.000\n"
              "    Scaling\n"
              "         0.000    0.000    0.000\n"
              "    Translation\n"
              "         0.000    0.000    0.000\n"
              "    Color\n"
              "      255 255 255\n"
              "    Diffuse\n"
              "         0.000\n"
              "    Specular\n"
              "         0.000\n"
              "    Shininess\n"
              "      0\n"
              "    Modeling Transform\n"
              "         0.000    0.000    0.000    0.000\n"
              "         0.000    0.000    0.000    0.000\n"
              "         0.000    0.000    0.000    0.000\n"
              "         0.000    0.000    0.000    0.000\n"
              "    Vertices\n"
              "         1,    1.000    0.000    0.000\n"
              "         2,    0.000    1.000    0.000\n"
              "         3,    0.000    0.000    0.000\n"
              "    Surfaces\n"
              "      Surface 0\n"
              "        Polygon 0\n"
              "          Vertices\n"
              "            1 2 3 \n"
              "          Normal\n"
              "               1.000    1.000    1.000\n"
              "          Not Visible\n");
}

TEST(TreeTextTest, LightValuesAndBothObjectsAppearInOrder) {
    const auto scene = testing::makeTwoObjectScene();
    const std::string text = treeText(scene.get());
    const auto light = text.find("Light\n  Direction\n       0.000    0.000   -1.000\n"
                                 "  Intensity\n       0.800\n  Color\n    255   0   7\nAmbient\n");
    EXPECT_NE(light, std::string::npos);
    const auto chair = text.find("\n  chair.obj\n");
    const auto table = text.find("\n  table.obj\n");
    ASSERT_NE(chair, std::string::npos);
    ASSERT_NE(table, std::string::npos);
    EXPECT_LT(chair, table);
    EXPECT_NE(text.find("      Surface 1\n        Polygon 0\n          Vertices\n            4 9 11 \n"),
              std::string::npos);
    // The table has no geometry: its two lists stay empty and the text ends there.
    EXPECT_EQ(text.substr(text.size() - 26), "    Vertices\n    Surfaces\n");
}

}  // namespace
}  // namespace kel
