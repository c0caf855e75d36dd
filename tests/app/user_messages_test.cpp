#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/qt_user_messages.h"

namespace kel::test {
namespace {

// Answers the next modal box with the given button, after noting how it looked.
struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

void answerNextBox(SeenBox& seen, QMessageBox::StandardButton answer) {
    QTimer::singleShot(0, [&seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        box->button(answer)->click();
    });
}

TEST(QtUserMessagesTest, ErrorsShowCaptionKelWithExclamationAndOk) {
    QtUserMessages messages;
    SeenBox seen;
    answerNextBox(seen, QMessageBox::Ok);
    messages.showError("No object file found");
    EXPECT_EQ(seen.caption, QStringLiteral("Kel"));
    EXPECT_EQ(seen.text, QStringLiteral("No object file found"));
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST(QtUserMessagesTest, TheQuestionHasYesAndNoWithoutIconAndReportsTheAnswer) {
    QtUserMessages messages;
    SeenBox seen;
    answerNextBox(seen, QMessageBox::No);
    EXPECT_FALSE(messages.askYesNo("room.kel has been changed, save it?"));
    EXPECT_EQ(seen.caption, QStringLiteral("Kel"));
    EXPECT_EQ(seen.text, QStringLiteral("room.kel has been changed, save it?"));
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);

    answerNextBox(seen, QMessageBox::Yes);
    EXPECT_TRUE(messages.askYesNo("room.kel has been changed, save it?"));
}

}  // namespace
}  // namespace kel::test
