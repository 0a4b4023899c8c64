#pragma once

#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <unordered_map>

namespace iomira {

// What a tree item stands for; stored under kItemTypeRole, its id under kItemDataRole.
enum TreeItemType { ITEM_GROUP = 1, ITEM_CONTROLLER = 2, ITEM_INFO = 3 };
inline constexpr int kItemDataRole = Qt::UserRole;
inline constexpr int kItemTypeRole = Qt::UserRole + 1;

int itemType(const QTreeWidgetItem* item);
int itemData(const QTreeWidgetItem* item);

// The device tree: in-place editing starts through a check of the pane's, a click on an
// item first shows its group, and a right click selects the item before the menu opens.
class CViewTree : public QTreeWidget {
    Q_OBJECT
  public:
    explicit CViewTree(QWidget* parent = nullptr);
    ~CViewTree() override;

    // A group's line at the top level and a controller's line under `group`, found again by
    // their ids without walking the tree (a plant's tree holds thousands, and every connection
    // event looks one up).
    QTreeWidgetItem* newGroupItem(int rootId);
    QTreeWidgetItem* groupItem(int rootId) const;
    QTreeWidgetItem* newControllerItem(QTreeWidgetItem* group, int deviceId);
    QTreeWidgetItem* controllerItem(int deviceId) const;

    // Asked before an edit opens; false refuses it (the pane has said why).
    std::function<bool(QTreeWidgetItem*)> mayEdit;

    // Sorts the children of `parent` (the top level when null) by their text, keeping the
    // expansion of each moved item and the current item.
    void sortChildrenOf(QTreeWidgetItem* parent);

  signals:
    void itemPressedForGroup(QTreeWidgetItem* item);
    void contextMenuOn(QTreeWidgetItem* item, const QPoint& globalPos);
    void editCommitted(int type, int data, int ownerId, const QString& text);

  protected:
    void showWholeTexts();
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    QTimer fitTimer_;
    // Each line removes itself when it is deleted, however that happens.
    std::unordered_map<int, QTreeWidgetItem*> groupItems_;
    std::unordered_map<int, QTreeWidgetItem*> controllerItems_;
};

} // namespace iomira
