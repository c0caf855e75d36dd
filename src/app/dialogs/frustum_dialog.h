#pragma once

#include "app/dialogs/settings_dialog.h"

namespace kel {

class Frustum;

// Edits the frustum's near plane, far plane and plane height.
class FrustumDialog : public SettingsDialog {
    Q_OBJECT

public:
    FrustumDialog(Frustum& frustum, UserMessages& messages, QWidget* parent = nullptr);

    double nearPlane() const { return near_; }
    double farPlane() const { return far_; }
    double height() const { return height_; }

protected:
    void loadFromModel() override;
    // Refuses a near plane that is not in front of the far plane, with a message, and
    // leaves the frustum alone.
    void applyToModel() override;

private:
    Frustum& frustum_;
    double near_ = 0.0;
    double far_ = 0.0;
    double height_ = 0.0;
};

}  // namespace kel
