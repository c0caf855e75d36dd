#pragma once

#include "app/dialogs/settings_dialog.h"

namespace kel {

class Scene;

// Edits the scene's ambient light level.
class AmbientDialog : public SettingsDialog {
    Q_OBJECT

public:
    AmbientDialog(Scene& scene, UserMessages& messages, QWidget* parent = nullptr);

    double ambient() const { return ambient_; }

protected:
    void loadFromModel() override;
    void applyToModel() override;

private:
    Scene& scene_;
    double ambient_ = 0.0;
};

}  // namespace kel
