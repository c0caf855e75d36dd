#include <QApplication>
#include <QDropEvent>
#include <QMdiArea>
#include <QMimeData>
#include <QSplitter>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "app/app_fixture.h"
#include "app/kel_view.h"
#include "model/scene.h"
#include "tree/qt/kel_tree_view.h"

namespace kel::test {
namespace {

using DocumentWindowsTest = AppTest;

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An unreadable file is reported by name and makes no window; a scene opens in a split
// window whose tree and rendered view both hear of document updates.
TEST_F(DocumentWindowsTest, FileOpenMakesASplitWindowOnlyForAReadableScene) {
    std::ofstream(scratch("garbage.kel")) << "this is not a scene\n";
    for (const char* name : {"missing.kel", "garbage.kel", "room.kel"}) {
        messages_.errors.clear();
        files_.openAnswer = scratch(name);
        choose("&File", "&Open...\tCtrl+O");
        const bool readable = std::string(name) == "room.kel";
        ASSERT_EQ(messages_.errors.size(), readable ? 0u : 1u) << name;
        if (!readable) {
            EXPECT_NE(messages_.errors[0].find(name), std::string::npos) << messages_.errors[0];
        }
        EXPECT_EQ(app().documents().size(), readable ? 1u : 0u);
        EXPECT_EQ(app().recentFiles().entries().size(), readable ? 1u : 0u);
    }
    KelDataFrame& frame = *mainFrame().activeFrame();
    ASSERT_NE(frame.document().scene(), nullptr);
    EXPECT_EQ(frame.document().scene()->objectCount(), 4u);
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("room.kel"));
    EXPECT_FALSE(frame.document().isModified());
    ASSERT_EQ(frame.splitter().count(), 2);
    EXPECT_NE(qobject_cast<KelTreeView*>(frame.splitter().widget(0)), nullptr);
    EXPECT_EQ(frame.splitter().widget(1), &frame.renderedView());
    EXPECT_EQ(frame.document().views().size(), 2u);
}

TEST_F(DocumentWindowsTest, OpeningAnOpenFileAgainBringsItsWindowForwardInsteadOfReading) {
    KelDataFrame& cube = open("cube.kel");
    Scene* scene = cube.document().scene();
    open("room.kel");
    std::filesystem::create_directory(scratch("sub"));
    std::filesystem::current_path(scratch("sub"));
    std::filesystem::create_symlink(scratch("cube.kel"), scratch("link.kel"));
    for (const std::string& spelling : {std::string("../cube.kel"), scratch("link.kel")}) {
        EXPECT_EQ(app().openDocumentFile(spelling), &cube) << spelling;
        EXPECT_EQ(mainFrame().activeFrame(), &cube);
        EXPECT_EQ(cube.document().scene(), scene);
        EXPECT_EQ(mainFrame().mdiArea().subWindowList().size(), 2);
        open("room.kel");
    }
}

TEST_F(DocumentWindowsTest, ClosingAModifiedDocumentAsksAndSavesOnlyOnYes) {
    const std::string original = readFile(scratch("cube.kel"));
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        messages_.questions.clear();
        KelDataFrame& frame = open("cube.kel");
        frame.document().scene()->setAmbient(0.75);
        frame.document().setModified(true);
        messages_.answers = {yes};
        choose("&File", "&Close");
        ASSERT_EQ(messages_.questions.size(), 1u);
        EXPECT_EQ(messages_.questions[0], "cube.kel has been changed, save it?");
        const std::string now = readFile(scratch("cube.kel"));
        EXPECT_EQ(now == original, !yes);
        EXPECT_EQ(now.find("0.75") != std::string::npos, yes);
        // The object geometry goes to the object output file beside the scene.
        EXPECT_EQ(std::filesystem::exists(scratch("foo")), yes);
        EXPECT_TRUE(app().documents().empty());
        EXPECT_TRUE(mainFrame().mdiArea().subWindowList().isEmpty());
        EXPECT_EQ(mainFrame().windowTitle(), QString());
    }
}

TEST_F(DocumentWindowsTest, OnlyTheLastWindowOfADocumentClosesIt) {
    KelDataFrame& first = open("cube.kel");
    first.document().setModified(true);
    choose("&Window", "&New Window");
    KelDataFrame* second = mainFrame().activeFrame();
    ASSERT_NE(second, &first);
    EXPECT_EQ(&second->document(), &first.document());
    EXPECT_EQ(first.windowTitle(), QStringLiteral("cube.kel:1"));
    EXPECT_EQ(second->windowTitle(), QStringLiteral("cube.kel:2"));
    second->close();
    settle();
    EXPECT_TRUE(messages_.questions.empty());
    ASSERT_EQ(app().documents().size(), 1u);
    EXPECT_EQ(first.windowTitle(), QStringLiteral("cube.kel"));
    first.close();
    settle();
    EXPECT_EQ(messages_.questions.size(), 1u);
    EXPECT_TRUE(app().documents().empty());
}

TEST_F(DocumentWindowsTest, DroppedFilesOpenEachInItsOwnWindow) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(scratch("cube.kel"))),
                  QUrl::fromLocalFile(QString::fromStdString(scratch("room.kel"))),
                  QUrl(QStringLiteral("https://example.invalid/remote.kel"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&mainFrame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&mainFrame(), &drop);
    settle();
    ASSERT_EQ(app().documents().size(), 2u);
    EXPECT_EQ(app().documents()[1]->title(), "room.kel");
    EXPECT_EQ(mainFrame().mdiArea().subWindowList().size(), 2);
}

}  // namespace
}  // namespace kel::test
