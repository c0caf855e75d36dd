#pragma once

#include <QFont>
#include <QTreeWidget>
#include <array>
#include <memory>
#include <vector>

#include "platform/document.h"
#include "tree/tree_item_kind.h"
#include "tree/tree_node.h"

namespace kel {

class CKelDoc;
class KelTreeItem;
class Polygon;
class SceneObject;
class TreeEditRequests;
struct TreeItemData;

// The data view of a document: a tree listing every value of the scene. Only the five
// roots exist at first; an item's children are built on its first expansion, from the
// scene as it is then. An update rebuilds the roots that were open and closes everything
// below them. A double-click on an item opens the editor for what it shows.
class KelTreeView : public QTreeWidget, public View {
    Q_OBJECT

public:
    // Registers with the document as one of its views until destroyed; the document must
    // outlive the view.
    KelTreeView(CKelDoc& document, std::unique_ptr<TreeEditRequests> editRequests,
                QWidget* parent = nullptr);
    ~KelTreeView() override;

    using QTreeWidget::edit;

    // Inserts the five roots, "Camera", "Frustum", "Light", "Ambient" and "Objects", if
    // they are not there yet. The constructor already does this.
    void onInitialUpdate();
    // Hint 0 rebuilds the tree; an update whose hint has bit 0 set is ignored.
    void onUpdate(View* sender, int hint) override;

    // The root item of the given kind (Camera, Frustum, Light, Ambient or Objects).
    QTreeWidgetItem* rootItem(TreeItemKind kind) const;
    // The record of an item of this tree, or null.
    static const TreeItemData* recordOf(const QTreeWidgetItem* item);
    // Whether a point of the viewport lies on the item's label, icon or expand button
    // (and not on the indent or the empty space right of the label).
    bool isOnItem(const QTreeWidgetItem& item, const QPoint& viewportPoint) const;
    // Opens the items down to the polygon's and makes it the selected, current item.
    // False when the tree has no item for it.
    bool revealPolygon(const SceneObject& object, const Polygon& polygon);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    void onItemExpanded(QTreeWidgetItem* item);
    void onItemCollapsed(QTreeWidgetItem* item);
    void buildChildren(KelTreeItem& item);
    void insertChildren(QTreeWidgetItem& parent, std::vector<TreeNode> nodes);
    void refreshItem(QTreeWidgetItem& root);
    void clearTree();
    static void deleteChildren(QTreeWidgetItem& item);
    void openEditorFor(const TreeItemData& record);

    CKelDoc& document_;
    std::unique_ptr<TreeEditRequests> editRequests_;
    std::array<QTreeWidgetItem*, 5> roots_{};
    QFont numberFont_;  // the value items' fixed-pitch font
    // Set by a double-click until the next press: the label edit that the double-click's
    // first click scheduled must not start.
    bool dropScheduledEdit_ = false;
};

}  // namespace kel
