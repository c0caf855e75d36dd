#include "tree/qt/kel_tree_view.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMouseEvent>
#include <QStyle>
#include <QStyledItemDelegate>
#include <utility>

#include "files/kel_doc.h"
#include "model/scene.h"
#include "tree/qt/kel_tree_item.h"
#include "tree/qt/tree_build_guard.h"
#include "tree/qt/tree_edit_requests.h"
#include "tree/scene_tree_builder.h"

namespace kel {
namespace {

// Labels may be edited in place, but the new text is never taken: item texts always
// show the scene.
class RejectingLabelDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}
};

std::size_t rootSlot(TreeItemKind kind) {
    switch (kind) {
        case TreeItemKind::Camera:
            return 0;
        case TreeItemKind::Frustum:
            return 1;
        case TreeItemKind::Light:
            return 2;
        case TreeItemKind::Ambient:
            return 3;
        default:
            return 4;
    }
}

// Value items print numbers in fixed-width fields: in a fixed-pitch font their columns line
// up from one row to the next.
bool showsNumbers(TreeItemKind kind) {
    switch (kind) {
        case TreeItemKind::LightColorValue:
        case TreeItemKind::ObjectColorValue:
        case TreeItemKind::AmbientValue:
        case TreeItemKind::VertexValue:
        case TreeItemKind::CornerIdsValue:
        case TreeItemKind::VectorValue:
        case TreeItemKind::IntegerValue:
        case TreeItemKind::RealValue:
            return true;
        default:
            return false;
    }
}

// Whether digits, blanks, signs and points all take the same width: what aligns columns.
bool alignsColumns(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QLatin1Char('0'));
    for (const QChar c : QStringLiteral("123456789 -.")) {
        if (metrics.horizontalAdvance(c) != width) {
            return false;
        }
    }
    return true;
}

// The desktop's fixed-pitch font at the size of the tree's own; a platform that names none
// gets the font configuration's monospace family.
QFont fixedPitchFont(const QFont& like) {
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!alignsColumns(fixed)) {
        fixed.setFamily(QStringLiteral("monospace"));
        fixed.setStyleHint(QFont::TypeWriter);
        fixed.setFixedPitch(true);
    }
    if (like.pointSizeF() > 0) {
        fixed.setPointSizeF(like.pointSizeF());
    }
    return fixed;
}

}  // namespace

KelTreeView::KelTreeView(CKelDoc& document, std::unique_ptr<TreeEditRequests> editRequests,
                         QWidget* parent)
    : QTreeWidget(parent), document_(document), editRequests_(std::move(editRequests)) {
    setColumnCount(1);
    header()->hide();
    // The one column is as wide as its widest text, so a narrow pane scrolls sideways
    // instead of cutting the values short.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    numberFont_ = fixedPitchFont(font());
    setRootIsDecorated(true);
    setExpandsOnDoubleClick(false);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setItemDelegate(new RejectingLabelDelegate(this));
    connect(this, &QTreeWidget::itemExpanded, this, &KelTreeView::onItemExpanded);
    connect(this, &QTreeWidget::itemCollapsed, this, &KelTreeView::onItemCollapsed);
    document_.addView(this);
    onInitialUpdate();
}

KelTreeView::~KelTreeView() {
    document_.removeView(this);
    clearTree();
}

void KelTreeView::onInitialUpdate() {
    if (topLevelItemCount() != 0) {
        return;
    }
    insertChildren(*invisibleRootItem(), SceneTreeBuilder::rootItems());
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* root = topLevelItem(i);
        roots_[rootSlot(KelTreeItem::from(root)->record().kind)] = root;
    }
}

QTreeWidgetItem* KelTreeView::rootItem(TreeItemKind kind) const {
    QTreeWidgetItem* root = roots_[rootSlot(kind)];
    const TreeItemData* record = recordOf(root);
    return record != nullptr && record->kind == kind ? root : nullptr;
}

const TreeItemData* KelTreeView::recordOf(const QTreeWidgetItem* item) {
    const KelTreeItem* treeItem = KelTreeItem::from(item);
    return treeItem != nullptr ? &treeItem->record() : nullptr;
}

void KelTreeView::insertChildren(QTreeWidgetItem& parent, std::vector<TreeNode> nodes) {
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(nodes.size()));
    for (TreeNode& node : nodes) {
        auto* item = new KelTreeItem(node.data);
        item->setText(0, QString::fromStdString(node.text));
        if (showsNumbers(node.data.kind)) {
            item->setFont(0, numberFont_);
        }
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        item->setChildIndicatorPolicy(node.expandable ? QTreeWidgetItem::ShowIndicator
                                                      : QTreeWidgetItem::DontShowIndicator);
        if (!node.children.empty()) {
            insertChildren(*item, std::move(node.children));
        }
        items.append(item);
    }
    // One insertion for the whole level keeps long lists cheap.
    parent.addChildren(items);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].expandOnInsert) {
            items[static_cast<qsizetype>(i)]->setExpanded(true);
        }
    }
}

void KelTreeView::onItemExpanded(QTreeWidgetItem* item) {
    KelTreeItem* treeItem = KelTreeItem::from(item);
    if (treeItem == nullptr || treeItem->expandedOnce()) {
        return;
    }
    treeItem->setExpandedOnce(true);
    buildChildren(*treeItem);
}

void KelTreeView::buildChildren(KelTreeItem& item) {
    TreeBuildGuard guard(*this);
    // The scene is fetched at each build: the document may have none.
    insertChildren(item, SceneTreeBuilder::childrenOf(item.record(), document_.scene()));
}

void KelTreeView::onItemCollapsed(QTreeWidgetItem* item) {
    // An object is rebuilt every time it is reopened; other items keep their children.
    KelTreeItem* treeItem = KelTreeItem::from(item);
    if (treeItem == nullptr || treeItem->record().kind != TreeItemKind::Object) {
        return;
    }
    deleteChildren(*treeItem);
    treeItem->setExpandedOnce(false);
}

void KelTreeView::onUpdate(View* /*sender*/, int hint) {
    if ((hint & 1) != 0) {
        return;
    }
    TreeBuildGuard guard(*this);
    clearSelection();
    setCurrentItem(nullptr);
    if (topLevelItemCount() == 0) {
        return;
    }
    for (QTreeWidgetItem* root : roots_) {
        if (root != nullptr) {
            refreshItem(*root);
        }
    }
}

void KelTreeView::refreshItem(QTreeWidgetItem& root) {
    const bool wasExpanded = root.isExpanded();
    root.setExpanded(false);
    deleteChildren(root);
    if (KelTreeItem* treeItem = KelTreeItem::from(&root)) {
        treeItem->setExpandedOnce(false);
    }
    if (wasExpanded) {
        root.setExpanded(true);
    }
}

void KelTreeView::deleteChildren(QTreeWidgetItem& item) {
    // Taking the children first removes them from the view in one step.
    const QList<QTreeWidgetItem*> children = item.takeChildren();
    qDeleteAll(children);
}

void KelTreeView::clearTree() {
    for (QTreeWidgetItem* root : roots_) {
        if (root != nullptr) {
            deleteChildren(*root);
        }
    }
}

bool KelTreeView::isOnItem(const QTreeWidgetItem& item, const QPoint& viewportPoint) const {
    const QRect cell = visualItemRect(&item);
    if (!cell.isValid() || viewportPoint.y() < cell.top() || viewportPoint.y() > cell.bottom()) {
        return false;
    }
    const int x = viewportPoint.x();
    const bool hasButton =
        item.childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator || item.childCount() > 0;
    if (hasButton && x >= cell.left() - indentation() && x < cell.left()) {
        return true;
    }
    // The label: icon, text and the style's margin on either side of the text.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const QFontMetrics metrics(item.font(0));
    int labelWidth = metrics.horizontalAdvance(item.text(0)) + 2 * margin;
    if (!item.icon(0).isNull()) {
        labelWidth += iconSize().width() + margin;
    }
    return x >= cell.left() && x < cell.left() + labelWidth;
}

namespace {

// The first child of item whose record satisfies wanted, building children on the way.
template <typename Wanted>
QTreeWidgetItem* openChild(QTreeWidgetItem* item, Wanted wanted) {
    if (item == nullptr) {
        return nullptr;
    }
    item->setExpanded(true);
    for (int i = 0; i < item->childCount(); ++i) {
        const TreeItemData* record = KelTreeView::recordOf(item->child(i));
        if (record != nullptr && wanted(*record)) {
            return item->child(i);
        }
    }
    return nullptr;
}

}  // namespace

bool KelTreeView::revealPolygon(const SceneObject& object, const Polygon& polygon) {
    QTreeWidgetItem* objects = rootItem(TreeItemKind::Objects);
    QTreeWidgetItem* item = openChild(objects, [&](const TreeItemData& r) {
        return r.kind == TreeItemKind::Object && r.object == &object;
    });
    item = openChild(item, [](const TreeItemData& r) { return r.kind == TreeItemKind::Surfaces; });
    if (item == nullptr) {
        return false;
    }
    item->setExpanded(true);
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* found = openChild(item->child(i), [&](const TreeItemData& r) {
            return r.kind == TreeItemKind::Polygon && r.polygon == &polygon;
        });
        if (found != nullptr) {
            setCurrentItem(found);
            scrollToItem(found);
            return true;
        }
        item->child(i)->setExpanded(false);
    }
    return false;
}

void KelTreeView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The double-click is never passed on, so it neither expands nor collapses.
    event->accept();
    dropScheduledEdit_ = true;
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint point = event->position().toPoint();
    const QTreeWidgetItem* item = itemAt(point);
    if (item == nullptr || !isOnItem(*item, point)) {
        return;
    }
    const TreeItemData* record = recordOf(item);
    if (record == nullptr) {
        return;
    }
    // The editor's update rebuilds the tree, so the item is gone when it returns.
    const TreeItemData copy = *record;
    openEditorFor(copy);
}

void KelTreeView::mousePressEvent(QMouseEvent* event) {
    dropScheduledEdit_ = false;
    QTreeWidget::mousePressEvent(event);
}

bool KelTreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // A click on a selected item schedules a label edit for when no second click follows;
    // the scheduled edit arrives with every trigger allowed and no event.
    if (dropScheduledEdit_ && trigger == AllEditTriggers && event == nullptr) {
        dropScheduledEdit_ = false;
        return false;
    }
    return QTreeWidget::edit(index, trigger, event);
}

void KelTreeView::openEditorFor(const TreeItemData& record) {
    if (editRequests_ == nullptr) {
        return;
    }
    switch (record.kind) {
        case TreeItemKind::Camera:
        case TreeItemKind::CameraTo:
        case TreeItemKind::CameraFrom:
        case TreeItemKind::CameraApproxUp:
            editRequests_->editCamera(this);
            break;
        case TreeItemKind::Frustum:
        case TreeItemKind::FrustumNear:
        case TreeItemKind::FrustumFar:
        case TreeItemKind::FrustumHeight:
            editRequests_->editFrustum(this);
            break;
        case TreeItemKind::Light:
        case TreeItemKind::LightDirection:
        case TreeItemKind::LightIntensity:
            editRequests_->editLight(this);
            break;
        case TreeItemKind::LightColor:
        case TreeItemKind::LightColorValue:
            if (record.scene != nullptr && record.scene->light() != nullptr) {
                editRequests_->editLightColor(this, *record.scene->light());
            }
            break;
        case TreeItemKind::ObjectColor:
        case TreeItemKind::ObjectColorValue:
            if (record.object != nullptr) {
                editRequests_->editObjectColor(this, *record.object);
            }
            break;
        case TreeItemKind::Ambient:
        case TreeItemKind::AmbientValue:
            editRequests_->editAmbient(this);
            break;
        case TreeItemKind::Object:
        case TreeItemKind::ObjectRotation:
        case TreeItemKind::ObjectScaling:
        case TreeItemKind::ObjectTranslation:
        case TreeItemKind::ObjectDiffuse:
        case TreeItemKind::ObjectSpecular:
        case TreeItemKind::ObjectShininess:
        case TreeItemKind::Vertices:
        case TreeItemKind::Surfaces:
            if (record.object != nullptr) {
                editRequests_->editObject(this, *record.object);
            }
            break;
        default:
            // Derived values, geometry and plain values are not edited from the tree.
            break;
    }
}

}  // namespace kel
