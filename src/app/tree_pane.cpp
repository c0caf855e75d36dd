#include "app/tree_pane.h"

#include <memory>

#include "app/dialogs/options_commands.h"
#include "tree/qt/kel_tree_view.h"
#include "tree/qt/tree_color_edits.h"
#include "tree/qt/tree_edit_requests.h"

namespace kel {

namespace {

// Answers the tree's edit requests for one document with the application's editors.
class DocumentEditors : public TreeEditRequests {
public:
    DocumentEditors(CKelDoc& document, UserMessages& messages, ColorChooser& colors)
        : document_(document), messages_(messages), colors_(colors) {}

    void editCamera(QWidget* parent) override { kel::editCamera(parent, document_, messages_); }
    void editFrustum(QWidget* parent) override { kel::editFrustum(parent, document_, messages_); }
    void editLight(QWidget* parent) override { kel::editLight(parent, document_, messages_); }
    void editAmbient(QWidget* parent) override { kel::editAmbient(parent, document_, messages_); }
    void editLightColor(QWidget* /*parent*/, Light& light) override {
        kel::editLightColor(document_, light, colors_);
    }
    void editObjectColor(QWidget* /*parent*/, SceneObject& object) override {
        kel::editObjectColor(document_, object, colors_);
    }
    void editObject(QWidget* parent, SceneObject& object) override {
        editObjectProperties(parent, document_, object, messages_, colors_);
    }

private:
    CKelDoc& document_;
    UserMessages& messages_;
    ColorChooser& colors_;
};

}  // namespace

KelDataFrame::TreePaneFactory makeTreePaneFactory(UserMessages& messages, ColorChooser& colors) {
    return [&messages, &colors](CKelDoc& document, QWidget* parent) -> QWidget* {
        return new KelTreeView(
            document, std::make_unique<DocumentEditors>(document, messages, colors), parent);
    };
}

}  // namespace kel
