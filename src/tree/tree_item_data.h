#pragma once

#include "tree/tree_item_kind.h"

namespace kel {

class Polygon;
class Scene;
class SceneObject;
class Surface;

// The record behind one tree item: its kind and the model parts it stands for. The
// references are not owned; the item is rebuilt whenever the scene may have changed.
struct TreeItemData {
    TreeItemKind kind = TreeItemKind::None;
    SceneObject* object = nullptr;
    Surface* surface = nullptr;
    Polygon* polygon = nullptr;
    Scene* scene = nullptr;
    int index = 0;  // a surface item's number
};

}  // namespace kel
