#pragma once

#include <QTemporaryDir>
#include <QTreeWidgetItem>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "files/kel_doc.h"
#include "platform/color_chooser.h"
#include "platform/user_messages.h"
#include "tree/qt/kel_tree_view.h"
#include "tree/qt/tree_edit_requests.h"

namespace kel::testing {

class RecordingMessages : public UserMessages {
  public:
    void showError(const std::string& text) override { errors.push_back(text); }
    bool askYesNo(const std::string&) override { return false; }
    std::vector<std::string> errors;
};

// Answers with a fixed colour or cancels, and keeps the colour it was offered.
class FakeColorChooser : public ColorChooser {
  public:
    bool chooseColor(std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) override;
    bool accept = true;
    std::array<std::uint8_t, 3> answer{};
    std::array<std::uint8_t, 3> offered{};
    int calls = 0;
};

// Logs which editor a double-click asked for. Colour edits run the real colour edit with
// the fake chooser, so what reaches the scene can be checked.
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

class CountingView : public View {
  public:
    void onUpdate(View*, int) override { ++updates; }
    int updates = 0;
};

// Files in a temporary folder that goes with the object.
class SceneFolder {
  public:
    std::string write(const std::string& name, const std::string& text) const;

  private:
    QTemporaryDir dir_;
};

// Camera (0,0,0) to (0,0,5) up (0,1,0); frustum 1 11 1; light 0.8, (255,0,7), (0,0,-2);
// ambient 0.25. "chair.obj": scaling 2, translation (1,0,0), colour (10,20,30), 0.5,
// 0.25, 12; vertices 4 7 9 11; surfaces [4 7 9] and [4 9 11]. "table.obj": colour
// (200,100,50); one surface of two triangles at z = 5: 0 1 2 facing away from the camera,
// 0 3 2 facing it. Returns the scene file's path.
std::string writeTwoObjectScene(const SceneFolder& folder);

std::vector<std::string> childTexts(const QTreeWidgetItem* item);
// The child with the text, or null (and a test failure).
QTreeWidgetItem* childNamed(QTreeWidgetItem* parent, const std::string& text);
QTreeWidgetItem* topLevelNamed(KelTreeView& view, const std::string& text);
// Expands the item as the user does and returns it.
QTreeWidgetItem* open(QTreeWidgetItem* item);
// Opens the root with the first text and then, below it, the children with the others.
QTreeWidgetItem* openPath(KelTreeView& view, const std::vector<std::string>& path);

}  // namespace kel::testing
