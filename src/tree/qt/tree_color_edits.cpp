#include "tree/qt/tree_color_edits.h"

#include <cstdint>
#include <optional>

#include "files/kel_doc.h"
#include "model/light.h"
#include "model/scene_object.h"
#include "model/scene_settings.h"
#include "platform/color_chooser.h"

namespace kel {
namespace {

// The chooser starts on a copy of the current colour; nothing on Cancel.
std::optional<Color> choose(const Color& current, ColorChooser& chooser) {
    std::uint8_t red = current.red();
    std::uint8_t green = current.green();
    std::uint8_t blue = current.blue();
    if (!chooser.chooseColor(red, green, blue)) {
        return std::nullopt;
    }
    return Color(red, green, blue);
}

SceneSettings settingsOf(const CKelDoc& document) {
    return document.scene() != nullptr ? captureSettings(*document.scene()) : SceneSettings{};
}

void announceEdit(CKelDoc& document, const SceneSettings& before) {
    document.updateAllViews(nullptr, 0);
    document.setModified(true);
    document.recordEdit("Colour", before);
}

}  // namespace

bool editLightColor(CKelDoc& document, Light& light, ColorChooser& chooser) {
    const std::optional<Color> chosen = choose(light.color(), chooser);
    if (!chosen) {
        return false;
    }
    const SceneSettings before = settingsOf(document);
    light.setColor(*chosen);
    announceEdit(document, before);
    return true;
}

bool editObjectColor(CKelDoc& document, SceneObject& object, ColorChooser& chooser) {
    const std::optional<Color> chosen = choose(object.color(), chooser);
    if (!chosen) {
        return false;
    }
    const SceneSettings before = settingsOf(document);
    object.setColor(*chosen);
    announceEdit(document, before);
    return true;
}

}  // namespace kel
