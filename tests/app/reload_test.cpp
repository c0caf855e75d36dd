#include <QElapsedTimer>
#include <QThread>
#include <QUndoStack>
#include <functional>

#include "app/app_fixture.h"
#include "app/document_watcher.h"

namespace kel::test {
namespace {

class ReloadTest : public AppTest {
protected:
    // Replaces the first `from` in a scratch file, as another program would.
    void replaceIn(const std::string& name, const std::string& from, const std::string& to) {
        std::string text = readScratch(name);
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        QThread::msleep(20);  // a later time stamp whatever the file system's resolution
        std::ofstream(scratch(name), std::ios::trunc) << text.replace(at, from.size(), to);
    }
    static bool waitFor(const std::function<bool()>& done, int ms = 4000) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < ms) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
        return done();
    }
    // Waits out the settling delay so that a notice, if one came, has been acted on.
    static void waitOutNotices() {
        waitFor([] { return false; }, 4 * DocumentWatcher::kSettleMs);
    }
    static inline const std::string kAmbient = "\n0.2\n";  // the ambient line of cube.kel
};

// An unedited document reloads without asking. Kel's own save is no change on disk; another
// program's change to an edited document asks, and No is not asked again for the same change.
TEST_F(ReloadTest, ReloadingKeepsEachWindowsModeAndAnEditedDocumentAsksFirst) {
    KelDataFrame& phong = open("cube.kel");
    choose("&View", kPhong);
    KelDataFrame& wireframe = *app().onWindowNew();
    choose("&View", "&Do Culling\tCtl+D");
    CKelDoc& document = phong.document();
    ASSERT_EQ(document.scene()->ambient(), 0.2);
    // Phong turned culling on and Do Culling off again: the reload keeps the choice.
    ASSERT_FALSE(document.scene()->cullBackFaces());
    const QImage before = phong.renderedView().renderImage();

    replaceIn("cube.kel", kAmbient, "\n0.6\n");
    ASSERT_TRUE(waitFor([&] { return document.scene()->ambient() == 0.6; }));
    EXPECT_TRUE(messages_.questions.empty());
    EXPECT_EQ(phong.renderMode(), RenderMode::Phong);
    EXPECT_EQ(wireframe.renderMode(), RenderMode::Wireframe);
    EXPECT_FALSE(document.scene()->cullBackFaces());
    EXPECT_FALSE(document.isModified());
    EXPECT_NE(phong.renderedView().renderImage(), before);  // brighter ambient
    EXPECT_TRUE(messages_.errors.empty());

    phong.onViewResetView();  // one edit: modified, one step
    choose("&File", "&Save\tCtrl+S");
    ASSERT_TRUE(messages_.errors.empty());
    EXPECT_FALSE(app().watcherOf(document)->hasChanged());
    waitOutNotices();
    EXPECT_TRUE(messages_.questions.empty());
    phong.onViewResetView();
    ASSERT_EQ(undoStackOf(document).count(), 2);

    messages_.answers = {false};
    replaceIn("cube.kel", "\n0.6\n", "\n0.7\n");
    ASSERT_TRUE(waitFor([&] { return !messages_.questions.empty(); }));
    EXPECT_EQ(
        messages_.questions,
        std::vector<std::string>{"cube.kel has changed on disk. Reload it and lose your changes?"});
    EXPECT_EQ(document.scene()->ambient(), 0.6);
    EXPECT_EQ(undoStackOf(document).count(), 2);
    waitOutNotices();
    EXPECT_EQ(messages_.questions.size(), 1u);

    messages_.answers = {true};
    replaceIn("cube.kel", "\n0.7\n", "\n0.8\n");
    ASSERT_TRUE(waitFor([&] { return document.scene()->ambient() == 0.8; }));
    EXPECT_EQ(messages_.questions.size(), 2u);
    EXPECT_EQ(undoStackOf(document).count(), 0);
    EXPECT_FALSE(mainFrame().undoAction().isEnabled());
}

TEST_F(ReloadTest, AnObjectFileThatChangesOrAppearsReloadsButABrokenSceneDoesNot) {
    // The same scene, its one object read from a file that does not exist yet.
    std::filesystem::copy_file(scratch("cube.kel"), scratch("two.kel"));
    replaceIn("two.kel", "cube.obj", "late.obj");
    KelDataFrame& frame = open("two.kel");
    CKelDoc& document = frame.document();
    ASSERT_EQ(document.scene()->objectCount(), 0u);  // reported and left out
    messages_.errors.clear();

    std::filesystem::copy_file(scratch("cube.obj"), scratch("late.obj"));
    ASSERT_TRUE(waitFor([&] { return document.scene()->objectCount() == 1; }));

    const std::size_t vertices = document.scene()->object(0)->vertexCount();
    replaceIn("late.obj", "8\n", "7\n");  // the vertex count, one short: read differently
    ASSERT_TRUE(waitFor([&] {
        return document.scene()->objectCount() != 1 ||
               document.scene()->object(0)->vertexCount() != vertices;
    }));

    // A scene that no longer reads keeps the document as it was.
    messages_.errors.clear();
    const CameraPose pose = poseOf(*document.scene()->camera());
    replaceIn("two.kel", "4 3 5", "not a number");
    ASSERT_TRUE(waitFor([&] { return !messages_.errors.empty(); }));
    EXPECT_TRUE(poseOf(*document.scene()->camera()) == pose);
    EXPECT_FALSE(frame.renderedView().renderImage().isNull());
}

}  // namespace
}  // namespace kel::test
