#pragma once

#include <string>
#include <vector>

#include "tree/tree_item_data.h"

namespace kel {

// One item as the builder describes it, before any tree control holds it.
struct TreeNode {
    std::string text;
    TreeItemData data;
    // Shows an expand button even before it has children.
    bool expandable = false;
    // Opened as soon as it is inserted, so that its values show at once.
    bool expandOnInsert = false;
    // Children made together with this item (the values of a value-bearing item). Items
    // that build on expansion have none here.
    std::vector<TreeNode> children;
};

}  // namespace kel
