#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "files/kel_doc.h"
#include "model/scene.h"
#include "platform/color_chooser.h"
#include "platform/user_messages.h"
#include "tree/qt/kel_tree_view.h"
#include "tree/qt/tree_color_edits.h"
#include "tree/qt/tree_edit_requests.h"

namespace kel {

using Texts = std::vector<std::string>;

// Logs which editor was asked for. Colour edits run the real colour edit, with this
// object as the chooser: it keeps the colour it was offered and answers or cancels.
class FakeEditors : public TreeEditRequests, public ColorChooser {
public:
    explicit FakeEditors(CKelDoc& document) : document_(document) {}
    void editCamera(QWidget*) override { log.push_back("camera"); }
    void editFrustum(QWidget*) override { log.push_back("frustum"); }
    void editLight(QWidget*) override { log.push_back("light"); }
    void editAmbient(QWidget*) override { log.push_back("ambient"); }
    void editObject(QWidget*, SceneObject& object) override {
        log.push_back("object " + object.name());
    }
    void editLightColor(QWidget*, Light& light) override {
        log.push_back("light color");
        kel::editLightColor(document_, light, *this);
    }
    void editObjectColor(QWidget*, SceneObject& object) override {
        log.push_back("object color " + object.name());
        kel::editObjectColor(document_, object, *this);
    }
    bool chooseColor(std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) override {
        offered = {red, green, blue};
        if (accept) {
            red = answer[0], green = answer[1], blue = answer[2];
        }
        return accept;
    }
    Texts log;
    bool accept = true;
    std::array<std::uint8_t, 3> answer{}, offered{};

private:
    CKelDoc& document_;
};

// A document with a tree view on it; scene files go in a temporary folder. Messages to the
// user go nowhere.
class TreeViewTest : public ::testing::Test, public UserMessages {
protected:
    void showError(const std::string&) override {}
    bool askYesNo(const std::string&) override { return false; }
    std::string write(const std::string& name, const std::string& text) const {
        const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path) << text;
        return path;
    }
    // Camera (0,0,0) to (0,0,5) up (0,1,0); frustum 1 11 1; light 0.8, (255,0,7), (0,0,-2);
    // ambient 0.25. "chair.obj": scaling 2, translation (1,0,0), colour (10,20,30),
    // shininess 12; vertices 4 7 9 11; surfaces [4 7 9] and [4 9 11]. "table.obj": colour
    // (200,100,50); one surface at z = 5: 0 1 2 facing away from the camera, 0 3 2 facing it.
    std::string twoObjectScene() const {
        write("chair.obj",
              "4  4 1.5 -2 0.125  7 0 1 0  9 -1 0 0  11 0 -1 0  2 1 3 4 7 9 1 3 4 9 11\n");
        write("table.obj", "4  0 0 0 5  1 1 0 5  2 0 1 5  3 -1 0 5  1 2 3 0 1 2 3 0 3 2\n");
        return write("two.kel",
                     "0 0 0  0 0 5  0 1 0  1 11 1  0.8 255 0 7 0 0 -2  0.25  2\n"
                     "chair.obj 0 0 0 2 2 2 1 0 0 10 20 30 0.5 0.25 12\n"
                     "table.obj 0 0 0 1 1 1 0 0 0 200 100 50 0.5 0.5 4\n");
    }
    // An empty path gives a document without a scene.
    void openScene(const std::string& path) {
        ASSERT_TRUE(path.empty() ? document.onNewDocument() : document.onOpenDocument(path));
        auto fakes = std::make_unique<FakeEditors>(document);
        editors = fakes.get();
        view = std::make_unique<KelTreeView>(document, std::move(fakes));
        view->resize(600, 2000);
        view->show();
    }
    Scene& scene() { return *document.scene(); }
    QTreeWidgetItem* root(TreeItemKind kind) const { return view->rootItem(kind); }
    static Texts texts(const QTreeWidgetItem* item) {
        Texts result;
        for (int i = 0; item != nullptr && i < item->childCount(); ++i) {
            result.push_back(item->child(i)->text(0).toStdString());
        }
        return result;
    }
    // The child with the text, or null and a failure.
    static QTreeWidgetItem* child(QTreeWidgetItem* parent, const std::string& text) {
        for (int i = 0; parent != nullptr && i < parent->childCount(); ++i) {
            if (parent->child(i)->text(0).toStdString() == text) {
                return parent->child(i);
            }
        }
        ADD_FAILURE() << "no item " << text;
        return nullptr;
    }
    static QTreeWidgetItem* open(QTreeWidgetItem* item) {
        if (item != nullptr) {
            item->setExpanded(true);
        }
        return item;
    }
    // Opens each item along a path such as "Objects/chair.obj/Surfaces" and returns the last.
    QTreeWidgetItem* openPath(const std::string& path) const {
        QTreeWidgetItem* item = view->invisibleRootItem();
        std::istringstream names(path);
        for (std::string name; std::getline(names, name, '/');) {
            item = open(child(item, name));
        }
        return item;
    }
    // Double-clicks the label of the item at the end of the path; returns the editors asked for.
    Texts doubleClick(const std::string& path) {
        QTreeWidgetItem* item = openPath(path);
        view->scrollToItem(item);
        const QRect cell = view->visualItemRect(item);
        const QPointF point(cell.left() + 4, cell.center().y());
        QMouseEvent event(QEvent::MouseButtonDblClick, point, view->viewport()->mapToGlobal(point),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        editors->log.clear();
        QApplication::sendEvent(view->viewport(), &event);
        return editors->log;
    }

    QTemporaryDir dir;
    CKelDoc document{*this};
    FakeEditors* editors = nullptr;
    std::unique_ptr<KelTreeView> view;
};

}  // namespace kel
