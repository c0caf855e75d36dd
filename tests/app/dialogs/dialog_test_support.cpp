#include "app/dialogs/dialog_test_support.h"

#include <QApplication>
#include <QPointer>

#include "app/dialogs/ambient_dialog.h"
#include "app/dialogs/camera_dialog.h"
#include "app/dialogs/frustum_dialog.h"
#include "app/dialogs/light_dialog.h"
#include "app/dialogs/obj_transforms_page.h"
#include "app/dialogs/obj_vertices_page.h"
#include "app/qt_test_environment.h"

namespace kel::test {
QLineEdit* editNamed(const QWidget& root, const char* name) {
    auto* edit = root.findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(edit, nullptr) << "no edit named " << name;
    return edit;
}

void typeInto(const QWidget& root, const char* name, const QString& text) {
    QLineEdit* edit = editNamed(root, name);
    edit->selectAll();
    edit->insert(text);
}

SettingsDialogTest::SettingsDialogTest() {
    camera.set({0.0, 0.0, -10.0}, {0.0, 0.0, 0.0}, {0.0, 1.0, 1.0});
    frustum.set(1.0, 100.0, 0.5);
    light.setDirection({0.0, 0.0, 2.0});
    light.setIntensity(0.8);
    light.setColor(Color(10, 20, 30));
    scene.setAmbient(1.0 / 3.0);
}

std::unique_ptr<SettingsDialog> SettingsDialogTest::open(const std::string& which) {
    std::unique_ptr<SettingsDialog> dialog;
    if (which == "camera") {
        dialog = std::make_unique<CameraDialog>(camera, messages);
    } else if (which == "frustum") {
        dialog = std::make_unique<FrustumDialog>(frustum, messages);
    } else if (which == "ambient") {
        dialog = std::make_unique<AmbientDialog>(scene, messages);
    } else {
        dialog = std::make_unique<LightDialog>(light, messages);
    }
    dialog->show();
    return dialog;
}

PropertySheetTest::PropertySheetTest() : sheet(QStringLiteral("cube.obj"), messages, pane()) {
    object.setColor(Color(1, 2, 3));
    object.setShininess(10);
    surface = new ObjSurfacePage(object);
    color = new ObjColorPage(object, chooser);
    sheet.addPage(new ObjTransformsPage(object));
    sheet.addPage(surface);
    sheet.addPage(color);
    sheet.addPage(new ObjVerticesPage(object));
    sheet.show();
    QApplication::setActiveWindow(&sheet);
}

QWidget* PropertySheetTest::pane() {
    auto* const content = new QWidget;
    area.addSubWindow(content)->show();
    area.addSubWindow(new QWidget)->show();
    area.show();
    return content;
}

ModalDriver::ModalDriver(std::function<void(QWidget&)> driver) {
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

}  // namespace kel::test
