#include "tree_test_support.h"

namespace kel {
namespace {

using TreeDoubleClickTest = TreeViewTest;

TEST_F(TreeDoubleClickTest, EachKindOpensItsEditorOrNothing) {
    openScene(twoObjectScene());
    const std::string table = "Objects/table.obj/";
    const std::string polygon = "Objects/chair.obj/Surfaces/Surface 0/Polygon 0";
    // clang-format off
    const std::vector<std::pair<std::string, Texts>> cases = {
        {"camera", {"Camera", "Camera/From", "Camera/To", "Camera/Approx. Up"}},
        {"frustum", {"Frustum", "Frustum/Near", "Frustum/Far", "Frustum/Height"}},
        {"light", {"Light", "Light/Direction", "Light/Intensity"}},
        {"ambient", {"Ambient", "Ambient/   0.250"}},
        {"object table.obj", {"Objects/table.obj", table + "Rotation", table + "Scaling",
            table + "Translation", table + "Diffuse", table + "Specular", table + "Shininess",
            table + "Vertices", table + "Surfaces"}},
        // Derived values, geometry and plain values open nothing.
        {"", {"Camera/Normal", "Camera/Actual Up", "Camera/U", "Camera/View Transform",
            "Camera/From/   0.000    0.000    0.000", "Frustum/Perspective Transform",
            "Frustum/Near/   1.000", "Objects", "Objects/chair.obj/Modeling Transform",
            "Objects/chair.obj/Shininess/12", "Objects/chair.obj/Surfaces/Surface 0",
            "Objects/chair.obj/Vertices/   7,    0.000    1.000    0.000", polygon,
            polygon + "/Vertices/4 7 9 ", polygon + "/Normal", polygon + "/Visible"}},
    };
    // clang-format on
    for (const auto& [editor, paths] : cases) {
        for (const std::string& path : paths) {
            EXPECT_EQ(doubleClick(path), editor.empty() ? Texts{} : Texts{editor}) << path;
        }
    }
}

TEST_F(TreeDoubleClickTest, ChosenColourReachesTheModelEvenWhenUnchangedAndCancelChangesNothing) {
    openScene(twoObjectScene());
    openPath("Objects/chair.obj");
    editors->accept = false;
    EXPECT_EQ(doubleClick("Objects/chair.obj/Color"), Texts{"object color chair.obj"});
    EXPECT_EQ(editors->offered, (std::array<std::uint8_t, 3>{10, 20, 30}));
    EXPECT_FALSE(document.isModified());
    // No update came: the object stays open.
    EXPECT_TRUE(child(root(TreeItemKind::Objects), "chair.obj")->isExpanded());

    editors->accept = true;
    editors->answer = {255, 0, 7};
    EXPECT_EQ(doubleClick("Light/Color/255   0   7"), Texts{"light color"});
    EXPECT_EQ(editors->offered, editors->answer);
    EXPECT_TRUE(document.isModified());
    // The update rebuilt the tree: the open root shows the object closed again.
    EXPECT_FALSE(child(root(TreeItemKind::Objects), "chair.obj")->isExpanded());
    editors->answer = {0, 9, 8};
    EXPECT_EQ(doubleClick("Light/Color"), Texts{"light color"});
    EXPECT_EQ(scene().light()->color(), Color(0, 9, 8));

    document.setModified(false);
    editors->answer = {1, 2, 3};
    EXPECT_EQ(doubleClick("Objects/chair.obj/Color/ 10  20  30"), Texts{"object color chair.obj"});
    EXPECT_EQ(scene().object(0)->color(), Color(1, 2, 3));
    EXPECT_EQ(scene().object(1)->color(), Color(200, 100, 50));
    EXPECT_TRUE(document.isModified());
    EXPECT_EQ(texts(openPath("Objects/chair.obj/Color")), Texts{"  1   2   3"});
}

}  // namespace
}  // namespace kel
