#include "tree_view_support.h"

#include <QApplication>
#include <fstream>
#include <gtest/gtest.h>

#include "model/scene_object.h"
#include "tree/qt/tree_color_edits.h"

namespace kel::testing {

void ensureApplication() {
    if (QApplication::instance() != nullptr) {
        return;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "test_tree";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
}

bool FakeColorChooser::chooseColor(std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) {
    ++calls;
    offered[0] = red;
    offered[1] = green;
    offered[2] = blue;
    if (!accept) {
        return false;
    }
    red = answer[0];
    green = answer[1];
    blue = answer[2];
    return true;
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

SceneFolder::SceneFolder() { EXPECT_TRUE(dir_.isValid()); }

std::string SceneFolder::write(const std::string& name, const std::string& text) const {
    const std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
    std::ofstream out(path);
    out << text;
    EXPECT_TRUE(out.good()) << path;
    return path;
}

std::string writeTwoObjectScene(const SceneFolder& folder) {
    folder.write("chair.obj",
                 "4\n"
                 "4 1.5 -2 0.125\n7 0 1 0\n9 -1 0 0\n11 0 -1 0\n"
                 "2\n"
                 "1 3 4 7 9\n"
                 "1 3 4 9 11\n");
    folder.write("table.obj",
                 "4\n"
                 "0 0 0 5\n1 1 0 5\n2 0 1 5\n3 -1 0 5\n"
                 "1\n"
                 "2 3 0 1 2 3 0 3 2\n");
    return folder.write("two.kel",
                        "0 0 0\n0 0 5\n0 1 0\n"
                        "1\n11\n1\n"
                        "0.8\n255 0 7\n0 0 -2\n"
                        "0.25\n"
                        "2\n"
                        "chair.obj\n0 0 0\n2 2 2\n1 0 0\n10 20 30\n0.5\n0.25\n12\n"
                        "table.obj\n0 0 0\n1 1 1\n0 0 0\n200 100 50\n0.5\n0.5\n4\n");
}

std::vector<std::string> childTexts(const QTreeWidgetItem* item) {
    std::vector<std::string> texts;
    for (int i = 0; i < item->childCount(); ++i) {
        texts.push_back(item->child(i)->text(0).toStdString());
    }
    return texts;
}

QTreeWidgetItem* childNamed(QTreeWidgetItem* parent, const std::string& text) {
    if (parent == nullptr) {
        ADD_FAILURE() << "no parent to look for " << text;
        return nullptr;
    }
    for (int i = 0; i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0).toStdString() == text) {
            return parent->child(i);
        }
    }
    ADD_FAILURE() << "no item " << text << " under " << parent->text(0).toStdString();
    return nullptr;
}

QTreeWidgetItem* open(QTreeWidgetItem* item) {
    if (item != nullptr) {
        item->setExpanded(true);
    }
    return item;
}

QTreeWidgetItem* openPath(KelTreeView& view, const std::vector<std::string>& path) {
    QTreeWidgetItem* item = nullptr;
    for (int i = 0; i < view.topLevelItemCount(); ++i) {
        if (view.topLevelItem(i)->text(0).toStdString() == path.front()) {
            item = view.topLevelItem(i);
        }
    }
    open(item);
    for (std::size_t i = 1; i < path.size() && item != nullptr; ++i) {
        item = open(childNamed(item, path[i]));
    }
    EXPECT_NE(item, nullptr) << path.back();
    return item;
}

}  // namespace kel::testing
