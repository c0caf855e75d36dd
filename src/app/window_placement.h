#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

namespace kel {

// Where document windows go inside the MDI area, and where top-level windows go on the
// screen. Pure geometry, so that it can be checked for any area.

// How a document window is built: the room its frame takes around the content, the tree
// pane's width and the split bar's.
struct DocumentWindowShape {
    QMargins decoration;
    int treeWidth = 0;
    int handleWidth = 0;
};

// New windows cascade down and right by one step per window; after kCascadeDepth steps
// the next one starts at the top-left again.
inline constexpr int kCascadeDepth = 4;
inline constexpr int kMinImageSide = 120;

// The offset of one cascade step: the height of a title bar, so each title stays readable.
int cascadeStep(const DocumentWindowShape& shape);

// The geometry of the document window in cascade slot `slot` of an area of the given size:
// the image pane square and as large as the area allows with room for the whole cascade,
// the tree pane at its width, and the window entirely inside the area unless the area is
// smaller than the smallest window.
QRect documentWindowRect(QSize area, const DocumentWindowShape& shape, int slot);

// A top-level window's geometry of the wanted size, shrunk to fit `available` and moved
// into it; centred on `over` when that is valid (a parent window), else on `available`.
QRect placeOnScreen(QSize wanted, const QRect& available, const QRect& over = QRect());

}  // namespace kel
