#pragma once

#include "app/dialogs/settings_dialog.h"
#include "model/vector.h"

namespace kel {

class Camera;

// Edits the camera's from point, to point and up vector. The up row shows the camera's
// actual up, which OK hands back as the new approximate up.
class CameraDialog : public SettingsDialog {
    Q_OBJECT

public:
    CameraDialog(Camera& camera, UserMessages& messages, QWidget* parent = nullptr);

    Vector from() const { return {from_[0], from_[1], from_[2]}; }
    Vector to() const { return {to_[0], to_[1], to_[2]}; }
    Vector up() const { return {up_[0], up_[1], up_[2]}; }

protected:
    void loadFromModel() override;
    // Refuses identical from and to points with a message and leaves the camera alone.
    void applyToModel() override;

private:
    Camera& camera_;
    double from_[3] = {};
    double to_[3] = {};
    double up_[3] = {};
};

}  // namespace kel
