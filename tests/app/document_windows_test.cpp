#include <QDropEvent>
#include <QMimeData>
#include <QSplitter>
#include <QUrl>
#include <string>

#include "app/app_fixture.h"
#include "tree/qt/kel_tree_view.h"

namespace kel::test {
namespace {

using DocumentWindowsTest = AppTest;

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

// Only the last window of a document closes it, asking when modified (the question and the
// save are the document's own); Yes to a save that then fails keeps the window and the edit.
// Exit closes every document, and each modified one asks.
TEST_F(DocumentWindowsTest, ClosingTheLastWindowOfAModifiedDocumentOrExitingAsks) {
    KelDataFrame& frame = open("cube.kel");
    frame.document().setModified(true);
    KelDataFrame& second = *app().onWindowNew();
    EXPECT_EQ(&second.document(), &frame.document());
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("cube.kel:1"));
    EXPECT_EQ(second.windowTitle(), QStringLiteral("cube.kel:2"));
    second.close();
    settle();
    EXPECT_TRUE(messages_.questions.empty());
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("cube.kel"));
    std::filesystem::create_directory(scratch("foo"));  // the object output cannot be written
    messages_.answers = {true, true};
    choose("&File", "&Close");
    EXPECT_EQ(messages_.errors.size(), 1u);
    frame.close();  // the window's own close button asks again and stays too
    EXPECT_EQ(messages_.questions.size(), 2u);
    EXPECT_EQ(app().documents().size(), 1u);
    EXPECT_EQ(mainFrame().mdiArea().subWindowList().size(), 1);

    open("room.kel").document().setModified(true);
    choose("&File", "&New\tCtrl+N");
    choose("&File", "E&xit");  // answered No
    const std::string cube = "cube.kel has been changed, save it?";
    EXPECT_EQ(messages_.questions,
              (std::vector<std::string>{cube, cube, cube, "room.kel has been changed, save it?"}));
    EXPECT_TRUE(app().documents().empty());
    EXPECT_TRUE(mainFrame().mdiArea().subWindowList().isEmpty());
    EXPECT_EQ(mainFrame().windowTitle(), QString());
    EXPECT_FALSE(mainFrame().isVisible());
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

// Most recent first, four at most, kept across runs; an entry that no longer opens leaves.
TEST_F(DocumentWindowsTest, RecentFilesFillTheMenuAndAreKeptAcrossRuns) {
    std::vector<QString> texts;
    std::vector<KelDataFrame*> frames;
    for (const char* name : {"a.kel", "b.kel", "c.kel", "d.kel", "e.kel"}) {
        std::filesystem::copy_file(scratch("cube.kel"), scratch(name));
        frames.push_back(&open(name));
        texts.insert(texts.begin(), QString::fromStdString(scratch(name)));
    }
    EXPECT_EQ(itemTexts("&File").mid(6),
              (QStringList{"-", "&1 " + texts[0], "&2 " + texts[1], "&3 " + texts[2],
                           "&4 " + texts[3], "-", "E&xit"}));
    // An open file, however spelt, is brought forward, not read again, and is the most recent.
    const Scene* scene = frames[2]->document().scene();
    std::filesystem::create_directory(scratch("sub"));
    std::filesystem::current_path(scratch("sub"));
    std::filesystem::create_symlink(scratch("c.kel"), scratch("link.kel"));
    for (const std::string& spelling : {std::string("../c.kel"), scratch("link.kel")}) {
        EXPECT_EQ(app().openDocumentFile(spelling), frames[2]) << spelling;
        EXPECT_EQ(mainFrame().activeFrame(), frames[2]);
        EXPECT_EQ(frames[2]->document().scene(), scene);
        EXPECT_EQ(mainFrame().mdiArea().subWindowList().size(), 5);
        mainFrame().activateFrame(*frames[4]);
    }
    const std::vector<std::string> kept{scratch("c.kel"), scratch("e.kel"), scratch("d.kel"),
                                        scratch("b.kel")};
    EXPECT_EQ(app().recentFiles().entries(), kept);
    startApp();
    EXPECT_EQ(app().recentFiles().entries(), kept);
    choose("&File", QString::fromStdString("&2 " + scratch("e.kel")));
    ASSERT_EQ(app().documents().size(), 1u);
    EXPECT_EQ(app().documents()[0]->pathName(), scratch("e.kel"));
    EXPECT_EQ(app().recentFiles().entries().front(), scratch("e.kel"));

    std::filesystem::remove(scratch("b.kel"));
    choose("&File", QString::fromStdString("&4 " + scratch("b.kel")));
    EXPECT_EQ(messages_.errors.size(), 1u);
    startApp();
    EXPECT_EQ(app().recentFiles().entries(),
              (std::vector<std::string>{scratch("e.kel"), scratch("c.kel"), scratch("d.kel")}));
}

TEST_F(DocumentWindowsTest, SavingAnOpenedMeshAsksForASceneNameBesideIt) {
    std::filesystem::copy_file(scratch("cube.obj"), scratch("part.obj"));
    files_.openAnswer = scratch("part.obj");
    choose("&File", "&Open...\tCtrl+O");
    KelDataFrame* frame = mainFrame().activeFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "part.obj");

    // Cancelled: nothing written, the mesh stays the document's file.
    choose("&File", "&Save\tCtrl+S");
    files_.saveAnswer = scratch("part.kel");
    choose("&File", "&Save\tCtrl+S");
    EXPECT_EQ(files_.saveSuggestions,
              (std::vector<std::string>{scratch("part.kel"), scratch("part.kel")}));
    EXPECT_TRUE(std::filesystem::exists(scratch("part.kel")));
    EXPECT_EQ(frame->windowTitle(), "part.kel");
    // Saved as a scene, Save writes the scene without asking again.
    choose("&File", "&Save\tCtrl+S");
    EXPECT_EQ(files_.saveSuggestions.size(), 2u);
    EXPECT_TRUE(messages_.errors.empty());
}

}  // namespace
}  // namespace kel::test
