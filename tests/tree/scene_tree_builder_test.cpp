#include "tree/scene_tree_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tree_test_scenes.h"

namespace kel {
namespace {

std::vector<std::string> textsOf(const std::vector<TreeNode>& nodes) {
    std::vector<std::string> texts;
    for (const TreeNode& node : nodes) {
        texts.push_back(node.text);
    }
    return texts;
}

std::vector<int> kindsOf(const std::vector<TreeNode>& nodes) {
    std::vector<int> kinds;
    for (const TreeNode& node : nodes) {
        kinds.push_back(static_cast<int>(node.data.kind));
    }
    return kinds;
}

TreeItemData itemOf(TreeItemKind kind) {
    TreeItemData data;
    data.kind = kind;
    return data;
}

const TreeNode& childNamed(const std::vector<TreeNode>& nodes, const std::string& text) {
    for (const TreeNode& node : nodes) {
        if (node.text == text) {
            return node;
        }
    }
    ADD_FAILURE() << "no item " << text;
    return nodes.front();
}

class SceneTreeBuilderTest : public ::testing::Test {
protected:
    std::unique_ptr<Scene> scene = testing::makeTwoObjectScene();
    SceneObject& chair = *scene->object(0);

    std::vector<TreeNode> childrenOf(TreeItemKind kind) {
        return SceneTreeBuilder::childrenOf(itemOf(kind), scene.get());
    }
    std::vector<TreeNode> chairChildren() {
        TreeItemData data = itemOf(TreeItemKind::Object);
        data.object = &chair;
        return SceneTreeBuilder::childrenOf(data, scene.get());
    }
};

TEST_F(SceneTreeBuilderTest, RootsAreTheFiveExpandableHeadingsWithoutChildren) {
    const auto roots = SceneTreeBuilder::rootItems();
    EXPECT_EQ(textsOf(roots),
              (std::vector<std::string>{"Camera", "Frustum", "Light", "Ambient", "Objects"}));
    EXPECT_EQ(kindsOf(roots), (std::vector<int>{1, 9, 14, 20, 29}));
    for (const TreeNode& root : roots) {
        EXPECT_TRUE(root.expandable) << root.text;
        EXPECT_TRUE(root.children.empty()) << root.text;
        EXPECT_TRUE(buildsChildrenOnExpansion(root.data.kind)) << root.text;
    }
}

TEST_F(SceneTreeBuilderTest, NothingIsBuiltWithoutAScene) {
    for (const TreeNode& root : SceneTreeBuilder::rootItems()) {
        EXPECT_TRUE(SceneTreeBuilder::childrenOf(root.data, nullptr).empty()) << root.text;
    }
}

TEST_F(SceneTreeBuilderTest, MissingCameraFrustumAndLightGiveNoChildren) {
    Scene bare;
    EXPECT_TRUE(SceneTreeBuilder::childrenOf(itemOf(TreeItemKind::Camera), &bare).empty());
    EXPECT_TRUE(SceneTreeBuilder::childrenOf(itemOf(TreeItemKind::Frustum), &bare).empty());
    EXPECT_TRUE(SceneTreeBuilder::childrenOf(itemOf(TreeItemKind::Light), &bare).empty());
    EXPECT_TRUE(SceneTreeBuilder::childrenOf(itemOf(TreeItemKind::Objects), &bare).empty());
    EXPECT_EQ(textsOf(SceneTreeBuilder::childrenOf(itemOf(TreeItemKind::Ambient), &bare)),
              (std::vector<std::string>{"   0.000"}));
}

TEST_F(SceneTreeBuilderTest, CameraChildrenCarryTheirValuesAndTheScene) {
    const auto camera = childrenOf(TreeItemKind::Camera);
    EXPECT_EQ(textsOf(camera), (std::vector<std::string>{"From", "To", "Approx. Up", "Normal",
                                                         "Actual Up", "U", "View Transform"}));
    EXPECT_EQ(kindsOf(camera), (std::vector<int>{3, 2, 4, 5, 6, 7, 8}));
    for (const TreeNode& child : camera) {
        EXPECT_TRUE(child.expandable) << child.text;
        EXPECT_FALSE(child.expandOnInsert) << child.text;
        EXPECT_EQ(child.data.scene, scene.get()) << child.text;
        EXPECT_FALSE(buildsChildrenOnExpansion(child.data.kind)) << child.text;
    }
    EXPECT_EQ(textsOf(camera[0].children), (std::vector<std::string>{"   0.000    0.000    0.000"}));
    EXPECT_EQ(textsOf(camera[1].children), (std::vector<std::string>{"   0.000    0.000    5.000"}));
    EXPECT_EQ(textsOf(camera[2].children), (std::vector<std::string>{"   0.000    1.000    0.000"}));
    EXPECT_EQ(textsOf(camera[3].children), (std::vector<std::string>{"   0.000    0.000    1.000"}));
    EXPECT_EQ(textsOf(camera[4].children), (std::vector<std::string>{"   0.000    1.000    0.000"}));
    EXPECT_EQ(textsOf(camera[5].children), (std::vector<std::string>{"  -1.000    0.000    0.000"}));
    EXPECT_EQ(textsOf(camera[6].children),
              (std::vector<std::string>{"  -1.000    0.000    0.000    0.000",
                                        "   0.000    1.000    0.000    0.000",
                                        "   0.000    0.000    1.000    0.000",
                                        "   0.000    0.000    0.000    1.000"}));
    for (const TreeNode& value : camera[6].children) {
        EXPECT_EQ(value.data.kind, TreeItemKind::VectorValue);
        EXPECT_FALSE(value.expandable);
    }
}

TEST_F(SceneTreeBuilderTest, FrustumChildrenShowPlanesAndPerspectiveRows) {
    const auto frustum = childrenOf(TreeItemKind::Frustum);
    EXPECT_EQ(textsOf(frustum),
              (std::vector<std::string>{"Near", "Far", "Height", "Perspective Transform"}));
    EXPECT_EQ(kindsOf(frustum), (std::vector<int>{10, 11, 12, 13}));
    EXPECT_EQ(textsOf(frustum[0].children), (std::vector<std::string>{"   1.000"}));
    EXPECT_EQ(textsOf(frustum[1].children), (std::vector<std::string>{"  11.000"}));
    EXPECT_EQ(textsOf(frustum[2].children), (std::vector<std::string>{"   1.000"}));
    EXPECT_EQ(frustum[0].children[0].data.kind, TreeItemKind::RealValue);
    EXPECT_EQ(textsOf(frustum[3].children),
              (std::vector<std::string>{"   1.000    0.000    0.000    0.000",
                                        "   0.000    1.000    0.000    0.000",
                                        "   0.000    0.000    1.100    1.000",
                                        "   0.000    0.000   -1.100    0.000"}));
    for (const TreeNode& child : frustum) {
        EXPECT_EQ(child.data.scene, scene.get());
    }
}

TEST_F(SceneTreeBuilderTest, LightChildrenOpenAtOnceAndShowTheColour) {
    const auto light = childrenOf(TreeItemKind::Light);
    EXPECT_EQ(textsOf(light), (std::vector<std::string>{"Direction", "Intensity", "Color"}));
    EXPECT_EQ(kindsOf(light), (std::vector<int>{17, 18, 15}));
    for (const TreeNode& child : light) {
        EXPECT_TRUE(child.expandOnInsert) << child.text;
        EXPECT_EQ(child.data.scene, scene.get());
    }
    EXPECT_EQ(textsOf(light[0].children), (std::vector<std::string>{"   0.000    0.000   -1.000"}));
    EXPECT_EQ(textsOf(light[1].children), (std::vector<std::string>{"   0.800"}));
    ASSERT_EQ(light[2].children.size(), 1u);
    const TreeNode& colour = light[2].children[0];
    EXPECT_EQ(colour.text, "255   0   7");
    EXPECT_EQ(colour.data.kind, TreeItemKind::LightColorValue);
    EXPECT_EQ(colour.data.scene, scene.get());
}

TEST_F(SceneTreeBuilderTest, AmbientHasOneValueOfItsOwnKind) {
    const auto ambient = childrenOf(TreeItemKind::Ambient);
    ASSERT_EQ(ambient.size(), 1u);
    EXPECT_EQ(ambient[0].text, "   0.250");
    EXPECT_EQ(ambient[0].data.kind, TreeItemKind::AmbientValue);
    EXPECT_FALSE(ambient[0].expandable);
}

TEST_F(SceneTreeBuilderTest, ObjectsAreListedByFileNameInSceneOrder) {
    const auto objects = childrenOf(TreeItemKind::Objects);
    EXPECT_EQ(textsOf(objects), (std::vector<std::string>{"chair.obj", "table.obj"}));
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0].data.object, scene->object(0));
    EXPECT_EQ(objects[1].data.object, scene->object(1));
    for (const TreeNode& object : objects) {
        EXPECT_EQ(object.data.kind, TreeItemKind::Object);
        EXPECT_TRUE(object.expandable);
        EXPECT_TRUE(object.children.empty());
    }
}

TEST_F(SceneTreeBuilderTest, ObjectChildrenInOrderWithValuesForTheFirstEight) {
    const auto children = chairChildren();
    EXPECT_EQ(textsOf(children),
              (std::vector<std::string>{"Rotation", "Scaling", "Translation", "Color", "Diffuse",
                                        "Specular", "Shininess", "Modeling Transform", "Vertices",
                                        "Surfaces"}));
    EXPECT_EQ(kindsOf(children), (std::vector<int>{31, 32, 33, 30, 23, 22, 24, 34, 37, 36}));
    for (const TreeNode& child : children) {
        EXPECT_EQ(child.data.object, &chair) << child.text;
        EXPECT_TRUE(child.expandable) << child.text;
    }
    EXPECT_EQ(textsOf(children[0].children), (std::vector<std::string>{"   0.000    0.000    0.000"}));
    EXPECT_EQ(textsOf(children[1].children), (std::vector<std::string>{"   2.000    2.000    2.000"}));
    EXPECT_EQ(textsOf(children[2].children), (std::vector<std::string>{"   1.000    0.000    0.000"}));
    ASSERT_EQ(children[3].children.size(), 1u);
    EXPECT_EQ(children[3].children[0].text, " 10  20  30");
    EXPECT_EQ(children[3].children[0].data.kind, TreeItemKind::ObjectColorValue);
    EXPECT_EQ(children[3].children[0].data.object, &chair);
    EXPECT_EQ(textsOf(children[4].children), (std::vector<std::string>{"   0.500"}));
    EXPECT_EQ(textsOf(children[5].children), (std::vector<std::string>{"   0.250"}));
    EXPECT_EQ(textsOf(children[6].children), (std::vector<std::string>{"12"}));
    EXPECT_EQ(children[6].children[0].data.kind, TreeItemKind::IntegerValue);
    // Scale by 2, then move by (1, 0, 0).
    EXPECT_EQ(textsOf(children[7].children),
              (std::vector<std::string>{"   2.000    0.000    0.000    0.000",
                                        "   0.000    2.000    0.000    0.000",
                                        "   0.000    0.000    2.000    0.000",
                                        "   1.000    0.000    0.000    1.000"}));
    EXPECT_TRUE(children[8].children.empty());
    EXPECT_TRUE(children[9].children.empty());
}

TEST_F(SceneTreeBuilderTest, VerticesListIdAndModelPosition) {
    TreeItemData vertices = itemOf(TreeItemKind::Vertices);
    vertices.object = &chair;
    const auto items = SceneTreeBuilder::childrenOf(vertices, scene.get());
    EXPECT_EQ(textsOf(items), (std::vector<std::string>{"   4,    1.500   -2.000    0.125",
                                                        "   7,    0.000    1.000    0.000",
                                                        "   9,   -1.000    0.000    0.000",
                                                        "  11,    0.000   -1.000    0.000"}));
    for (const TreeNode& item : items) {
        EXPECT_EQ(item.data.kind, TreeItemKind::VertexValue);
        EXPECT_EQ(item.data.object, &chair);
        EXPECT_FALSE(item.expandable);
    }
}

TEST_F(SceneTreeBuilderTest, SurfacesAndPolygonsAreNumberedFromZero) {
    TreeItemData surfaces = itemOf(TreeItemKind::Surfaces);
    surfaces.object = &chair;
    const auto surfaceItems = SceneTreeBuilder::childrenOf(surfaces, scene.get());
    EXPECT_EQ(textsOf(surfaceItems), (std::vector<std::string>{"Surface 0", "Surface 1"}));
    ASSERT_EQ(surfaceItems.size(), 2u);
    EXPECT_EQ(surfaceItems[1].data.index, 1);
    EXPECT_EQ(surfaceItems[1].data.surface, chair.surfaces()[1].get());

    Surface& second = *chair.surfaces()[1];
    Vertex* v4 = chair.vertexAt(0);
    testing::addPolygon(second, {v4, chair.vertexAt(1), chair.vertexAt(3)});
    const auto polygons = SceneTreeBuilder::childrenOf(surfaceItems[1].data, scene.get());
    EXPECT_EQ(textsOf(polygons), (std::vector<std::string>{"Polygon 0", "Polygon 1"}));
    EXPECT_EQ(kindsOf(polygons), (std::vector<int>{35, 35}));
    EXPECT_EQ(polygons[1].data.polygon, second.polygons()[1].get());
    EXPECT_TRUE(polygons[0].expandable);
}

TEST_F(SceneTreeBuilderTest, PolygonShowsCornerIdsNormalAndVisibility) {
    Polygon& triangle = *chair.surfaces()[0]->polygons()[0];
    TreeItemData item = itemOf(TreeItemKind::Polygon);
    item.polygon = &triangle;
    auto children = SceneTreeBuilder::childrenOf(item, scene.get());
    EXPECT_EQ(textsOf(children), (std::vector<std::string>{"Vertices", "Normal", "Visible"}));
    EXPECT_EQ(kindsOf(children), (std::vector<int>{25, 26, 27}));
    EXPECT_TRUE(children[0].expandable);
    EXPECT_TRUE(children[1].expandable);
    EXPECT_FALSE(children[2].expandable);
    ASSERT_EQ(children[0].children.size(), 1u);
    EXPECT_EQ(children[0].children[0].text, "4 7 9 ");
    EXPECT_EQ(children[0].children[0].data.kind, TreeItemKind::CornerIdsValue);
    // A polygon that was never rendered still has its initial normal.
    EXPECT_EQ(textsOf(children[1].children), (std::vector<std::string>{"   1.000    1.000    1.000"}));

    triangle.setVisible(false);
    children = SceneTreeBuilder::childrenOf(item, scene.get());
    EXPECT_EQ(children[2].text, "Not Visible");
}

TEST_F(SceneTreeBuilderTest, CornerListHasNoUpperLimit) {
    SceneObject& object = chair;
    Surface surface;
    auto polygon = std::make_unique<Polygon>();
    for (std::size_t i = 0; i < 12; ++i) {
        polygon->setVertexAt(i, object.vertexAt(i % object.vertexCount()));
    }
    polygon->setVertexCount(12);
    Polygon& twelve = *polygon;
    surface.addPolygon(std::move(polygon));
    TreeItemData item = itemOf(TreeItemKind::Polygon);
    item.polygon = &twelve;
    const auto children = SceneTreeBuilder::childrenOf(item, scene.get());
    EXPECT_EQ(children[0].children[0].text, "4 7 9 11 4 7 9 11 4 7 9 11 ");
}

TEST_F(SceneTreeBuilderTest, ValueAndLabelKindsBuildNothingOnExpansion) {
    for (const int kind : {2, 3, 8, 13, 15, 16, 17, 19, 21, 25, 26, 27, 30, 34, 38, 39, 41}) {
        TreeItemData item = itemOf(static_cast<TreeItemKind>(kind));
        item.object = &chair;
        item.scene = scene.get();
        EXPECT_FALSE(buildsChildrenOnExpansion(item.kind)) << kind;
        EXPECT_TRUE(SceneTreeBuilder::childrenOf(item, scene.get()).empty()) << kind;
    }
}

TEST_F(SceneTreeBuilderTest, RecordsWithoutTheirModelPartBuildNothing) {
    for (const auto kind : {TreeItemKind::Object, TreeItemKind::Vertices, TreeItemKind::Surfaces,
                            TreeItemKind::Surface, TreeItemKind::Polygon}) {
        EXPECT_TRUE(childrenOf(kind).empty()) << static_cast<int>(kind);
    }
}

TEST_F(SceneTreeBuilderTest, ChildrenAreReadFromTheSceneAtEachBuild) {
    const auto before = chairChildren();
    chair.setColor(Color(255, 0, 7));
    chair.setShininess(-3);
    const auto after = chairChildren();
    EXPECT_EQ(childNamed(before, "Color").children[0].text, " 10  20  30");
    EXPECT_EQ(childNamed(after, "Color").children[0].text, "255   0   7");
    EXPECT_EQ(childNamed(after, "Shininess").children[0].text, "-3");
}

}  // namespace
}  // namespace kel
