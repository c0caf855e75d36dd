#include "files/edit_journal.h"
#include "model/polygon.h"
#include "model/scene_settings.h"
#include "tree/tree_item_data.h"
#include "tree_test_support.h"

namespace kel {
namespace {

using TreeEditingTest = TreeViewTest;

TEST_F(TreeEditingTest, EachKindOpensItsEditorOrNothing) {
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

// Keeps what editors record: each step's name and the settings before it.
class RecordingJournal : public EditJournal {
public:
    void record(const std::string& name, const SceneSettings& before) override {
        steps.emplace_back(name, before);
    }
    void clear() override { steps.clear(); }
    std::vector<std::pair<std::string, SceneSettings>> steps;
};

// A chosen colour reaches the model, even an unchanged one, as one step with the settings
// before it; Cancel changes nothing and records nothing.
TEST_F(TreeEditingTest, ColourChoicesReachTheModelAsOneStepEachAndCancelChangesNothing) {
    openScene(twoObjectScene());
    auto journal = std::make_unique<RecordingJournal>();
    const auto& steps = journal->steps;
    document.setJournal(std::move(journal));
    const SceneSettings original = captureSettings(scene());
    openPath("Objects/chair.obj");
    editors->accept = false;
    EXPECT_EQ(doubleClick("Objects/chair.obj/Color"), Texts{"object color chair.obj"});
    EXPECT_EQ(editors->offered, (std::array<std::uint8_t, 3>{10, 20, 30}));
    EXPECT_FALSE(document.isModified());
    EXPECT_TRUE(steps.empty());
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

    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].first, "Colour");
    EXPECT_TRUE(steps[0].second == original);
    // Each step starts where the one before left the scene.
    EXPECT_EQ(steps[2].second.light->color, Color(0, 9, 8).value());
    EXPECT_EQ(steps[2].second.objects[0].color, original.objects[0].color);
}

TEST_F(TreeEditingTest, RevealOpensThePathToAPolygonAndSelectsIt) {
    openScene(twoObjectScene());
    SceneObject& chair = *scene().object(0);
    const Polygon& last = *chair.surfaces().back()->polygons().back();
    ASSERT_TRUE(view->revealPolygon(chair, last));
    const TreeItemData* record = KelTreeView::recordOf(view->currentItem());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->kind, TreeItemKind::Polygon);
    EXPECT_EQ(record->polygon, &last);
    EXPECT_TRUE(view->currentItem()->isSelected());

    // A polygon of another object, or of no object at all, is not found under this one.
    const Polygon& other = *scene().object(1)->surfaces().front()->polygons().front();
    EXPECT_FALSE(view->revealPolygon(chair, other));
    const Polygon stray;
    EXPECT_FALSE(view->revealPolygon(*scene().object(1), stray));
}
}  // namespace
}  // namespace kel
