#include "tree/tree_text.h"

#include <ostream>
#include <string>

#include "tree/scene_tree_builder.h"

namespace kel {
namespace {

void writeNode(std::ostream& out, const TreeNode& node, Scene* scene, std::size_t depth) {
    out << std::string(depth * 2, ' ') << node.text << '\n';
    for (const TreeNode& child : node.children) {
        writeNode(out, child, scene, depth + 1);
    }
    if (buildsChildrenOnExpansion(node.data.kind)) {
        for (const TreeNode& child : SceneTreeBuilder::childrenOf(node.data, scene)) {
            writeNode(out, child, scene, depth + 1);
        }
    }
}

}  // namespace

void writeTreeText(std::ostream& out, Scene* scene) {
    for (const TreeNode& root : SceneTreeBuilder::rootItems()) {
        writeNode(out, root, scene, 0);
    }
}

}  // namespace kel
