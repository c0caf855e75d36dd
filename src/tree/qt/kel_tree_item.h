#pragma once

#include <QTreeWidgetItem>

#include "tree/tree_item_data.h"

namespace kel {

// A tree item with its record. The record lives exactly as long as the item.
class KelTreeItem : public QTreeWidgetItem {
public:
    static constexpr int kType = QTreeWidgetItem::UserType + 1;

    explicit KelTreeItem(const TreeItemData& record) : QTreeWidgetItem(kType), record_(record) {}

    const TreeItemData& record() const { return record_; }
    // Set once the item's children have been built; cleared when they are thrown away.
    bool expandedOnce() const { return expandedOnce_; }
    void setExpandedOnce(bool once) { expandedOnce_ = once; }

    // The record of any tree item, or null for an item of another type.
    static const KelTreeItem* from(const QTreeWidgetItem* item) {
        return item != nullptr && item->type() == kType ? static_cast<const KelTreeItem*>(item)
                                                        : nullptr;
    }
    static KelTreeItem* from(QTreeWidgetItem* item) {
        return item != nullptr && item->type() == kType ? static_cast<KelTreeItem*>(item) : nullptr;
    }

private:
    TreeItemData record_;
    bool expandedOnce_ = false;
};

}  // namespace kel
