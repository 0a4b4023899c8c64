#include "ui/tree/device_list_pane.h"

#include "core/texts.h"
#include "core/controller_keys.h"
#include "corvel/corvel.h"
#include "app/group_arranger.h"
#include "core/group_store.h"
#include "monitor/shared_controllers.h"
#include "core/string_table.h"
#include "ui/tree/tree_edit_delegate.h"
#include "ui/common/tree_icons.h"
#include "app/tree_texts.h"
#include "core/user_prompts.h"
#include "ui/tree/view_tree.h"

#include <QFont>
#include <QVBoxLayout>

namespace iomira {

CDeviceListPane::CDeviceListPane(Store& store, UserPrompts& prompts, QWidget* parent)
    : QWidget(parent), store_(store), prompts_(prompts), tree_(new CViewTree(this)) {
    setObjectName(QStringLiteral("DeviceListPane"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tree_);
    groups_.setSaver([this](const CROOTData& g) { saveGroup(store_, g); });
    tree_->mayEdit = [this](QTreeWidgetItem* item) { return mayEdit(item); };
    connect(tree_, &CViewTree::editCommitted, this, &CDeviceListPane::commitEdit);
    connect(tree_, &CViewTree::contextMenuOn, this, &CDeviceListPane::showContextMenu);
    connect(tree_, &CViewTree::itemPressedForGroup, this, [this](QTreeWidgetItem* item) {
        QTreeWidgetItem* group = item;
        while (group && group->parent()) group = group->parent();
        if (group) showGroup(itemData(group));
        if (activateItemWindow) activateItemWindow(item);
    });
    reconnectTimer_.setSingleShot(true);
    connect(&reconnectTimer_, &QTimer::timeout, this, [this] {
        if (connections_) connections_->reconnectTick();
        reconnectTimer_.start(kReconnectTickMs);
    });
}

CDeviceListPane::~CDeviceListPane() { stopTimers(); }

bool CDeviceListPane::loadGroups() {
    if (!iomira::loadGroups(store_, groups_)) return false;
    for (int index = 0; index < groups_.size(); ++index) {
        if (const CROOTData* g = groups_.GroupAt(index)) newGroupItem(*g);
    }
    tree_->sortChildrenOf(nullptr);
    return true;
}

void CDeviceListPane::setControllers(SharedControllers& controllers, MonitorLog& log,
                                     corvel_window* window) {
    controllers_ = &controllers;
    log_ = &log;
    window_ = window;
    connections_ = std::make_unique<ConnectionManager>(controllers, log, *this);
    handler_ = std::make_unique<NotificationHandler>(controllers, log, *connections_, *this,
                                                     dispatch_);
}

void CDeviceListPane::startMailNotifications(const NotificationMailTables& tables) {
    mailer_ = std::make_unique<NotificationMailer>(tables);
    NotificationMailer* mailer = mailer_.get();
    dispatch_.queueNotificationMail = [mailer](const CQUORVISData& c, int kind, int port, int value) {
        mailer->QueueNotificationMail(c, kind, port, value);
    };
}

void CDeviceListPane::startTimers() { reconnectTimer_.start(kReconnectTickMs); }
void CDeviceListPane::stopTimers() { reconnectTimer_.stop(); }

QTreeWidgetItem* CDeviceListPane::newGroupItem(const CROOTData& group) {
    auto* item = new QTreeWidgetItem(tree_);
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

void CDeviceListPane::fillInfoLines(QTreeWidgetItem* item, const CQUORVISData& c) {
    qDeleteAll(item->takeChildren());
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
    auto* item = new QTreeWidgetItem(group);
    item->setText(0, c.DeviceComment);
    item->setData(0, kItemTypeRole, ITEM_CONTROLLER);
    item->setData(0, kItemDataRole, c.DeviceId);
    item->setData(0, TreeEditDelegate::kOwnerRole, c.DeviceId);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    item->setIcon(0, treeIcon(controllerIcon(get_tcp_connection_state(c.DeviceId),
                                             c.AutomaticConnection)));
    fillInfoLines(item, c);
    tree_->sortChildrenOf(group);
}

void CDeviceListPane::refreshControllerItem(int deviceId) {
    QTreeWidgetItem* item = findControllerItem(deviceId);
    const CQUORVISData* c = controllers_ ? controllers_->table().find(deviceId) : nullptr;
    if (!item || !c) return;
    item->setText(0, c->DeviceComment);
    const bool expanded = item->isExpanded();
    fillInfoLines(item, *c);
    item->setExpanded(expanded);
    tree_->sortChildrenOf(item->parent());
}

void CDeviceListPane::setControllerIcon(int deviceId, int icon) {
    if (QTreeWidgetItem* item = findControllerItem(deviceId)) item->setIcon(0, treeIcon(icon));
}

QTreeWidgetItem* CDeviceListPane::findGroupItem(int rootId) const {
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = tree_->topLevelItem(i);
        if (itemData(item) == rootId) return item;
    }
    return nullptr;
}

QTreeWidgetItem* CDeviceListPane::findControllerItem(int deviceId) const {
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* group = tree_->topLevelItem(i);
        for (int j = 0; j < group->childCount(); ++j) {
            if (itemData(group->child(j)) == deviceId) return group->child(j);
        }
    }
    return nullptr;
}

bool CDeviceListPane::moveController(int deviceId, int rootId) {
    CQUORVISData* c = controllers_ ? controllers_->table().find(deviceId) : nullptr;
    QTreeWidgetItem* oldGroup = c ? findGroupItem(c->RootID) : nullptr;
    if (!c || !oldGroup) {
        prompts_.error(loadString(TEXT_MOVE_NO_GROUP));
        return false;
    }
    if (oldGroup->childCount() == 0) {
        prompts_.error(loadString(TEXT_MOVE_NO_CHILDREN));
        return false;
    }
    QTreeWidgetItem* item = findControllerItem(deviceId);
    if (!item || item->parent() != oldGroup) {
        prompts_.error(loadString(TEXT_MOVE_NO_ITEM));
        return false;
    }
    if (!findGroupItem(rootId)) {
        prompts_.error(loadString(TEXT_GROUP_NOT_FOUND));
        return false;
    }
    const QIcon icon = item->icon(0);
    delete item;
    {
        auto guard = controllers_->lock();
        controllers_->table().CloseGroupGap(c->RootID, c->Index);
        c->Index = controllers_->table().CountInGroup(rootId);
        c->RootID = rootId;
    }
    saveController(store_, *c);
    insertControllerItem(*c);
    if (QTreeWidgetItem* moved = findControllerItem(deviceId)) moved->setIcon(0, icon);
    showGroup(rootId);
    selectController(deviceId);
    return true;
}

void CDeviceListPane::selectController(int deviceId) {
    if (QTreeWidgetItem* item = findControllerItem(deviceId)) tree_->setCurrentItem(item);
}

QString CDeviceListPane::shownGroupName() const {
    const CROOTData* g = groups_.find(shownGroupId_);
    return g ? g->RootName : QString();
}

void CDeviceListPane::showGroup(int rootId) {
    if (showGroupWindows) showGroupWindows(rootId);
    if (groupShown_ && shownGroupId_ == rootId) return;
    shownGroupId_ = rootId;
    groupShown_ = groups_.find(rootId) != nullptr;
    emit shownGroupChanged(rootId);
}

void CDeviceListPane::onConnectionNotification(uintptr_t deviceId, intptr_t lparam) {
    if (handler_) handler_->onConnection(deviceId, lparam);
}

void CDeviceListPane::onDataNotification(uintptr_t deviceId, intptr_t code) {
    if (handler_) handler_->onData(deviceId, code);
}

void CDeviceListPane::connectionStarted(int deviceId) {
    connectionNotified(deviceId, 0);
    emit controllerConnectionStarted(deviceId);
}

void CDeviceListPane::connectionNotified(int deviceId, intptr_t lparam) {
    const CQUORVISData* c = controllers_ ? controllers_->table().find(deviceId) : nullptr;
    if (!c) return;
    setControllerIcon(deviceId, controllerIcon(get_tcp_connection_state(deviceId),
                                               c->AutomaticConnection,
                                               CORVEL_LPARAM_ERROR(lparam) != 0));
}

void CDeviceListPane::showError(const QString& message) { prompts_.error(message); }

} // namespace iomira
