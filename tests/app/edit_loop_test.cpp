#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "app/app_fixture.h"
#include "app/kel_view.h"
#include "app/main_frame.h"
#include "model/scene.h"

namespace kel::test {
namespace {

using EditLoopTest = AppTest;

// Types into the modal dialog the next command opens and presses OK.
void answerNextDialog(const QString& field, const QString& text) {
    QTimer::singleShot(0, [field, text] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* edit = dialog->findChild<QLineEdit*>(field);
        ASSERT_NE(edit, nullptr);
        edit->setText(text);
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->isDefault()) {
                button->click();
                if (dialog->isVisible()) {  // refused: never leave the test waiting
                    dialog->reject();
                    ADD_FAILURE() << "the dialog refused " << text.toStdString();
                }
                return;
            }
        }
        dialog->reject();
        FAIL() << "no default button";
    });
}

// The whole loop a user goes through: edit from the Options menu, see it re-rendered,
// close, be asked to save, and find the edit in the file when it is opened again.
TEST_F(EditLoopTest, AnOptionsEditIsRenderedSavedOnCloseAndReopened) {
    KelDataFrame& frame = open("cube.kel");
    choose("&View", "&Phong\tCtl+P");
    const QImage before = frame.renderedView().viewport()->grab().toImage();

    answerNextDialog(QStringLiteral("nearPlane"), QStringLiteral("2.5"));
    choose("&Options", "Frustum...\tCtl+F");
    ASSERT_EQ(frame.document().scene()->frustum()->nearPlane(), 2.5);
    EXPECT_TRUE(frame.document().isModified());
    settle();
    EXPECT_NE(frame.renderedView().viewport()->grab().toImage(), before);

    messages_.answers = {true};
    choose("&File", "&Close");
    ASSERT_EQ(messages_.questions,
              (std::vector<std::string>{"cube.kel has been changed, save it?"}));
    ASSERT_TRUE(app().documents().empty());

    KelDataFrame& reopened = open("cube.kel");
    EXPECT_EQ(reopened.document().scene()->frustum()->nearPlane(), 2.5);
    EXPECT_FALSE(reopened.document().isModified());
}

// Answering Yes to a save that then fails keeps the window and the edit.
TEST_F(EditLoopTest, ASaveThatFailsOnCloseKeepsTheDocumentOpen) {
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

TEST_F(EditLoopTest, ExitClosesEveryDocumentAndEachModifiedOneAsks) {
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

}  // namespace
}  // namespace kel::test
