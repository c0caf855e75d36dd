#include "app/window_placement.h"

#include <algorithm>

namespace kel {

namespace {

constexpr int kMinStep = 16;

}  // namespace

int cascadeStep(const DocumentWindowShape& shape) {
    return std::max(kMinStep, shape.decoration.top());
}

QRect documentWindowRect(QSize area, const DocumentWindowShape& shape, int slot) {
    const int step = cascadeStep(shape);
    const int reserved = kCascadeDepth * step;
    const QMargins& d = shape.decoration;
    const int byHeight = area.height() - reserved - d.top() - d.bottom();
    const int byWidth =
        area.width() - reserved - d.left() - d.right() - shape.treeWidth - shape.handleWidth;
    const int side = std::max(kMinImageSide, std::min(byHeight, byWidth));
    const QSize size(d.left() + shape.treeWidth + shape.handleWidth + side + d.right(),
                     d.top() + side + d.bottom());
    const int offset = (std::max(slot, 0) % (kCascadeDepth + 1)) * step;
    // An area too small for the window shows its top-left corner, title bar included.
    const int x = std::max(0, std::min(offset, area.width() - size.width()));
    const int y = std::max(0, std::min(offset, area.height() - size.height()));
    return {QPoint(x, y), size};
}

QRect placeOnScreen(QSize wanted, const QRect& available, const QRect& over) {
    const QSize size = wanted.boundedTo(available.size()).expandedTo(QSize(1, 1));
    const QPoint centre = over.isValid() ? over.center() : available.center();
    QRect placed(QPoint(0, 0), size);
    placed.moveCenter(centre);
    // Keep it inside: right and bottom first, so a window as large as the screen still
    // shows its top-left corner.
    placed.moveRight(std::min(placed.right(), available.right()));
    placed.moveBottom(std::min(placed.bottom(), available.bottom()));
    placed.moveLeft(std::max(placed.left(), available.left()));
    placed.moveTop(std::max(placed.top(), available.top()));
    return placed;
}

}  // namespace kel
