#include "app/dialogs/dialog_test_support.h"

#include <QApplication>
#include <QMdiSubWindow>

#include "app/dialogs/ambient_dialog.h"
#include "app/dialogs/camera_dialog.h"
#include "app/dialogs/frustum_dialog.h"
#include "app/dialogs/light_dialog.h"
#include "app/dialogs/obj_transforms_page.h"
#include "app/dialogs/obj_vertices_page.h"
#include "app/qt_test_environment.h"

namespace kel::test {
QWidget* addDocumentWindows(QMdiArea& area) {
    auto* const content = new QWidget;
    QMdiSubWindow* const first = area.addSubWindow(content);
    first->show();
    area.addSubWindow(new QWidget)->show();
    area.show();
    area.setActiveSubWindow(first);
    return content;
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
        dialog = std::make_unique<CameraDialog>(camera, messages, pane);
    } else if (which == "frustum") {
        dialog = std::make_unique<FrustumDialog>(frustum, messages, pane);
    } else if (which == "ambient") {
        dialog = std::make_unique<AmbientDialog>(scene, messages, pane);
    } else {
        dialog = std::make_unique<LightDialog>(light, messages, pane);
    }
    dialog->show();
    return dialog;
}

PropertySheetTest::PropertySheetTest()
    : sheet(QStringLiteral("cube.obj"), messages, addDocumentWindows(area)) {
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

}  // namespace kel::test
