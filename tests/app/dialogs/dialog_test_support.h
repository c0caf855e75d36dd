#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/dialogs/obj_color_page.h"
#include "app/dialogs/obj_surface_page.h"
#include "app/dialogs/property_sheet.h"
#include "app/dialogs/settings_dialog.h"
#include "app/fake_messages.h"
#include "model/camera.h"
#include "model/light.h"
#include "model/scene.h"
#include "model/scene_object.h"
#include "platform/color_chooser.h"

namespace kel::test {

// Notes the colour it is opened with; answers with a fixed colour, or cancels.
class ScriptedColorChooser : public ColorChooser {
public:
    bool chooseColor(std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) override {
        offered.push_back({red, green, blue});
        if (confirm) {
            red = answer[0];
            green = answer[1];
            blue = answer[2];
        }
        return confirm;
    }
    bool confirm = true;
    std::array<std::uint8_t, 3> answer{0, 0, 0};
    std::vector<std::array<std::uint8_t, 3>> offered;
};

// The edit with the given object name inside root; fails the test when there is none.
inline QLineEdit* editNamed(const QWidget& root, const char* name) {
    auto* edit = root.findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(edit, nullptr) << "no edit named " << name;
    return edit;
}
// Replaces the named edit's text as a user would.
inline void typeInto(const QWidget& root, const char* name, const QString& text) {
    QLineEdit* edit = editNamed(root, name);
    edit->selectAll();
    edit->insert(text);
}
// Clicks the dialog's button with the given text, as a user would.
inline void press(QWidget& modal, const QString& text) {
    for (QPushButton* button : modal.findChildren<QPushButton*>()) {
        if (button->text() == text) {
            return button->click();
        }
    }
    ADD_FAILURE() << "no button " << text.toStdString();
}

// Two document windows in the area, the first active, as in the viewer, where the area
// watches Ctrl+Tab application-wide to switch them. Gives the first window's content.
QWidget* addDocumentWindows(QMdiArea& area);

// The four settings dialogs on models of their own, belonging to a document window. The camera's up
// was given as (0, 1, 1); its actual up is (0, 1, 0). The light direction (0, 0, 2) is kept as (0,
// 0, 1).
class SettingsDialogTest : public ::testing::Test {
protected:
    SettingsDialogTest();
    // "camera", "frustum", "ambient" or "light", shown.
    std::unique_ptr<SettingsDialog> open(const std::string& which);

    QMdiArea area;
    QWidget* pane = addDocumentWindows(area);
    Camera camera;
    Frustum frustum;
    Light light;
    Scene scene;
    FakeMessages messages;
};

// The sheet the tree opens, belonging to a document window, shown without blocking and
// active.
class PropertySheetTest : public ::testing::Test {
protected:
    enum Tab { kTransformsTab, kSurfaceTab, kColorTab, kVerticesTab };
    PropertySheetTest();
    int tab() const { return sheet.tabs()->currentIndex(); }

    QMdiArea area;
    SceneObject object{1};
    FakeMessages messages;
    ScriptedColorChooser chooser;
    PropertySheet sheet;
    ObjSurfacePage* surface = nullptr;
    ObjColorPage* color = nullptr;
};

// While this object lives, driver runs on the first modal dialog that exec() shows. A
// dialog the driver leaves open fails the test and is closed, so the run cannot hang.
class ModalDriver {
public:
    explicit ModalDriver(std::function<void(QWidget&)> driver) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this, driver = std::move(driver)] {
            const QPointer<QWidget> modal = QApplication::activeModalWidget();
            ASSERT_NE(modal, nullptr) << "no modal dialog came up";
            ran_ = true;
            driver(*modal);
            if (modal != nullptr && modal->isVisible()) {
                ADD_FAILURE() << "a modal dialog was left open";
                modal->close();
            }
        });
        timer_.start(0);
    }
    bool ran() const { return ran_; }

private:
    QTimer timer_;
    bool ran_ = false;
};

}  // namespace kel::test
