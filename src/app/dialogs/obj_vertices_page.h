#pragma once

#include "app/dialogs/property_page.h"

namespace kel {

class SceneObject;

// The "Vertices" tab, kept for a vertex editor still to come; it has no fields.
class ObjVerticesPage : public PropertyPage {
    Q_OBJECT

public:
    explicit ObjVerticesPage(QWidget* parent = nullptr);
    // The object is not used.
    explicit ObjVerticesPage(const SceneObject& object, QWidget* parent = nullptr);
};

}  // namespace kel
