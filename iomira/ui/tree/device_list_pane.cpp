#include "ui/tree/device_list_pane.h"

#include "app/tree_texts.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "corvel/corvel.h"
#include "monitor/shared_controllers.h"
#include "ui/common/tree_icons.h"
#include "ui/tree/tree_edit_delegate.h"
#include "ui/tree/view_tree.h"

#include <QFont>
#include <QVBoxLayout>

namespace iomira {

CDeviceListPane::CDeviceListPane(ControllerDirectory& directory, QWidget* parent)
    : QWidget(parent), directory_(directory), prompts_(directory.prompts()),
      tree_(new CViewTree(this)) {
    setObjectName(QStringLiteral("DeviceListPane"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tree_);
    tree_->mayEdit = [this](QTreeWidgetItem* item) { return mayEdit(item); };
    connect(tree_, &CViewTree::editCommitted, this, &CDeviceListPane::commitEdit);
    connect(tree_, &QTreeWidget::itemExpanded, this, &CDeviceListPane::showInfoLines);
    connect(tree_, &CViewTree::contextMenuOn, this, &CDeviceListPane::showContextMenu);
    connect(tree_, &CViewTree::itemPressedForGroup, this, [this](QTreeWidgetItem* item) {
        QTreeWidgetItem* group = item;
        while (group && group->parent())
            group = group->parent();
        if (group) showGroup(itemData(group));
        if (activateItemWindow) activateItemWindow(item);
    });
    followDirectory();
}

CDeviceListPane::~CDeviceListPane() {
    stopTimers();
}

void CDeviceListPane::followDirectory() {
    ControllerDirectory* d = &directory_;
    connect(d, &ControllerDirectory::controllerAdded, this, [this](int id) {
        const CQUORVISData* c = directory_.find(id);
        if (!c) return;
        insertControllerItem(*c);
        if (QTreeWidgetItem* group = findGroupItem(c->RootID)) group->setExpanded(true);
    });
    connect(d, &ControllerDirectory::connectionSettingsApplied, this, [this](int id) {
        if (const CQUORVISData* c = directory_.find(id))
            setControllerIcon(id, controllerIcon(TCP_CLOSED, c->AutomaticConnection));
    });
    connect(d, &ControllerDirectory::controllerChanged, this, [this](int id) {
        refreshControllerItem(id);
        emit controllerChanged(id);
    });
    connect(d, &ControllerDirectory::controllerRemoved, this, [this](int id) {
        delete findControllerItem(id);
        emit controllerRemoved(id);
    });
    connect(d, &ControllerDirectory::controllerMoved, this,
            [this](int id, int, int toRootId) { showMoved(id, toRootId); });
    connect(d, &ControllerDirectory::groupAdded, this, [this](int rootId) {
        if (const CROOTData* group = groups().find(rootId)) newGroupItem(*group);
        tree_->sortChildrenOf(nullptr);
    });
    connect(d, &ControllerDirectory::groupRemoved, this, &CDeviceListPane::showGroupRemoved);
    connect(d, &ControllerDirectory::groupRenamed, this, &CDeviceListPane::showGroupRenamed);
    connect(d, &ControllerDirectory::groupsChanged, this, &CDeviceListPane::groupsChanged);
    ControllerMonitoring* m = &directory_.monitoring();
    connect(m, &ControllerMonitoring::controllerConnectionNotified, this,
            &CDeviceListPane::showConnectionIcon);
    connect(m, &ControllerMonitoring::controllerConnectionStarted, this,
            &CDeviceListPane::controllerConnectionStarted);
    connect(m, &ControllerMonitoring::controllerResponseChanged, this,
            [this](int id) { showConnectionIcon(id, 0); });
}

bool CDeviceListPane::loadGroups() {
    if (!directory_.loadGroups()) return false;
    for (int index = 0; index < groups().size(); ++index) {
        if (const CROOTData* g = groups().GroupAt(index)) newGroupItem(*g);
    }
    tree_->sortChildrenOf(nullptr);
    return true;
}

void CDeviceListPane::setControllers(SharedControllers& controllers, MonitorLog& log,
                                     corvel_window* window) {
    directory_.setControllers(controllers, log, window);
}

void CDeviceListPane::startMailNotifications(const NotificationMailTables& tables) {
    directory_.monitoring().startMailNotifications(tables);
}

void CDeviceListPane::startTimers() {
    directory_.monitoring().startTimers();
}
void CDeviceListPane::stopTimers() {
    directory_.monitoring().stopTimers();
}

QTreeWidgetItem* CDeviceListPane::newGroupItem(const CROOTData& group) {
    QTreeWidgetItem* item = tree_->newGroupItem(group.RootID);
    item->setText(0, group.RootName);
    item->setIcon(0, treeIcon(ICON_GROUP));
    item->setData(0, kItemTypeRole, ITEM_GROUP);
    item->setData(0, kItemDataRole, group.RootID);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    QFont bold = item->font(0);
    bold.setBold(true);
    item->setFont(0, bold);
    item->setExpanded(true);
    return item;
}

// A controller's information lines are made when it is first expanded: most of a large
// plant's controllers never are, and their lines would be most of the tree's memory.
void CDeviceListPane::showInfoLines(QTreeWidgetItem* item) {
    if (itemType(item) != ITEM_CONTROLLER || item->childCount() > 0) return;
    if (const CQUORVISData* c = directory_.find(itemData(item))) fillInfoLines(item, *c);
}

void CDeviceListPane::fillInfoLines(QTreeWidgetItem* item, const CQUORVISData& c) {
    qDeleteAll(item->takeChildren());
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    for (const InfoLine& line : infoLines(c)) {
        auto* child = new QTreeWidgetItem(item);
        child->setText(0, line.text);
        child->setIcon(0, treeIcon(ICON_INFORMATION));
        child->setData(0, kItemTypeRole, ITEM_INFO);
        child->setData(0, kItemDataRole, line.kind);
        child->setData(0, TreeEditDelegate::kOwnerRole, c.DeviceId);
        if (line.kind != INFO_PRODUCT) child->setFlags(child->flags() | Qt::ItemIsEditable);
    }
}

void CDeviceListPane::insertControllerItem(const CQUORVISData& c) {
    QTreeWidgetItem* group = findGroupItem(c.RootID);
    if (!group) {
        prompts_.error(loadString(TEXT_GROUP_NOT_FOUND));
        return;
    }
    QTreeWidgetItem* item = tree_->newControllerItem(group, c.DeviceId);
    item->setText(0, c.DeviceComment);
    item->setData(0, kItemTypeRole, ITEM_CONTROLLER);
    item->setData(0, kItemDataRole, c.DeviceId);
    item->setData(0, TreeEditDelegate::kOwnerRole, c.DeviceId);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    item->setIcon(
        0, treeIcon(controllerIcon(get_tcp_connection_state(c.DeviceId), c.AutomaticConnection)));
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    tree_->sortChildrenOf(group);
}

void CDeviceListPane::refreshControllerItem(int deviceId) {
    QTreeWidgetItem* item = findControllerItem(deviceId);
    const CQUORVISData* c = directory_.find(deviceId);
    if (!item || !c) return;
    item->setText(0, c->DeviceComment);
    if (item->childCount() > 0) {
        const bool expanded = item->isExpanded();
        fillInfoLines(item, *c);
        item->setExpanded(expanded);
    }
    tree_->sortChildrenOf(item->parent());
}

// An icon set again as it is changes nothing, and costs the view no repaint.
void CDeviceListPane::setControllerIcon(int deviceId, int icon) {
    QTreeWidgetItem* item = findControllerItem(deviceId);
    const QIcon shown = treeIcon(icon);
    if (item && item->icon(0).cacheKey() != shown.cacheKey()) item->setIcon(0, shown);
}

QTreeWidgetItem* CDeviceListPane::findGroupItem(int rootId) const {
    return tree_->groupItem(rootId);
}

QTreeWidgetItem* CDeviceListPane::findControllerItem(int deviceId) const {
    return tree_->controllerItem(deviceId);
}

bool CDeviceListPane::moveController(int deviceId, int rootId) {
    return directory_.moveController(deviceId, rootId);
}

// The item goes to its new group keeping its connection icon; that group comes forward.
void CDeviceListPane::showMoved(int deviceId, int toRootId) {
    QTreeWidgetItem* item = findControllerItem(deviceId);
    const QIcon icon = item ? item->icon(0) : QIcon();
    delete item;
    if (const CQUORVISData* c = directory_.find(deviceId)) insertControllerItem(*c);
    if (QTreeWidgetItem* moved = findControllerItem(deviceId)) moved->setIcon(0, icon);
    showGroup(toRootId);
    selectController(deviceId);
}

void CDeviceListPane::selectController(int deviceId) {
    if (QTreeWidgetItem* item = findControllerItem(deviceId)) tree_->setCurrentItem(item);
}

QString CDeviceListPane::shownGroupName() const {
    const CROOTData* g = directory_.groups().find(shownGroupId_);
    return g ? g->RootName : QString();
}

void CDeviceListPane::showGroup(int rootId) {
    if (showGroupWindows) showGroupWindows(rootId);
    if (groupShown_ && shownGroupId_ == rootId) return;
    shownGroupId_ = rootId;
    groupShown_ = groups().find(rootId) != nullptr;
    emit shownGroupChanged(rootId);
}

bool CDeviceListPane::onCorvelNotification(uint32_t message, uintptr_t deviceId, intptr_t lparam) {
    if (message == CORVEL_WM_CONNECTION)
        onConnectionNotification(deviceId, lparam);
    else if (message == CORVEL_WM_DATA)
        onDataNotification(deviceId, lparam);
    else
        return false;
    return true;
}

void CDeviceListPane::onConnectionNotification(uintptr_t deviceId, intptr_t lparam) {
    directory_.monitoring().onConnectionNotification(deviceId, lparam);
}

void CDeviceListPane::onDataNotification(uintptr_t deviceId, intptr_t code) {
    directory_.monitoring().onDataNotification(deviceId, code);
}

void CDeviceListPane::showConnectionIcon(int deviceId, intptr_t lparam) {
    const CQUORVISData* c = directory_.find(deviceId);
    if (!c) return;
    setControllerIcon(deviceId,
                      controllerIcon(get_tcp_connection_state(deviceId), c->AutomaticConnection,
                                     CORVEL_LPARAM_ERROR(lparam) != 0, c->NotResponding));
}

} // namespace iomira
