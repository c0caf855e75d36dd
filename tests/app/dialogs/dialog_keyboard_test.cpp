#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <cmath>
#include <string>
#include <vector>

#include "app/dialogs/dialog_test_support.h"
#include "model/scene.h"

namespace kel {
namespace {

using test::editNamed;

// A key as the keyboard delivers it: to the focus widget, shortcuts and application-wide
// filters first, passed up while ignored.
void press(QWidget& window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = window.focusWidget() != nullptr ? window.focusWidget() : &window;
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

// Types text as keys into the focus widget.
void typeKeys(QWidget& window, const QString& text) {
    ASSERT_NE(window.focusWidget(), nullptr);
    QTest::keyClicks(window.focusWidget(), text);
}

QString focusName(const QWidget& window) {
    return window.focusWidget() != nullptr ? window.focusWidget()->objectName() : QString();
}

using DialogKeyboardTest = test::SettingsDialogTest;

// Opening a dialog, typing and pressing Enter applies what was typed: the first field has
// the focus with its text selected, and Enter reaches OK from the field. Ctrl+Tab must not
// switch the document windows behind the dialog.
TEST_F(DialogKeyboardTest, TypingIntoTheFirstFieldAndEnterApplyTheValue) {
    const struct {
        const char* which;
        const char* firstField;
        const char* typed;
    } cases[] = {
        {"camera", "fromX", "7.5"},
        {"frustum", "nearPlane", "2"},
        {"ambient", "ambient", "0.75"},
        {"light", "directionX", "-1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.which);
        const auto dialog = open(c.which);
        QApplication::setActiveWindow(dialog.get());
        EXPECT_EQ(focusName(*dialog), c.firstField);
        EXPECT_TRUE(editNamed(*dialog, c.firstField)->hasSelectedText());
        QMdiSubWindow* const active = area.activeSubWindow();
        QTest::keyPress(dialog->focusWidget(), Qt::Key_Control);  // the area switches on release
        press(*dialog, Qt::Key_Tab, Qt::ControlModifier);
        QTest::keyRelease(dialog->focusWidget(), Qt::Key_Control);
        EXPECT_EQ(area.activeSubWindow(), active);
        EXPECT_EQ(focusName(*dialog), c.firstField);
        typeKeys(*dialog, QString::fromLatin1(c.typed));
        EXPECT_EQ(editNamed(*dialog, c.firstField)->text(), c.typed);
        press(*dialog, Qt::Key_Return);
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_TRUE(messages.errors.empty());
    }
    EXPECT_EQ(camera.from().x(), 7.5);
    EXPECT_EQ(frustum.nearPlane(), 2.0);
    EXPECT_EQ(scene.ambient(), 0.75);
    EXPECT_DOUBLE_EQ(light.direction().x(), -1.0 / std::sqrt(2.0));  // (-1, 0, 1) normalised
    EXPECT_DOUBLE_EQ(light.direction().z(), 1.0 / std::sqrt(2.0));
}

using SheetKeyboardTest = test::PropertySheetTest;

TEST_F(SheetKeyboardTest, ControlTabAndPageKeysSwitchPagesAndFocusTheirFirstField) {
    EXPECT_EQ(focusName(sheet), "rotateX");
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        int tab;
        const char* focus;
    } steps[] = {
        {Qt::Key_Tab, Qt::ControlModifier, 1, "diffuse"},
        {Qt::Key_PageDown, Qt::ControlModifier, 2, "red"},
        {Qt::Key_PageDown, Qt::ControlModifier, 3, ""},    // no fields: the tabs have it
        {Qt::Key_Tab, Qt::ControlModifier, 0, "rotateX"},  // wraps around
        {Qt::Key_PageUp, Qt::ControlModifier, 3, ""},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 2, "red"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.tab);
        press(sheet, step.key, step.modifiers);
        EXPECT_EQ(tab(), step.tab);
        if (*step.focus != '\0') {
            EXPECT_EQ(focusName(sheet), step.focus);
        } else {
            EXPECT_EQ(sheet.focusWidget(), sheet.tabs()->tabBar());
        }
    }
    // A refused field keeps its page against Ctrl+Tab too.
    typeKeys(sheet, QStringLiteral("300"));
    press(sheet, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tab(), 2);
    EXPECT_EQ(messages.errors.size(), 1u);
}

// The chooser starts from the page's last exchange, not from typed text; leaving the page
// is an exchange. Enter after choosing presses OK, not the chooser again.
TEST_F(SheetKeyboardTest, ChooseColorsStartsFromTheLastExchangeAndEnterThenPressesOk) {
    sheet.tabs()->setCurrentIndex(kColorTab);
    test::typeInto(*color, "red", "10");
    auto* const choose = color->findChild<QPushButton*>("chooseColors");
    ASSERT_NE(choose, nullptr);
    chooser.confirm = false;  // a cancelled chooser leaves the edits as they were
    choose->click();
    EXPECT_EQ(editNamed(*color, "red")->text(), "10");
    sheet.tabs()->setCurrentIndex(kVerticesTab);
    sheet.tabs()->setCurrentIndex(kColorTab);
    test::typeInto(*color, "green", "99");
    chooser.confirm = true;
    chooser.answer = {9, 8, 7};
    choose->setFocus();
    press(sheet, Qt::Key_Space);  // the focused button is pressed from the keyboard
    EXPECT_EQ(chooser.offered, (std::vector<std::array<std::uint8_t, 3>>{{1, 2, 3}, {10, 2, 3}}));
    EXPECT_EQ(editNamed(*color, "green")->text(), "8");
    EXPECT_EQ(focusName(sheet), "red");
    press(sheet, Qt::Key_Return);
    EXPECT_EQ(chooser.offered.size(), 2u);  // not opened again
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(color->color(), Color(9, 8, 7));
}

}  // namespace
}  // namespace kel
