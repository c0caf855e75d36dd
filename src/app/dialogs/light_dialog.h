#pragma once

#include "app/dialogs/settings_dialog.h"
#include "model/color.h"
#include "model/vector.h"

namespace kel {

class Light;

// Edits the light's direction, intensity and colour.
class LightDialog : public SettingsDialog {
    Q_OBJECT

public:
    LightDialog(Light& light, UserMessages& messages, QWidget* parent = nullptr);

    Vector direction() const { return {direction_[0], direction_[1], direction_[2]}; }
    double intensity() const { return intensity_; }
    // Each channel has passed its 0 to 255 check once the dialog has been confirmed.
    Color color() const;

protected:
    void loadFromModel() override;
    // Direction (which the light normalises), then intensity, then colour.
    void applyToModel() override;

private:
    Light& light_;
    double direction_[3] = {};
    double intensity_ = 0.0;
    int red_ = 0;
    int green_ = 0;
    int blue_ = 0;
};

}  // namespace kel
