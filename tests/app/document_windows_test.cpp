#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDropEvent>
#include <QMdiArea>
#include <QMimeData>
#include <QSplitter>
#include <QTemporaryDir>
#include <QUrl>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/app_fixture.h"
#include "app/kel_view.h"
#include "app/open_request_channel.h"
#include "files/mesh/mesh_format.h"
#include "model/scene.h"
#include "tree/qt/kel_tree_view.h"

namespace kel::test {
namespace {

using DocumentWindowsTest = AppTest;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
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

// Answering Yes to a save that then fails keeps the window and the edit.
TEST_F(DocumentWindowsTest, ASaveThatFailsOnCloseKeepsTheDocumentOpen) {
    KelDataFrame& frame = open("cube.kel");
    frame.document().setModified(true);
    std::filesystem::create_directory(scratch("foo"));  // the object output cannot be written
    messages_.answers = {true, true};
    choose("&File", "&Close");
    EXPECT_EQ(messages_.errors.size(), 1u);
    ASSERT_EQ(app().documents().size(), 1u);
    frame.close();  // the window's own close button asks again and stays too
    EXPECT_EQ(messages_.questions.size(), 2u);
    EXPECT_EQ(app().documents().size(), 1u);
    EXPECT_EQ(mainFrame().mdiArea().subWindowList().size(), 1);
}

TEST_F(DocumentWindowsTest, ExitClosesEveryDocumentAndEachModifiedOneAsks) {
    open("cube.kel").document().setModified(true);
    open("room.kel").document().setModified(true);
    choose("&File", "&New\tCtrl+N");
    choose("&File", "E&xit");
    EXPECT_EQ(messages_.questions,
              (std::vector<std::string>{"cube.kel has been changed, save it?",
                                        "room.kel has been changed, save it?"}));
    EXPECT_TRUE(app().documents().empty());
    EXPECT_FALSE(mainFrame().isVisible());
}

TEST_F(DocumentWindowsTest, OpenedFilesFillTheMenuMostRecentFirstAndTrimToFour) {
    std::vector<QString> texts;
    for (const char* name : {"a.kel", "b.kel", "c.kel", "d.kel", "e.kel"}) {
        std::filesystem::copy_file(scratch("cube.kel"), scratch(name));
        open(name);
        texts.insert(texts.begin(), QString::fromStdString(scratch(name)));
    }
    const QStringList menu = itemTexts("&File");
    EXPECT_EQ(menu.mid(6), (QStringList{"-", "&1 " + texts[0], "&2 " + texts[1], "&3 " + texts[2],
                                        "&4 " + texts[3], "-", "E&xit"}));
    // Bringing an open file forward makes it the most recent again.
    open("c.kel");
    EXPECT_EQ(app().recentFiles().entries().front(), scratch("c.kel"));
    EXPECT_EQ(app().recentFiles().entries().size(), 4u);
}

TEST_F(DocumentWindowsTest, TheListIsKeptAcrossRunsAndAnEntryThatNoLongerOpensLeavesIt) {
    std::filesystem::copy_file(scratch("cube.kel"), scratch("gone.kel"));
    open("gone.kel");
    open("cube.kel");
    open("room.kel");
    startApp();
    EXPECT_EQ(
        app().recentFiles().entries(),
        (std::vector<std::string>{scratch("room.kel"), scratch("cube.kel"), scratch("gone.kel")}));
    choose("&File", QString::fromStdString("&2 " + scratch("cube.kel")));
    ASSERT_EQ(app().documents().size(), 1u);
    EXPECT_EQ(app().documents()[0]->pathName(), scratch("cube.kel"));
    EXPECT_EQ(app().recentFiles().entries().front(), scratch("cube.kel"));

    std::filesystem::remove(scratch("gone.kel"));
    choose("&File", QString::fromStdString("&3 " + scratch("gone.kel")));
    EXPECT_EQ(messages_.errors.size(), 1u);
    startApp();
    EXPECT_EQ(app().recentFiles().entries(),
              (std::vector<std::string>{scratch("cube.kel"), scratch("room.kel")}));
}

const std::string kTriangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";

TEST_F(DocumentWindowsTest, SavingAnOpenedMeshAsksForASceneNameBesideIt) {
    std::ofstream(scratch("part.obj")) << kTriangle;
    files_.openAnswer = scratch("part.obj");
    choose("&File", "&Open...\tCtrl+O");
    KelDataFrame* frame = mainFrame().activeFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->windowTitle(), "part.obj");
    EXPECT_EQ(app().recentFiles().entries().front(), scratch("part.obj"));

    // Cancelled: nothing written, the mesh stays the document's file.
    choose("&File", "&Save\tCtrl+S");
    files_.saveAnswer = scratch("part.kel");
    choose("&File", "&Save\tCtrl+S");
    EXPECT_EQ(files_.saveSuggestions,
              (std::vector<std::string>{scratch("part.kel"), scratch("part.kel")}));
    EXPECT_EQ(readFile(scratch("part.obj")), kTriangle);
    EXPECT_NE(readFile(scratch("part.kel")).find("\n1\npart.obj\n"), std::string::npos);
    EXPECT_EQ(frame->windowTitle(), "part.kel");
    // Saved as a scene, Save writes the scene without asking again.
    choose("&File", "&Save\tCtrl+S");
    EXPECT_EQ(files_.saveSuggestions.size(), 2u);
    EXPECT_TRUE(messages_.errors.empty());
}

TEST_F(DocumentWindowsTest, AMalformedMeshOpensNoWindowAndSaysWhere) {
    std::ofstream(scratch("bad.off")) << "OFF\n3 1 0\n0 0 0\n1 0 0\n";
    EXPECT_EQ(app().openDocumentFile(scratch("bad.off")), nullptr);
    EXPECT_EQ(mainFrame().activeFrame(), nullptr);
    ASSERT_EQ(messages_.errors.size(), 1u);
    EXPECT_EQ(messages_.errors[0].rfind("bad.off, line ", 0), 0u) << messages_.errors[0];
}

// Every pattern the open dialog offers opens through the document that pattern promises.
TEST(OpenFilter, OffersScenesMeshesEachFormatAndAllFiles) {
    const QStringList filters = QString::fromLatin1(kOpenFileFilter).split(";;");
    ASSERT_EQ(filters.size(), 7);
    EXPECT_TRUE(filters.front().startsWith("Scenes and meshes ("));
    EXPECT_EQ(filters.back(), "All files (*)");
    for (const QString& filter : filters.mid(0, 6)) {
        const QString patterns = filter.section('(', 1).chopped(1);
        for (const QString& pattern : patterns.split(' ')) {
            std::string name(1, 'x');
            name.append(pattern.mid(1).toStdString());
            EXPECT_TRUE(name == "x.kel" || meshFormatOfName(name).has_value()) << name;
        }
    }
}

// A request naming a FIFO or a device is refused at once: the viewer never waits on it.
TEST_F(DocumentWindowsTest, RequestNamingAFifoOrDeviceIsRefusedWithoutWaiting) {
    const std::string fifo = scratch("pipe.kel");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    QTemporaryDir socketDir;
    ASSERT_TRUE(socketDir.isValid());
    const QString name = socketDir.filePath(QStringLiteral("requests"));
    std::size_t handled = 0;
    OpenRequestServer server(name, [this, &handled](const std::string& path) {
        app().openDocumentFile(path);
        ++handled;
    });
    ASSERT_TRUE(server.listen());

    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(forwardOpenRequest(name, {fifo, "/dev/zero", scratch("cube.kel")}));
    const QDeadlineTimer deadline(2000);
    while (handled < 3 && !deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    ASSERT_EQ(handled, 3u);
    EXPECT_EQ(messages_.errors,
              (std::vector<std::string>{"Cannot open " + fifo + ": not a regular file",
                                        "Cannot open /dev/zero: not a regular file"}));
    EXPECT_EQ(app().documents().size(), 1u);  // the scene after them still opens
}
}  // namespace
}  // namespace kel::test
