#include <QCoreApplication>
#include <QMdiArea>
#include <QMenuBar>
#include <QShortcut>

#include "app/app_fixture.h"
#include "app/kel_data_frame.h"
#include "app/main_frame.h"

namespace kel::test {
namespace {

using MenuTest = AppTest;

TEST_F(MenuTest, MenuBarHasEveryItemInOrderWithItsLabel) {
    EXPECT_EQ(menuTitles(),
              (QStringList{"&File", "&Edit", "&View", "&Options", "&Window", "&Help"}));
    EXPECT_EQ(itemTexts("&File"),
              (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "&Close", "&Save\tCtrl+S",
                           "Save &As...", "-", "Recent File", "-", "E&xit"}));
    EXPECT_EQ(itemTexts("&Edit"),
              (QStringList{"-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V"}));
    EXPECT_EQ(itemTexts("&View"), (QStringList{"&Phong\tCtl+P", "&Gouraud\tCtl+G",
                                               "&Wireframe\tCtl+W", "&Do Culling\tCtl+D"}));
    EXPECT_EQ(itemTexts("&Options"), (QStringList{"&Camera...\tCtl+M", "Frustum...\tCtl+F",
                                                  "&Ambience...\tCtl+I", "&Light...\tCtl+G"}));
    EXPECT_EQ(itemTexts("&Window"),
              (QStringList{"&New Window", "&Cascade", "&Tile", "&Arrange Icons", "S&plit"}));
    EXPECT_EQ(itemTexts("&Help"), (QStringList{"&Index", "&Using Help", "-", "&About Kel..."}));
    // The Edit popup starts with its separator; it must not be folded away.
    EXPECT_FALSE(menu("&Edit").separatorsCollapsible());
}

TEST_F(MenuTest, ShortcutTextsAreLabelsThatBindNoKey) {
    for (QAction* top : mainFrame().menuBar()->actions()) {
        for (const QAction* action : top->menu()->actions()) {
            EXPECT_TRUE(action->shortcut().isEmpty()) << action->text().toStdString();
        }
    }
    EXPECT_TRUE(mainFrame().findChildren<QShortcut*>().isEmpty());
    EXPECT_TRUE(mainFrame().actions().isEmpty());
}

TEST_F(MenuTest, WithoutADocumentOnlyFileAndHelpCommandsAreEnabled) {
    auto enabled = [this](const QString& menuTitle) {
        QStringList on;
        for (const QAction* action : openMenu(menuTitle).actions()) {
            if (!action->isSeparator() && action->isVisible() && action->isEnabled()) {
                on << action->text();
            }
        }
        return on;
    };
    EXPECT_EQ(enabled("&File"), (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "E&xit"}));
    EXPECT_TRUE(enabled("&Edit").isEmpty());
    EXPECT_TRUE(enabled("&View").isEmpty());
    EXPECT_TRUE(enabled("&Options").isEmpty());
    EXPECT_TRUE(enabled("&Window").isEmpty());
    EXPECT_EQ(enabled("&Help"), (QStringList{"&Index", "&Using Help", "&About Kel..."}));
    EXPECT_EQ(mainFrame().windowTitle(), QString());
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Kel"));
}

TEST_F(MenuTest, AnOpenSceneEnablesViewOptionsAndWindowButNeverEdit) {
    ASSERT_NE(app().openDocumentFile(example("cube.kel")), nullptr);
    for (const char* title : {"&View", "&Options", "&Window"}) {
        for (const QAction* action : openMenu(title).actions()) {
            EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
        }
    }
    for (const QAction* action : openMenu("&Edit").actions()) {
        EXPECT_FALSE(!action->isSeparator() && action->isEnabled());
    }
    EXPECT_TRUE(item("&File", "&Close").isEnabled());
    EXPECT_TRUE(item("&File", "&Save\tCtrl+S").isEnabled());
    EXPECT_TRUE(item("&File", "Save &As...").isEnabled());
    // A new window shows wireframe without culling.
    EXPECT_TRUE(item("&View", "&Wireframe\tCtl+W").isChecked());
    EXPECT_FALSE(item("&View", "&Phong\tCtl+P").isChecked());
    EXPECT_FALSE(item("&View", "&Gouraud\tCtl+G").isChecked());
    EXPECT_FALSE(item("&View", "&Do Culling\tCtl+D").isChecked());
    EXPECT_EQ(mainFrame().windowTitle(), QStringLiteral(" - cube.kel"));
}

TEST_F(MenuTest, ANewDocumentHasNoSceneSoViewAndOptionsStayDisabled) {
    choose("&File", "&New\tCtrl+N");
    ASSERT_NE(mainFrame().activeFrame(), nullptr);
    for (const char* title : {"&View", "&Options"}) {
        for (const QAction* action : openMenu(title).actions()) {
            EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
            EXPECT_FALSE(action->isChecked()) << action->text().toStdString();
        }
    }
    EXPECT_TRUE(item("&Window", "&New Window").isEnabled());
    EXPECT_TRUE(item("&File", "&Close").isEnabled());
    // Triggered anyway (no menu refresh in between), the commands leave the window alone.
    KelDataFrame& frame = *mainFrame().activeFrame();
    frame.onViewPhong();
    frame.onViewCulling();
    frame.onOptionsCamera();
    EXPECT_EQ(frame.renderMode(), RenderMode::Wireframe);
}

TEST_F(MenuTest, CheckMarksFollowTheActiveWindow) {
    KelDataFrame* first = app().openDocumentFile(example("cube.kel"));
    ASSERT_NE(first, nullptr);
    choose("&View", "&Phong\tCtl+P");
    KelDataFrame* second = app().openDocumentFile(example("room.kel"));
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(item("&View", "&Wireframe\tCtl+W").isChecked());
    EXPECT_FALSE(item("&View", "&Phong\tCtl+P").isChecked());
    EXPECT_FALSE(item("&View", "&Do Culling\tCtl+D").isChecked());
    mainFrame().activateFrame(*first);
    EXPECT_TRUE(item("&View", "&Phong\tCtl+P").isChecked());
    EXPECT_FALSE(item("&View", "&Wireframe\tCtl+W").isChecked());
    EXPECT_TRUE(item("&View", "&Do Culling\tCtl+D").isChecked());
    EXPECT_EQ(mainFrame().windowTitle(), QStringLiteral(" - cube.kel"));
}

}  // namespace
}  // namespace kel::test
