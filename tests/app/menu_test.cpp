#include "app/app_fixture.h"

namespace kel::test {
namespace {

using MenuTest = AppTest;

// Menu and item texts are pinned by every test that chooses them; here, which items work.
TEST_F(MenuTest, WithoutADocumentOrASceneOnlyFileHelpAndWindowWork) {
    EXPECT_EQ(itemTexts("&File", true), (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "E&xit"}));
    for (const char* title : {"&Edit", "&View", "&Options", "&Window"}) {
        EXPECT_TRUE(itemTexts(title, true).isEmpty()) << title;
    }
    EXPECT_EQ(itemTexts("&Help", true).size(), 3);
    // No window open: the list of windows is empty, without its separator.
    EXPECT_EQ(itemTexts("&Window").last(), "Pre&vious Window");

    // A new document has no scene, so View and Options stay off and do nothing.
    choose("&File", "&New\tCtrl+N");
    ASSERT_EQ(app().documents().size(), 1u);
    EXPECT_EQ(app().documents()[0]->title(), "Kel1");
    EXPECT_EQ(app().documents()[0]->scene(), nullptr);
    EXPECT_TRUE(itemTexts("&View", true).isEmpty());
    EXPECT_TRUE(itemTexts("&Options", true).isEmpty());
    EXPECT_FALSE(item("&View", "&Wireframe\tCtl+W").isChecked());
    EXPECT_EQ(itemTexts("&Window", true).size(), 8);  // seven commands and the one window
    // Nothing to draw: nothing to export or copy.
    EXPECT_FALSE(item("&File", "&Export Image...").isEnabled());
    EXPECT_FALSE(item("&Edit", "Copy &Image").isEnabled());
    // Triggered anyway (no menu refresh in between), the commands leave the window alone.
    KelDataFrame& frame = *mainFrame().activeFrame();
    frame.onViewPhong();
    frame.onViewCulling();
    frame.onOptionsCamera();
    EXPECT_EQ(frame.renderMode(), RenderMode::Wireframe);
}

// The items that work with a scene are pinned by the tests that choose them.
TEST_F(MenuTest, WithASceneCheckMarksAndTitleFollowTheActiveWindow) {
    KelDataFrame& cube = open("cube.kel");
    EXPECT_EQ(itemTexts("&Edit", true), QStringList{"Copy &Image"});  // nothing to undo yet
    // A new window shows wireframe without culling.
    const QStringList view = {"&Phong\tCtl+P", "&Gouraud\tCtl+G", "&Wireframe\tCtl+W",
                              "&Do Culling\tCtl+D"};
    const auto checks = [&] {
        QString marks;
        for (const QString& text : view) {
            marks += item("&View", text).isChecked() ? '1' : '0';
        }
        return marks;
    };
    EXPECT_EQ(checks(), "0010");
    choose("&View", view[0]);
    EXPECT_EQ(checks(), "1001");
    open("room.kel");
    EXPECT_EQ(checks(), "0010");
    EXPECT_EQ(mainFrame().windowTitle(), QStringLiteral(" - room.kel"));
    mainFrame().activateFrame(cube);
    EXPECT_EQ(checks(), "1001");
    EXPECT_EQ(mainFrame().windowTitle(), QStringLiteral(" - cube.kel"));
}

}  // namespace
}  // namespace kel::test
