#pragma once

namespace kel {

class CKelDoc;
class ColorChooser;
class Light;
class SceneObject;

// Colour edits started from the data tree: the chooser opens on the current colour; on
// OK the chosen colour is stored (even when it is the same), every view of the document
// is updated and the document is marked modified. Cancel changes nothing. Both return
// whether the chooser ended with OK.
bool editLightColor(CKelDoc& document, Light& light, ColorChooser& chooser);
bool editObjectColor(CKelDoc& document, SceneObject& object, ColorChooser& chooser);

}  // namespace kel
