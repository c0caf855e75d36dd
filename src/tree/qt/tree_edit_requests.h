#pragma once

class QWidget;

namespace kel {

class Light;
class SceneObject;

// The editors a double-click in the data tree can open. The application answers with
// its dialogs, property sheet and colour chooser; each editor, on OK, writes the scene,
// updates all views of the document and marks it modified, and on Cancel changes nothing.
class TreeEditRequests {
public:
    virtual ~TreeEditRequests() = default;

    virtual void editCamera(QWidget* parent) = 0;
    virtual void editFrustum(QWidget* parent) = 0;
    virtual void editLight(QWidget* parent) = 0;
    virtual void editAmbient(QWidget* parent) = 0;
    virtual void editLightColor(QWidget* parent, Light& light) = 0;
    virtual void editObjectColor(QWidget* parent, SceneObject& object) = 0;
    // The object's property sheet.
    virtual void editObject(QWidget* parent, SceneObject& object) = 0;
};

}  // namespace kel
