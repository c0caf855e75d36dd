#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/dialogs/ambient_dialog.h"
#include "app/dialogs/dialog_test_support.h"
#include "app/dialogs/obj_color_page.h"
#include "app/dialogs/obj_surface_page.h"
#include "app/dialogs/obj_transforms_page.h"
#include "app/dialogs/obj_vertices_page.h"
#include "app/dialogs/property_sheet.h"
#include "model/scene.h"
#include "model/scene_object.h"

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
    for (const QChar c : text) {
        QWidget* target = window.focusWidget();
        ASSERT_NE(target, nullptr);
        QKeyEvent down(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &down);
    }
}

QString focusName(const QWidget& window) {
    return window.focusWidget() != nullptr ? window.focusWidget()->objectName() : QString();
}

// The object names Tab visits from the first field until it comes back to it.
std::vector<std::string> tabCycle(QWidget& window) {
    std::vector<std::string> names;
    const QWidget* const first = window.focusWidget();
    for (int i = 0; i < 40; ++i) {
        names.push_back(focusName(window).toStdString());
        press(window, Qt::Key_Tab);
        if (window.focusWidget() == first) {
            break;
        }
    }
    return names;
}

using DialogKeyboardTest = test::SettingsDialogTest;

// Opening a dialog, typing and pressing Enter applies what was typed: the first field has
// the focus with its text selected, and Enter reaches OK from the field.
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

TEST_F(DialogKeyboardTest, TabFollowsTheFormThenOkAndCancel) {
    const struct {
        const char* which;
        std::vector<std::string> order;
    } cases[] = {
        // The frustum reads its fields back far first; Tab still goes down the form.
        {"frustum", {"nearPlane", "farPlane", "planeHeight", "okButton", "cancelButton"}},
        {"light",
         {"directionX", "directionY", "directionZ", "intensity", "red", "green", "blue", "okButton",
          "cancelButton"}},
        {"camera",
         {"fromX", "fromY", "fromZ", "toX", "toY", "toZ", "upX", "upY", "upZ", "okButton",
          "cancelButton"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.which);
        const auto dialog = open(c.which);
        EXPECT_EQ(tabCycle(*dialog), c.order);
        dialog->reject();
    }
}

TEST_F(DialogKeyboardTest, RowLabelsHaveMnemonicsForTheirFirstField) {
    const struct {
        const char* which;
        const char* label;
        const char* buddy;
    } cases[] = {
        {"camera", "&From Point", "fromX"},          {"camera", "&Up Vector", "upX"},
        {"frustum", "Plane &Height", "planeHeight"}, {"ambient", "&Ambient Light", "ambient"},
        {"light", "&Intensity", "intensity"},        {"light", "&Color", "red"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.which) + " " + c.label);
        const auto dialog = open(c.which);
        const QLabel* found = nullptr;
        for (const QLabel* label : dialog->findChildren<QLabel*>()) {
            found = label->text() == QString::fromLatin1(c.label) ? label : found;
        }
        ASSERT_NE(found, nullptr);
        ASSERT_NE(found->buddy(), nullptr);
        EXPECT_EQ(found->buddy()->objectName(), c.buddy);
        dialog->reject();
    }
}

TEST_F(DialogKeyboardTest, EnterInARefusedFieldKeepsTheDialogOpenOnThatField) {
    const auto dialog = open("ambient");
    typeKeys(*dialog, QStringLiteral("2"));
    press(*dialog, Qt::Key_Enter);
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(messages.errors.size(), 1u);
    EXPECT_EQ(focusName(*dialog), "ambient");
    typeKeys(*dialog, QStringLiteral("1"));  // the refused text was selected: replaced
    press(*dialog, Qt::Key_Enter);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(scene.ambient(), 1.0);
}

// Inside a document window, as Options opens it: Ctrl+Tab must not switch the document
// windows behind the modal dialog.
TEST_F(DialogKeyboardTest, ControlTabInADialogLeavesTheDocumentWindowsAlone) {
    QMdiArea area;
    auto* const content = new QWidget;
    QMdiSubWindow* const first = area.addSubWindow(content);
    first->show();
    area.addSubWindow(new QWidget)->show();
    area.show();
    area.setActiveSubWindow(first);
    AmbientDialog dialog(scene, messages, content);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    // The area switches when Ctrl comes up after Tab.
    QTest::keyPress(dialog.focusWidget(), Qt::Key_Control);
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyRelease(dialog.focusWidget(), Qt::Key_Control);
    EXPECT_EQ(area.activeSubWindow(), first);
    EXPECT_EQ(focusName(dialog), "ambient");
    dialog.reject();
}

class SheetKeyboardTest : public ::testing::Test {
protected:
    // As in the viewer, the sheet belongs to a pane of a document window, and the document
    // area watches Ctrl+Tab application-wide to switch its windows.
    SheetKeyboardTest() : object(1), sheet(QStringLiteral("cube.obj"), messages, pane()) {
        object.setScaling({1.0, 1.0, 1.0});
        object.setColor(Color(1, 2, 3));
        object.setDiffuse(0.5);
        object.setShininess(10);
        sheet.addPage(new ObjTransformsPage(object));
        sheet.addPage(new ObjSurfacePage(object));
        color = new ObjColorPage(object, chooser);
        sheet.addPage(color);
        sheet.addPage(new ObjVerticesPage(object));
        sheet.show();
        // Keys go where a user's would: the sheet is the active window.
        QApplication::setActiveWindow(&sheet);
    }
    int tab() const { return sheet.tabs()->currentIndex(); }
    QWidget* pane() {
        auto* const content = new QWidget;
        area.addSubWindow(content)->show();
        area.addSubWindow(new QWidget)->show();
        area.show();
        return content;
    }

    QMdiArea area;
    SceneObject object;
    test::FakeMessages messages;
    test::ScriptedColorChooser chooser;
    PropertySheet sheet;
    ObjColorPage* color = nullptr;
};

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

TEST_F(SheetKeyboardTest, EnterAfterChoosingAColourPressesOk) {
    press(sheet, Qt::Key_PageDown, Qt::ControlModifier);
    press(sheet, Qt::Key_PageDown, Qt::ControlModifier);
    ASSERT_EQ(tab(), 2);
    auto* const choose = color->findChild<QPushButton*>("chooseColors");
    ASSERT_NE(choose, nullptr);
    choose->setFocus();
    chooser.answer = {9, 8, 7};
    press(sheet, Qt::Key_Space);  // the focused button is pressed from the keyboard
    ASSERT_EQ(chooser.offered.size(), 1u);
    EXPECT_EQ(focusName(sheet), "red");
    press(sheet, Qt::Key_Return);
    EXPECT_EQ(chooser.offered.size(), 1u);  // not opened again
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(color->color(), Color(9, 8, 7));
}

TEST_F(SheetKeyboardTest, TabVisitsTheFieldsOfThePageOnShowOnly) {
    press(sheet, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabCycle(sheet),
              (std::vector<std::string>{"diffuse", "specular", "shininess", "okButton",
                                        "cancelButton", "qt_tabwidget_tabbar"}));
}

}  // namespace
}  // namespace kel
