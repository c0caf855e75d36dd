#include "tree_view_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <fstream>
#include <memory>

#include "model/scene_object.h"
#include "tree/qt/tree_color_edits.h"

namespace kel::testing {
namespace {

// One application object for the whole run, gone before main returns: Qt's own globals
// must still exist when it is destroyed.
class QtApplicationEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        application_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { application_.reset(); }

  private:
    int argc_ = 1;
    char name_[10] = "test_tree";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

// gtest owns the environment.
[[maybe_unused]] const ::testing::Environment* const applicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace

bool FakeColorChooser::chooseColor(std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) {
    ++calls;
    offered = {red, green, blue};
    if (accept) {
        red = answer[0];
        green = answer[1];
        blue = answer[2];
    }
    return accept;
}

void FakeEditRequests::editLightColor(QWidget*, Light& light) {
    log.push_back("light color");
    kel::editLightColor(document_, light, chooser_);
}

void FakeEditRequests::editObjectColor(QWidget*, SceneObject& object) {
    log.push_back("object color " + object.name());
    kel::editObjectColor(document_, object, chooser_);
}

void FakeEditRequests::editObject(QWidget*, SceneObject& object) {
    log.push_back("object " + object.name());
}

std::string SceneFolder::write(const std::string& name, const std::string& text) const {
    const std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
    std::ofstream out(path);
    out << text;
    EXPECT_TRUE(out.good()) << path;
    return path;
}

std::string writeTwoObjectScene(const SceneFolder& folder) {
    folder.write("chair.obj",
                 "4  4 1.5 -2 0.125  7 0 1 0  9 -1 0 0  11 0 -1 0  2 1 3 4 7 9 1 3 4 9 11\n");
    folder.write("table.obj", "4  0 0 0 5  1 1 0 5  2 0 1 5  3 -1 0 5  1 2 3 0 1 2 3 0 3 2\n");
    return folder.write("two.kel",
                        "0 0 0  0 0 5  0 1 0  1 11 1  0.8 255 0 7 0 0 -2  0.25  2\n"
                        "chair.obj 0 0 0 2 2 2 1 0 0 10 20 30 0.5 0.25 12\n"
                        "table.obj 0 0 0 1 1 1 0 0 0 200 100 50 0.5 0.5 4\n");
}

std::vector<std::string> childTexts(const QTreeWidgetItem* item) {
    std::vector<std::string> texts;
    for (int i = 0; item != nullptr && i < item->childCount(); ++i) {
        texts.push_back(item->child(i)->text(0).toStdString());
    }
    return texts;
}

QTreeWidgetItem* childNamed(QTreeWidgetItem* parent, const std::string& text) {
    for (int i = 0; parent != nullptr && i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0).toStdString() == text) {
            return parent->child(i);
        }
    }
    ADD_FAILURE() << "no item " << text;
    return nullptr;
}

QTreeWidgetItem* topLevelNamed(KelTreeView& view, const std::string& text) {
    return childNamed(view.invisibleRootItem(), text);
}

QTreeWidgetItem* open(QTreeWidgetItem* item) {
    if (item != nullptr) {
        item->setExpanded(true);
    }
    return item;
}

QTreeWidgetItem* openPath(KelTreeView& view, const std::vector<std::string>& path) {
    QTreeWidgetItem* item = open(topLevelNamed(view, path.front()));
    for (std::size_t i = 1; i < path.size(); ++i) {
        item = open(childNamed(item, path[i]));
    }
    return item;
}

}  // namespace kel::testing
