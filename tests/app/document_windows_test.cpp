#include <QApplication>
#include <QDropEvent>
#include <QMdiArea>
#include <QMimeData>
#include <QSplitter>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "app/app_fixture.h"
#include "app/kel_data_frame.h"
#include "app/kel_view.h"
#include "app/main_frame.h"
#include "files/kel_doc.h"
#include "model/scene.h"
#include "tree/qt/kel_tree_view.h"

namespace kel::test {
namespace {

using DocumentWindowsTest = AppTest;

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(DocumentWindowsTest, OpenMakesASplitWindowWithTreeAndRenderedViewOfTheDocument) {
    files_.openAnswer = example("room.kel");
    choose("&File", "&Open...\tCtrl+O");
    EXPECT_EQ(files_.openCalls, 1);
    KelDataFrame* frame = mainFrame().activeFrame();
    ASSERT_NE(frame, nullptr);
    CKelDoc& document = frame->document();
    ASSERT_NE(document.scene(), nullptr);
    EXPECT_EQ(document.scene()->objectCount(), 4u);
    EXPECT_EQ(document.title(), "room.kel");
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("room.kel"));
    EXPECT_EQ(frame->renderMode(), RenderMode::Wireframe);
    EXPECT_FALSE(document.isModified());

    QSplitter& splitter = frame->splitter();
    EXPECT_EQ(splitter.orientation(), Qt::Horizontal);
    ASSERT_EQ(splitter.count(), 2);
    EXPECT_EQ(splitter.widget(0), &frame->treePane());
    EXPECT_EQ(splitter.widget(1), &frame->renderedView());
    EXPECT_NE(qobject_cast<KelTreeView*>(&frame->treePane()), nullptr);
    EXPECT_EQ(splitter.sizes().at(0), KelDataFrame::kTreePaneWidth);
    EXPECT_GT(splitter.sizes().at(1), 0);
    // Both panes are views of the document, so an update reaches them.
    EXPECT_EQ(document.views().size(), 2u);
    EXPECT_TRUE(messages_.errors.empty());
}

TEST_F(DocumentWindowsTest, TheTreeKeepsItsWidthWhenTheWindowGrows) {
    KelDataFrame* frame = app().openDocumentFile(example("cube.kel"));
    ASSERT_NE(frame, nullptr);
    frame->resize(frame->width() + 200, frame->height());
    settle();
    EXPECT_EQ(frame->splitter().sizes().at(0), KelDataFrame::kTreePaneWidth);
}

TEST_F(DocumentWindowsTest, AFileThatCannotBeReadIsReportedAndMakesNoWindow) {
    EXPECT_EQ(app().openDocumentFile(scratch("missing.kel")), nullptr);
    ASSERT_EQ(messages_.errors.size(), 1u);
    EXPECT_NE(messages_.errors[0].find("missing.kel"), std::string::npos);

    std::ofstream(scratch("garbage.kel")) << "this is not a scene\n";
    EXPECT_EQ(app().openDocumentFile(scratch("garbage.kel")), nullptr);
    EXPECT_EQ(messages_.errors.size(), 2u);

    EXPECT_TRUE(app().documents().empty());
    EXPECT_TRUE(mainFrame().mdiArea().subWindowList().isEmpty());
    EXPECT_TRUE(app().recentFiles().empty());
}

TEST_F(DocumentWindowsTest, OpeningAnOpenFileAgainBringsItsWindowForwardInsteadOfReading) {
    KelDataFrame* cube = app().openDocumentFile(example("cube.kel"));
    ASSERT_NE(cube, nullptr);
    Scene* scene = cube->document().scene();
    ASSERT_NE(app().openDocumentFile(example("room.kel")), nullptr);
    EXPECT_NE(mainFrame().activeFrame(), cube);

    // Another spelling of the same file: relative to its folder, through "..".
    std::filesystem::create_directory(scratch("sub"));
    std::filesystem::current_path(scratch("sub"));
    EXPECT_EQ(app().openDocumentFile("../cube.kel"), cube);
    EXPECT_EQ(mainFrame().activeFrame(), cube);
    EXPECT_EQ(cube->document().scene(), scene);
    EXPECT_EQ(app().documents().size(), 2u);
    EXPECT_EQ(mainFrame().mdiArea().subWindowList().size(), 2);

    // Through a symbolic link too.
    std::filesystem::create_symlink(example("cube.kel"), scratch("link.kel"));
    EXPECT_EQ(app().openDocumentFile(scratch("link.kel")), cube);
    EXPECT_EQ(app().documents().size(), 2u);
}

TEST_F(DocumentWindowsTest, NewDocumentsAreNumberedAndHoldNoScene) {
    choose("&File", "&New\tCtrl+N");
    choose("&File", "&New\tCtrl+N");
    ASSERT_EQ(app().documents().size(), 2u);
    EXPECT_EQ(app().documents()[0]->title(), "Kel1");
    EXPECT_EQ(app().documents()[1]->title(), "Kel2");
    EXPECT_EQ(app().documents()[1]->scene(), nullptr);
    EXPECT_EQ(mainFrame().windowTitle(), QStringLiteral(" - Kel2"));
    // A closed number is not given again.
    choose("&File", "&Close");
    choose("&File", "&New\tCtrl+N");
    EXPECT_EQ(app().documents().back()->title(), "Kel3");
}

TEST_F(DocumentWindowsTest, SavingADocumentWithoutASceneIsRefusedAndWritesNothing) {
    choose("&File", "&New\tCtrl+N");
    files_.saveAnswer = scratch("new.kel");
    choose("&File", "&Save\tCtrl+S");
    EXPECT_EQ(messages_.errors.size(), 1u);
    EXPECT_TRUE(files_.suggestions.empty());  // no name is asked for what cannot be saved
    EXPECT_FALSE(std::filesystem::exists(scratch("new.kel")));
    EXPECT_FALSE(app().onFileSaveAs());
    EXPECT_FALSE(std::filesystem::exists(scratch("new.kel")));
    EXPECT_TRUE(app().recentFiles().empty());
}

TEST_F(DocumentWindowsTest, SaveAsWritesUnderTheNewNameAndRenamesTheWindows) {
    KelDataFrame* frame = app().openDocumentFile(example("cube.kel"));
    ASSERT_NE(frame, nullptr);
    files_.saveAnswer = scratch("copy.kel");
    choose("&File", "Save &As...");
    ASSERT_EQ(files_.suggestions.size(), 1u);
    EXPECT_EQ(files_.suggestions[0], example("cube.kel"));
    EXPECT_TRUE(messages_.errors.empty());
    EXPECT_EQ(frame->document().pathName(), scratch("copy.kel"));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("copy.kel"));
    EXPECT_EQ(mainFrame().windowTitle(), QStringLiteral(" - copy.kel"));
    EXPECT_EQ(app().recentFiles().entries().front(), scratch("copy.kel"));
    // The saved scene reads back as a scene with the same objects.
    const std::string saved = readFile(scratch("copy.kel"));
    EXPECT_NE(saved.find("cube.obj"), std::string::npos);
    // Save goes to the new name without asking.
    std::filesystem::remove(scratch("copy.kel"));
    choose("&File", "&Save\tCtrl+S");
    EXPECT_EQ(files_.suggestions.size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(scratch("copy.kel")));
}

TEST_F(DocumentWindowsTest, CancellingSaveAsChangesNothing) {
    KelDataFrame* frame = app().openDocumentFile(example("cube.kel"));
    ASSERT_NE(frame, nullptr);
    const std::string before = readFile(example("cube.kel"));
    files_.saveAnswer.reset();
    EXPECT_FALSE(app().onFileSaveAs());
    EXPECT_EQ(frame->document().pathName(), example("cube.kel"));
    EXPECT_EQ(readFile(example("cube.kel")), before);
}

TEST_F(DocumentWindowsTest, ClosingAModifiedDocumentAnsweredNoWritesNothing) {
    KelDataFrame* frame = app().openDocumentFile(example("cube.kel"));
    ASSERT_NE(frame, nullptr);
    frame->document().setModified(true);
    const std::string before = readFile(example("cube.kel"));
    messages_.answers = {false};
    choose("&File", "&Close");
    ASSERT_EQ(messages_.questions.size(), 1u);
    EXPECT_EQ(messages_.questions[0], "cube.kel has been changed, save it?");
    EXPECT_EQ(readFile(example("cube.kel")), before);
    EXPECT_FALSE(std::filesystem::exists(scratch("foo")));
    EXPECT_TRUE(app().documents().empty());
    EXPECT_TRUE(mainFrame().mdiArea().subWindowList().isEmpty());
    EXPECT_EQ(mainFrame().windowTitle(), QString());
}

TEST_F(DocumentWindowsTest, ClosingAModifiedDocumentAnsweredYesSavesItFirst) {
    KelDataFrame* frame = app().openDocumentFile(example("cube.kel"));
    ASSERT_NE(frame, nullptr);
    frame->document().scene()->setAmbient(0.75);
    frame->document().setModified(true);
    messages_.answers = {true};
    choose("&File", "&Close");
    EXPECT_EQ(messages_.questions.size(), 1u);
    EXPECT_NE(readFile(example("cube.kel")).find("0.75"), std::string::npos);
    // The object geometry goes to the object output file beside the scene.
    EXPECT_TRUE(std::filesystem::exists(scratch("foo")));
    EXPECT_TRUE(app().documents().empty());
}

TEST_F(DocumentWindowsTest, OnlyTheLastWindowOfADocumentClosesIt) {
    KelDataFrame* first = app().openDocumentFile(example("cube.kel"));
    ASSERT_NE(first, nullptr);
    first->document().setModified(true);
    choose("&Window", "&New Window");
    KelDataFrame* second = mainFrame().activeFrame();
    ASSERT_NE(second, first);
    EXPECT_EQ(&second->document(), &first->document());
    EXPECT_EQ(first->windowTitle(), QStringLiteral("cube.kel:1"));
    EXPECT_EQ(second->windowTitle(), QStringLiteral("cube.kel:2"));
    EXPECT_EQ(first->document().views().size(), 4u);

    second->close();
    settle();
    EXPECT_TRUE(messages_.questions.empty());
    ASSERT_EQ(app().documents().size(), 1u);
    EXPECT_EQ(first->windowTitle(), QStringLiteral("cube.kel"));
    EXPECT_EQ(first->document().views().size(), 2u);

    first->close();
    settle();
    EXPECT_EQ(messages_.questions.size(), 1u);
    EXPECT_TRUE(app().documents().empty());
    EXPECT_TRUE(mainFrame().mdiArea().subWindowList().isEmpty());
}

TEST_F(DocumentWindowsTest, ExitClosesEveryDocumentAndEachModifiedOneAsks) {
    KelDataFrame* cube = app().openDocumentFile(example("cube.kel"));
    KelDataFrame* room = app().openDocumentFile(example("room.kel"));
    ASSERT_NE(cube, nullptr);
    ASSERT_NE(room, nullptr);
    choose("&File", "&New\tCtrl+N");
    cube->document().setModified(true);
    room->document().setModified(true);
    messages_.defaultAnswer = false;
    choose("&File", "E&xit");
    ASSERT_EQ(messages_.questions.size(), 2u);
    EXPECT_EQ(messages_.questions[0], "cube.kel has been changed, save it?");
    EXPECT_EQ(messages_.questions[1], "room.kel has been changed, save it?");
    EXPECT_TRUE(app().documents().empty());
    EXPECT_TRUE(mainFrame().mdiArea().subWindowList().isEmpty());
    EXPECT_FALSE(mainFrame().isVisible());
}

TEST_F(DocumentWindowsTest, DroppedFilesOpenEachInItsOwnWindow) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(example("cube.kel"))),
                  QUrl::fromLocalFile(QString::fromStdString(example("room.kel"))),
                  QUrl(QStringLiteral("https://example.invalid/remote.kel"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&mainFrame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&mainFrame(), &drop);
    settle();
    ASSERT_EQ(app().documents().size(), 2u);
    EXPECT_EQ(app().documents()[0]->title(), "cube.kel");
    EXPECT_EQ(app().documents()[1]->title(), "room.kel");
    EXPECT_EQ(mainFrame().mdiArea().subWindowList().size(), 2);

    QMimeData text;
    text.setText(QStringLiteral("not a file"));
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QApplication::sendEvent(&mainFrame(), &refused);
    EXPECT_FALSE(refused.isAccepted());
}

TEST_F(DocumentWindowsTest, WindowCommandsArrangeTheDocumentWindows) {
    ASSERT_NE(app().openDocumentFile(example("cube.kel")), nullptr);
    ASSERT_NE(app().openDocumentFile(example("room.kel")), nullptr);
    choose("&Window", "&Tile");
    const QList<QMdiSubWindow*> windows = mainFrame().mdiArea().subWindowList();
    ASSERT_EQ(windows.size(), 2);
    EXPECT_FALSE(windows[0]->geometry().intersects(windows[1]->geometry()));
    choose("&Window", "&Cascade");
    EXPECT_NE(windows[0]->pos(), windows[1]->pos());

    windows[0]->showMinimized();
    windows[1]->showMinimized();
    choose("&Window", "&Arrange Icons");
    const int bottom = mainFrame().mdiArea().viewport()->height();
    for (const QMdiSubWindow* window : windows) {
        EXPECT_EQ(window->geometry().bottom() + 1, bottom);
    }
    EXPECT_FALSE(windows[0]->geometry().intersects(windows[1]->geometry()));
}

TEST_F(DocumentWindowsTest, SplitMovesTheBarFromTheKeyboard) {
    KelDataFrame* frame = app().openDocumentFile(example("cube.kel"));
    ASSERT_NE(frame, nullptr);
    choose("&Window", "S&plit");
    ASSERT_TRUE(frame->isSplitTracking());
    QSplitterHandle* handle = frame->splitter().handle(1);
    auto press = [handle](int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(handle, &event);
    };
    const int start = frame->splitter().sizes().at(0);
    press(Qt::Key_Right);
    press(Qt::Key_Right);
    EXPECT_EQ(frame->splitter().sizes().at(0), start + 16);
    press(Qt::Key_Escape);
    EXPECT_FALSE(frame->isSplitTracking());
    EXPECT_EQ(frame->splitter().sizes().at(0), start);

    choose("&Window", "S&plit");
    press(Qt::Key_Left);
    press(Qt::Key_Return);
    EXPECT_FALSE(frame->isSplitTracking());
    EXPECT_EQ(frame->splitter().sizes().at(0), start - 8);
    press(Qt::Key_Left);  // no longer tracking: the bar stays
    EXPECT_EQ(frame->splitter().sizes().at(0), start - 8);
}

}  // namespace
}  // namespace kel::test
