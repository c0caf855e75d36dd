#pragma once

#include <vector>

#include "tree/tree_node.h"

namespace kel {

class Scene;

// Describes the data tree of a scene level by level: the five roots, and the children of
// an item that builds on expansion, read from the scene as it is at that moment. Both
// the tree view and the text dump use it, so their texts and order agree.
class SceneTreeBuilder {
public:
    // "Camera", "Frustum", "Light", "Ambient", "Objects", each expandable and empty.
    static std::vector<TreeNode> rootItems();

    // The children of an item whose kind builds on expansion; nothing for any other kind
    // and nothing at all without a scene.
    static std::vector<TreeNode> childrenOf(const TreeItemData& item, Scene* scene);
};

}  // namespace kel
