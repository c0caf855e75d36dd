#include "tree/tree_item_kind.h"

namespace kel {

bool buildsChildrenOnExpansion(TreeItemKind kind) {
    switch (kind) {
        case TreeItemKind::Camera:
        case TreeItemKind::Frustum:
        case TreeItemKind::Light:
        case TreeItemKind::Ambient:
        case TreeItemKind::Objects:
        case TreeItemKind::Object:
        case TreeItemKind::Vertices:
        case TreeItemKind::Surfaces:
        case TreeItemKind::Surface:
        case TreeItemKind::Polygon:
            return true;
        default:
            return false;
    }
}

}  // namespace kel
