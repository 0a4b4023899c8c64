#include "ui/tree/view_tree.h"

#include "ui/tree/tree_edit_delegate.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMouseEvent>

#include <algorithm>
#include <vector>

namespace iomira {

int itemType(const QTreeWidgetItem* item) {
    return item ? item->data(0, kItemTypeRole).toInt() : 0;
}

int itemData(const QTreeWidgetItem* item) {
    return item ? item->data(0, kItemDataRole).toInt() : -1;
}

namespace {

class IndexedControllerItem final : public QTreeWidgetItem {
  public:
    IndexedControllerItem(QTreeWidgetItem* group, int deviceId,
                          std::unordered_map<int, QTreeWidgetItem*>& index)
        : QTreeWidgetItem(group), deviceId_(deviceId), index_(index) {
        index_[deviceId] = this;
    }
    ~IndexedControllerItem() override {
        const auto it = index_.find(deviceId_);
        if (it != index_.end() && it->second == this) index_.erase(it);
    }

  private:
    int deviceId_;
    std::unordered_map<int, QTreeWidgetItem*>& index_;
};

} // namespace

CViewTree::~CViewTree() {
    // The lines leave the index while it still exists.
    clear();
}

QTreeWidgetItem* CViewTree::newControllerItem(QTreeWidgetItem* group, int deviceId) {
    return new IndexedControllerItem(group, deviceId, controllerItems_);
}

QTreeWidgetItem* CViewTree::controllerItem(int deviceId) const {
    const auto it = controllerItems_.find(deviceId);
    return it == controllerItems_.end() ? nullptr : it->second;
}

CViewTree::CViewTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setIconSize(QSize(16, 16));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    showWholeTexts();
    auto* delegate = new TreeEditDelegate(this);
    setItemDelegate(delegate);
    connect(delegate, &TreeEditDelegate::committed, this, &CViewTree::editCommitted,
            Qt::QueuedConnection);
}

// A line longer than the pane is never cut off: the column is as wide as the widest line and
// the tree scrolls sideways, and each line's tool tip holds its whole text.
void CViewTree::showWholeTexts() {
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    connect(this, &QTreeWidget::itemChanged, this, [](QTreeWidgetItem* item, int column) {
        if (item->toolTip(column) != item->text(column))
            item->setToolTip(column, item->text(column));
    });
}

bool CViewTree::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    const bool userStart = trigger == EditKeyPressed || trigger == SelectedClicked;
    if (userStart && index.isValid()) {
        QTreeWidgetItem* item = itemFromIndex(index);
        if (!(item->flags() & Qt::ItemIsEditable)) return false;
        if (mayEdit && !mayEdit(item)) return false;
    }
    return QTreeWidget::edit(index, trigger, event);
}

void CViewTree::mousePressEvent(QMouseEvent* event) {
    if (QTreeWidgetItem* item = itemAt(event->position().toPoint())) {
        emit itemPressedForGroup(item);
        if (event->button() == Qt::RightButton) setCurrentItem(item);
    }
    QTreeWidget::mousePressEvent(event);
}

void CViewTree::contextMenuEvent(QContextMenuEvent* event) {
    QTreeWidgetItem* item =
        event->reason() == QContextMenuEvent::Mouse ? itemAt(event->pos()) : currentItem();
    if (item) setCurrentItem(item);
    emit contextMenuOn(item, event->globalPos());
}

namespace {

bool textBefore(const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
    return a->text(0).localeAwareCompare(b->text(0)) < 0;
}

// Expansion belongs to the view and is lost when an item is taken out, so it is noted for
// the whole subtree and set again once the items are back.
void noteExpanded(QTreeWidgetItem* item, std::vector<QTreeWidgetItem*>& expanded) {
    if (item->isExpanded()) expanded.push_back(item);
    for (int i = 0; i < item->childCount(); ++i)
        noteExpanded(item->child(i), expanded);
}

} // namespace

void CViewTree::sortChildrenOf(QTreeWidgetItem* parent) {
    const int count = parent ? parent->childCount() : topLevelItemCount();
    std::vector<QTreeWidgetItem*> items;
    for (int i = 0; i < count; ++i)
        items.push_back(parent ? parent->child(i) : topLevelItem(i));
    if (std::is_sorted(items.begin(), items.end(), textBefore)) return;
    QTreeWidgetItem* current = currentItem();
    std::vector<QTreeWidgetItem*> expanded;
    for (QTreeWidgetItem* item : items)
        noteExpanded(item, expanded);
    for (int i = count - 1; i >= 0; --i) {
        if (parent)
            parent->takeChild(i);
        else
            takeTopLevelItem(i);
    }
    std::stable_sort(items.begin(), items.end(), textBefore);
    for (QTreeWidgetItem* item : items) {
        if (parent)
            parent->addChild(item);
        else
            addTopLevelItem(item);
    }
    for (QTreeWidgetItem* item : expanded)
        item->setExpanded(true);
    if (current) setCurrentItem(current);
}

} // namespace iomira
