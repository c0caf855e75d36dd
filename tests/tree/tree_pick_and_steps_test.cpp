#include "files/edit_journal.h"
#include "model/polygon.h"
#include "model/scene_settings.h"
#include "tree/tree_item_data.h"
#include "tree_test_support.h"

namespace kel {
namespace {

// Keeps what editors record: each step's name and the settings before it.
class RecordingJournal : public EditJournal {
public:
    void record(const std::string& name, const SceneSettings& before) override {
        steps.emplace_back(name, before);
    }
    void clear() override { steps.clear(); }
    std::vector<std::pair<std::string, SceneSettings>> steps;
};

using TreeStepsTest = TreeViewTest;

TEST_F(TreeStepsTest, EachColourChoiceIsOneStepWithTheColourBefore) {
    openScene(twoObjectScene());
    auto journal = std::make_unique<RecordingJournal>();
    RecordingJournal& steps = *journal;
    document.setJournal(std::move(journal));
    const SceneSettings original = captureSettings(scene());

    editors->accept = false;
    doubleClick("Light/Color");
    EXPECT_TRUE(steps.steps.empty());  // a cancelled chooser is no step

    editors->accept = true;
    editors->answer = {1, 2, 3};
    doubleClick("Light/Color");
    openPath("Objects/chair.obj");
    doubleClick("Objects/chair.obj/Color");
    ASSERT_EQ(steps.steps.size(), 2u);
    EXPECT_EQ(steps.steps[0].first, "Colour");
    EXPECT_TRUE(steps.steps[0].second == original);
    // The second step starts where the first left the scene.
    EXPECT_EQ(steps.steps[1].second.light->color, Color(1, 2, 3).value());
    EXPECT_EQ(steps.steps[1].second.objects[0].color, original.objects[0].color);
    ASSERT_TRUE(restoreSettings(scene(), steps.steps[0].second));
    EXPECT_TRUE(captureSettings(scene()) == original);
}

TEST_F(TreeStepsTest, RevealOpensThePathToAPolygonAndSelectsIt) {
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
