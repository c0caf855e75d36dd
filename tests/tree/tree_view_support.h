#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QTreeWidgetItem>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "files/kel_doc.h"
#include "platform/color_chooser.h"
#include "platform/drawing_surface.h"
#include "platform/user_messages.h"
#include "tree/qt/kel_tree_view.h"
#include "tree/qt/tree_edit_requests.h"

namespace kel::testing {

// The application object the widgets need, on the offscreen platform.
void ensureApplication();

class RecordingMessages : public UserMessages {
public:
    void showError(const std::string& text) override { errors.push_back(text); }
    bool askYesNo(const std::string&) override { return false; }
    std::vector<std::string> errors;
};

// Answers with a fixed colour, or cancels; counts the calls and keeps the start colour.
class FakeColorChooser : public ColorChooser {
public:
    bool chooseColor(std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) override;
    bool accept = true;
    std::uint8_t answer[3] = {0, 0, 0};
    std::uint8_t offered[3] = {0, 0, 0};
    int calls = 0;
};

// Records which editor a double-click asked for. Colour edits go through the real colour
// edit with the fake chooser, so what reaches the scene can be checked.
class FakeEditRequests : public TreeEditRequests {
public:
    FakeEditRequests(CKelDoc& document, FakeColorChooser& chooser)
        : document_(document), chooser_(chooser) {}
    void editCamera(QWidget*) override { log.push_back("camera"); }
    void editFrustum(QWidget*) override { log.push_back("frustum"); }
    void editLight(QWidget*) override { log.push_back("light"); }
    void editAmbient(QWidget*) override { log.push_back("ambient"); }
    void editLightColor(QWidget*, Light& light) override;
    void editObjectColor(QWidget*, SceneObject& object) override;
    void editObject(QWidget*, SceneObject& object) override;
    std::vector<std::string> log;

private:
    CKelDoc& document_;
    FakeColorChooser& chooser_;
};

// Counts updates, so a test can tell whether an edit told the document's views.
class CountingView : public View {
public:
    void onUpdate(View*, int) override { ++updates; }
    int updates = 0;
};

// A surface that draws nothing, for renders whose only interest is what they leave in
// the scene.
class BlankSurface : public DrawingSurface {
public:
    ClientRect clientRect() const override { return {0, 0, 400, 400}; }
    void setPixel(int, int, std::uint32_t) override {}
    void moveTo(int, int) override {}
    void lineTo(int, int) override {}
};

// Files in a temporary folder, removed with it.
class SceneFolder {
public:
    SceneFolder();
    std::string write(const std::string& name, const std::string& text) const;

private:
    QTemporaryDir dir_;
};

// The scene of makeTwoObjectScene as files (chair.obj, then table.obj), except that the
// table here has two triangles at z = 5 in one surface: 0 1 2 facing away from the
// camera and 0 3 2 facing it. Returns the scene file's path.
std::string writeTwoObjectScene(const SceneFolder& folder);

// Children texts of an item, in order.
std::vector<std::string> childTexts(const QTreeWidgetItem* item);
// The child with the given text; fails the test and returns null when there is none.
QTreeWidgetItem* childNamed(QTreeWidgetItem* parent, const std::string& text);
// Expands the item as the user does and returns it.
QTreeWidgetItem* open(QTreeWidgetItem* item);
// Walks from the root with the given text down through children with the given texts,
// opening every item on the way (the last one is opened too).
QTreeWidgetItem* openPath(KelTreeView& view, const std::vector<std::string>& path);

}  // namespace kel::testing
