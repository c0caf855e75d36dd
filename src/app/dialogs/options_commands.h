#pragma once

class QWidget;

namespace kel {

class CKelDoc;
class ColorChooser;
class SceneObject;
class UserMessages;

// The Options commands and the object property sheet. Each runs its editor modally on
// the document's scene; on OK it updates every view of the document and marks the
// document modified, and returns true. Cancel, or a document without a scene, changes
// nothing and returns false.

// The camera dialog on the scene's camera.
bool editCamera(QWidget* parent, CKelDoc& doc, UserMessages& messages);
// The frustum dialog on the scene's frustum.
bool editFrustum(QWidget* parent, CKelDoc& doc, UserMessages& messages);
// The ambient dialog on the scene.
bool editAmbient(QWidget* parent, CKelDoc& doc, UserMessages& messages);
// The lighting dialog on the scene's light.
bool editLight(QWidget* parent, CKelDoc& doc, UserMessages& messages);

// The property sheet of one object, captioned with its name, with the "Transforms",
// "Surface", "Color" and "Vertices" pages. On OK every field is written back, whichever
// pages were visited, and the modelling transform is recomputed.
bool editObjectProperties(QWidget* parent, CKelDoc& doc, SceneObject& object,
                          UserMessages& messages, ColorChooser& colors);

}  // namespace kel
