#include "app/dialogs/options_commands.h"

#include "app/dialogs/ambient_dialog.h"
#include "app/dialogs/camera_dialog.h"
#include "app/dialogs/frustum_dialog.h"
#include "app/dialogs/light_dialog.h"
#include "app/dialogs/obj_color_page.h"
#include "app/dialogs/obj_surface_page.h"
#include "app/dialogs/obj_transforms_page.h"
#include "app/dialogs/obj_vertices_page.h"
#include "app/dialogs/property_sheet.h"
#include "files/kel_doc.h"
#include "model/scene.h"
#include "model/scene_settings.h"

namespace kel {

namespace {

// What every editor does after OK: redraw and refill all views, mark the document, and
// record the step so that it can be undone.
void documentEdited(CKelDoc& doc, const char* step, const SceneSettings& before) {
    doc.updateAllViews(nullptr, 0);
    doc.setModified(true);
    doc.recordEdit(step, before);
}

// Runs a settings dialog; the dialog itself has written the model on OK. The initialised
// flag is set for every dialog that was shown, so in effect OK alone decides.
bool runSettingsDialog(SettingsDialog& dialog, CKelDoc& doc, const char* step) {
    const SceneSettings before = captureSettings(*doc.scene());
    if (dialog.exec() != QDialog::Accepted || !dialog.isInitialised()) {
        return false;
    }
    documentEdited(doc, step, before);
    return true;
}

}  // namespace

bool editCamera(QWidget* parent, CKelDoc& doc, UserMessages& messages) {
    Scene* const scene = doc.scene();
    if (scene == nullptr || scene->camera() == nullptr) {
        return false;
    }
    CameraDialog dialog(*scene->camera(), messages, parent);
    return runSettingsDialog(dialog, doc, "Camera");
}

bool editFrustum(QWidget* parent, CKelDoc& doc, UserMessages& messages) {
    Scene* const scene = doc.scene();
    if (scene == nullptr || scene->frustum() == nullptr) {
        return false;
    }
    FrustumDialog dialog(*scene->frustum(), messages, parent);
    return runSettingsDialog(dialog, doc, "Frustum");
}

bool editAmbient(QWidget* parent, CKelDoc& doc, UserMessages& messages) {
    Scene* const scene = doc.scene();
    if (scene == nullptr) {
        return false;
    }
    AmbientDialog dialog(*scene, messages, parent);
    return runSettingsDialog(dialog, doc, "Ambient Light");
}

bool editLight(QWidget* parent, CKelDoc& doc, UserMessages& messages) {
    Scene* const scene = doc.scene();
    if (scene == nullptr || scene->light() == nullptr) {
        return false;
    }
    LightDialog dialog(*scene->light(), messages, parent);
    return runSettingsDialog(dialog, doc, "Lighting");
}

bool editObjectProperties(QWidget* parent, CKelDoc& doc, SceneObject& object,
                          UserMessages& messages, ColorChooser& colors) {
    const SceneSettings before =
        doc.scene() != nullptr ? captureSettings(*doc.scene()) : SceneSettings{};
    PropertySheet sheet(QString::fromStdString(object.name()), messages, parent);
    auto* const transforms = new ObjTransformsPage(object);
    auto* const surface = new ObjSurfacePage(object);
    auto* const color = new ObjColorPage(object, colors);
    sheet.addPage(transforms);
    sheet.addPage(surface);
    sheet.addPage(color);
    sheet.addPage(new ObjVerticesPage(object));
    if (sheet.exec() != QDialog::Accepted) {
        return false;
    }

    // Every field goes back, whichever pages were visited: a page never shown still
    // holds the object's own values.
    object.setScaling(transforms->scaling());
    object.setRotation(transforms->rotation());
    object.setTranslation(transforms->translation());
    object.setDiffuse(surface->diffuse());
    object.setSpecular(surface->specular());
    object.setShininess(surface->shininess());
    object.setColor(color->color());
    object.computeModelingTransform();
    documentEdited(doc, "Properties", before);
    return true;
}

}  // namespace kel
