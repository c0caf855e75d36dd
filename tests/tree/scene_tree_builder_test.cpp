#include "tree/scene_tree_builder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "model/scene.h"
#include "tree/tree_text.h"
#include "tree/value_format.h"
#include "tree_view_support.h"

namespace kel {
namespace {

std::vector<int> kindsOf(const std::vector<TreeNode>& nodes) {
    std::vector<int> kinds;
    for (const TreeNode& node : nodes) {
        kinds.push_back(static_cast<int>(node.data.kind));
    }
    return kinds;
}

TreeItemData record(TreeItemKind kind, SceneObject* object = nullptr) {
    TreeItemData data;
    data.kind = kind;
    data.object = object;
    return data;
}

class SceneTreeBuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(document.onOpenDocument(testing::writeTwoObjectScene(folder)));
    }
    Scene& scene() { return *document.scene(); }

    testing::SceneFolder folder;
    testing::RecordingMessages messages;
    CKelDoc document{messages};
};

TEST_F(SceneTreeBuilderTest, KindsAndRecordsFollowTheItemTable) {
    EXPECT_EQ(kindsOf(SceneTreeBuilder::rootItems()), (std::vector<int>{1, 9, 14, 20, 29}));
    const auto camera = SceneTreeBuilder::childrenOf(record(TreeItemKind::Camera), &scene());
    EXPECT_EQ(kindsOf(camera), (std::vector<int>{3, 2, 4, 5, 6, 7, 8}));
    EXPECT_EQ(camera[6].children.size(), 4u);
    const auto light = SceneTreeBuilder::childrenOf(record(TreeItemKind::Light), &scene());
    EXPECT_EQ(kindsOf(light), (std::vector<int>{17, 18, 15}));
    EXPECT_EQ(light[2].children[0].data.kind, TreeItemKind::LightColorValue);
    EXPECT_EQ(light[2].children[0].data.scene, &scene());
    for (const TreeNode& node : light) {
        EXPECT_EQ(node.data.scene, &scene());
    }
    SceneObject* table = scene().object(1);
    const auto object = SceneTreeBuilder::childrenOf(record(TreeItemKind::Object, table), &scene());
    EXPECT_EQ(kindsOf(object), (std::vector<int>{31, 32, 33, 30, 23, 22, 24, 34, 37, 36}));
    for (const TreeNode& node : object) {
        EXPECT_EQ(node.data.object, table) << node.text;
    }
    EXPECT_EQ(object[3].children[0].data.kind, TreeItemKind::ObjectColorValue);
    EXPECT_EQ(object[3].children[0].data.object, table);
    const auto surfaces = SceneTreeBuilder::childrenOf(object[9].data, &scene());
    ASSERT_EQ(surfaces.size(), 1u);
    EXPECT_EQ(surfaces[0].data.surface, table->surfaces()[0].get());
    EXPECT_EQ(surfaces[0].data.index, 0);
    const auto polygons = SceneTreeBuilder::childrenOf(surfaces[0].data, &scene());
    EXPECT_EQ(polygons[1].data.polygon, table->surfaces()[0]->polygons()[1].get());
    const auto vertices = SceneTreeBuilder::childrenOf(object[8].data, &scene());
    EXPECT_EQ(kindsOf(vertices), (std::vector<int>{38, 38, 38, 38}));
    EXPECT_EQ(vertices[0].data.object, table);
}

TEST_F(SceneTreeBuilderTest, NothingIsBuiltWithoutTheModelPartsAnItemNeeds) {
    std::ostringstream text;
    writeTreeText(text, nullptr);
    EXPECT_EQ(text.str(), "Camera\nFrustum\nLight\nAmbient\nObjects\n");
    Scene bare;
    for (const auto kind : {TreeItemKind::Camera, TreeItemKind::Frustum, TreeItemKind::Light,
                            TreeItemKind::Objects, TreeItemKind::Object, TreeItemKind::Vertices,
                            TreeItemKind::Surfaces, TreeItemKind::Surface, TreeItemKind::Polygon}) {
        EXPECT_TRUE(SceneTreeBuilder::childrenOf(record(kind), &bare).empty()) << int(kind);
    }
    // Items whose values come with them build nothing more when opened.
    for (const int kind : {2, 3, 8, 13, 15, 17, 19, 25, 26, 27, 30, 34, 38, 41}) {
        const TreeItemData item = record(TreeItemKind(kind), scene().object(0));
        EXPECT_TRUE(SceneTreeBuilder::childrenOf(item, &scene()).empty()) << kind;
    }
}

TEST(TreeValueTextTest, NoValueIsCutShortOrFatal) {
    const std::string huge = tree_format::real(1e300);
    EXPECT_EQ(huge.size(), 305u);  // 301 digits, the point and three decimals
    EXPECT_EQ(tree_format::point(Vector(-1e300, 1e300, 0.5)).size(), 306u + 1 + 305 + 1 + 8);
    EXPECT_EQ(tree_format::real(std::numeric_limits<double>::infinity()), "     inf");
    EXPECT_NE(tree_format::real(std::nan("")).find("nan"), std::string::npos);
    EXPECT_EQ(tree_format::integer(std::numeric_limits<int>::min()), "-2147483648");
    Vertex vertex;
    vertex.setId(1234567);
    vertex.setModelPosition(Vector(0.5, -0.25, 10.0));
    vertex.setWorldPosition(Vector(9.0, 9.0, 9.0));
    EXPECT_EQ(tree_format::vertex(vertex), "1234567,    0.500   -0.250   10.000");
    // Corner lists grow with the polygon; clipped corners are not listed.
    Polygon polygon;
    for (std::size_t i = 0; i < 12; ++i) {
        polygon.setVertexAt(i, &vertex);
    }
    polygon.setVertexCount(12);
    polygon.setClippedVertexAt(0, std::make_unique<Vertex>());
    polygon.setClippedCount(1);
    std::string corners;
    for (int i = 0; i < 12; ++i) {
        corners += "1234567 ";
    }
    EXPECT_EQ(tree_format::cornerIds(polygon), corners);
}

}  // namespace
}  // namespace kel
