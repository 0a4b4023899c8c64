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

// A line that stays in its index while it lives, under a group or at the top level.
class IndexedItem final : public QTreeWidgetItem {
  public:
    template <typename Parent>
    IndexedItem(Parent* parent, int id, std::unordered_map<int, QTreeWidgetItem*>& index)
        : QTreeWidgetItem(parent), id_(id), index_(index) {
        index_[id] = this;
    }
    ~IndexedItem() override {
        const auto it = index_.find(id_);
        if (it != index_.end() && it->second == this) index_.erase(it);
    }

  private:
    int id_;
    std::unordered_map<int, QTreeWidgetItem*>& index_;
};

QTreeWidgetItem* indexed(const std::unordered_map<int, QTreeWidgetItem*>& index, int id) {
    const auto it = index.find(id);
    return it == index.end() ? nullptr : it->second;
}

} // namespace

CViewTree::~CViewTree() {
    // The lines leave the index while it still exists.
    clear();
}

QTreeWidgetItem* CViewTree::newGroupItem(int rootId) {
    return new IndexedItem(this, rootId, groupItems_);
}

QTreeWidgetItem* CViewTree::groupItem(int rootId) const {
    return indexed(groupItems_, rootId);
}

QTreeWidgetItem* CViewTree::newControllerItem(QTreeWidgetItem* group, int deviceId) {
    return new IndexedItem(group, deviceId, controllerItems_);
}

QTreeWidgetItem* CViewTree::controllerItem(int deviceId) const {
    return indexed(controllerItems_, deviceId);
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
    // Fitted once after the texts or the lines shown change, not at every change of a line:
    // fitting measures the lines' texts, and a plant's connection events change thousands of
    // icons a second.
    header()->setSectionResizeMode(0, QHeaderView::Interactive);
    fitTimer_.setSingleShot(true);
    fitTimer_.setInterval(0);
    connect(&fitTimer_, &QTimer::timeout, this, [this] {
        resizeColumnToContents(0);
        updateGeometries(); // the sideways scroll bar follows at once, not at the next layout
    });
    const auto fitLater = [this] { fitTimer_.start(); };
    connect(this, &QTreeWidget::itemChanged, this, [fitLater](QTreeWidgetItem* item, int column) {
        if (item->toolTip(column) == item->text(column)) return; // the text is as it was
        item->setToolTip(column, item->text(column));
        fitLater();
    });
    connect(model(), &QAbstractItemModel::rowsInserted, this, fitLater);
    connect(model(), &QAbstractItemModel::rowsRemoved, this, fitLater);
    connect(this, &QTreeWidget::itemExpanded, this, fitLater);
    connect(this, &QTreeWidget::itemCollapsed, this, fitLater);
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
