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

TreeItemData record(TreeItemKind kind, SceneObject* object = nullptr) {
    TreeItemData data;
    data.kind = kind;
    data.object = object;
    return data;
}

// The records tie every item to the model part its editor needs.
TEST(SceneTreeBuilderTest, RecordsReferToTheSceneOrTheirObject) {
    testing::SceneFolder folder;
    testing::RecordingMessages messages;
    CKelDoc document(messages);
    ASSERT_TRUE(document.onOpenDocument(testing::writeTwoObjectScene(folder)));
    Scene* scene = document.scene();
    for (const TreeNode& node : SceneTreeBuilder::childrenOf(record(TreeItemKind::Light), scene)) {
        EXPECT_EQ(node.data.scene, scene);
        EXPECT_EQ(node.children[0].data.scene,
                  node.data.kind == TreeItemKind::LightColor ? scene : nullptr);
    }
    SceneObject* table = scene->object(1);
    const auto object = SceneTreeBuilder::childrenOf(record(TreeItemKind::Object, table), scene);
    for (const TreeNode& node : object) {
        EXPECT_EQ(node.data.object, table) << node.text;
    }
    EXPECT_EQ(object[3].children[0].data.kind, TreeItemKind::ObjectColorValue);
    EXPECT_EQ(object[3].children[0].data.object, table);
    const auto surfaces = SceneTreeBuilder::childrenOf(object[9].data, scene);
    EXPECT_EQ(surfaces.at(0).data.surface, table->surfaces()[0].get());
    const auto polygons = SceneTreeBuilder::childrenOf(surfaces[0].data, scene);
    EXPECT_EQ(polygons.at(1).data.polygon, table->surfaces()[0]->polygons()[1].get());
    EXPECT_EQ(SceneTreeBuilder::childrenOf(object[8].data, scene).at(3).data.object, table);
}

TEST(SceneTreeBuilderTest, NothingIsBuiltWithoutTheModelPartsAnItemNeeds) {
    std::ostringstream text;
    writeTreeText(text, nullptr);
    EXPECT_EQ(text.str(), "Camera\nFrustum\nLight\nAmbient\nObjects\n");
    Scene bare;
    for (const auto kind : {TreeItemKind::Camera, TreeItemKind::Frustum, TreeItemKind::Light,
                            TreeItemKind::Objects, TreeItemKind::Object, TreeItemKind::Vertices,
                            TreeItemKind::Surfaces, TreeItemKind::Surface, TreeItemKind::Polygon,
                            TreeItemKind::CameraFrom, TreeItemKind::ObjectColor}) {
        EXPECT_TRUE(SceneTreeBuilder::childrenOf(record(kind), &bare).empty()) << int(kind);
    }
}

TEST(TreeValueTextTest, NoValueIsCutShortOrFatal) {
    EXPECT_EQ(tree_format::real(1e300).size(), 305u);  // 301 digits, the point, 3 decimals
    EXPECT_EQ(tree_format::point(Vector(-1e300, 1e300, 0.5)).size(), 306u + 1 + 305 + 1 + 8);
    EXPECT_EQ(tree_format::real(std::numeric_limits<double>::infinity()), "     inf");
    EXPECT_NE(tree_format::real(std::nan("")).find("nan"), std::string::npos);
    Vertex vertex;
    vertex.setId(1234567);
    vertex.setModelPosition(Vector(0.5, -0.25, 10.0));
    vertex.setWorldPosition(Vector(9.0, 9.0, 9.0));
    EXPECT_EQ(tree_format::vertex(vertex), "1234567,    0.500   -0.250   10.000");
    // Corner lists grow with the polygon; clipped corners are not listed.
    Polygon polygon;
    std::string corners;
    for (std::size_t i = 0; i < 12; ++i) {
        polygon.setVertexAt(i, &vertex);
        corners += "1234567 ";
    }
    polygon.setVertexCount(12);
    polygon.setClippedVertexAt(0, std::make_unique<Vertex>());
    polygon.setClippedCount(1);
    EXPECT_EQ(tree_format::cornerIds(polygon), corners);
}

}  // namespace
}  // namespace kel
