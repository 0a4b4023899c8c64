// The device list's context menu and its commands.

#include "ui/tree/device_list_pane.h"

#include "app/tree_texts.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "corvel/corvel.h"
#include "ui/tree/add_root_dialog.h"
#include "ui/tree/view_tree.h"

#include <QMenu>

namespace iomira {

CQUORVISData* CDeviceListPane::selectedController() const {
    QTreeWidgetItem* item = tree_->currentItem();
    if (itemType(item) == ITEM_INFO) item = item->parent();
    if (itemType(item) != ITEM_CONTROLLER) return nullptr;
    return directory_.find(itemData(item));
}

QTreeWidgetItem* CDeviceListPane::selectedGroupItem() const {
    QTreeWidgetItem* item = tree_->currentItem();
    while (item && item->parent())
        item = item->parent();
    return item;
}

std::vector<MenuEntry> CDeviceListPane::contextEntries() const {
    TreeSelection selection;
    selection.controller = selectedController();
    QTreeWidgetItem* item = tree_->currentItem();
    if (itemType(item) == ITEM_GROUP) {
        selection.groupSelected = true;
        const CROOTData* group = directory_.groups().find(itemData(item));
        selection.groupIndex = group ? group->Index : 0;
    }
    const int state = selection.controller
                          ? get_tcp_connection_state(selection.controller->DeviceId)
                          : TCP_CLOSED;
    return contextMenuEntries(selection, state);
}

void CDeviceListPane::showContextMenu(QTreeWidgetItem* item, const QPoint& globalPos) {
    if (item) {
        QTreeWidgetItem* group = item;
        while (group->parent())
            group = group->parent();
        showGroup(itemData(group));
        if (activateItemWindow) activateItemWindow(item);
    } else {
        tree_->setCurrentItem(nullptr);
    }
    QMenu menu(this);
    for (const MenuEntry& entry : contextEntries()) {
        QAction* action = menu.addAction(loadString(entry.textId));
        action->setEnabled(entry.enabled);
        const int command = entry.command;
        connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    }
    menu.exec(globalPos);
}

void CDeviceListPane::runCommand(int command) {
    switch (command) {
    case CMD_CONNECT:
        connectSelected();
        break;
    case CMD_DISCONNECT:
        disconnectSelected();
        break;
    case CMD_DELETE_CONTROLLER:
        deleteSelectedController();
        break;
    case CMD_ADD_GROUP:
        addGroup();
        break;
    case CMD_ADD_CONTROLLER:
        if (addControllerCommand) addControllerCommand();
        break;
    case CMD_MODIFY:
        if (CQUORVISData* c = selectedController(); c && modifyControllerCommand)
            modifyControllerCommand(c->DeviceId);
        break;
    case CMD_DELETE_GROUP:
        deleteSelectedGroup();
        break;
    case CMD_SOUND_NOTIFICATION:
        if (CQUORVISData* c = selectedController(); c && soundNotificationCommand) {
            const int id = c->DeviceId;
            soundNotificationCommand(id);
            emit controllerChanged(id); // its window shows which inputs have a sound
        }
        break;
    case CMD_SOUND_FILE:
        if (soundFileCommand) soundFileCommand();
        break;
    default:
        break;
    }
}

void CDeviceListPane::connectSelected() {
    CQUORVISData* c = selectedController();
    if (!c) {
        prompts_.error(loadString(TEXT_NOTHING_SELECTED));
        return;
    }
    const int state = get_tcp_connection_state(c->DeviceId);
    if (state == TCP_CLOSED || state == TCP_ERROR) connections()->connectCommand(*c);
}

void CDeviceListPane::disconnectSelected() {
    CQUORVISData* c = selectedController();
    if (!c) {
        prompts_.error(loadString(TEXT_NOTHING_SELECTED));
        return;
    }
    c->ReconnectWanted = 0;
    const int id = c->DeviceId;
    const int state = get_tcp_connection_state(id);
    if (state == TCP_LISTEN || state == TCP_CONNECTING || state == TCP_ESTABLISHED) {
        if (disconnectOperation) {
            disconnectOperation(id);
        } else if (disconnect_device(id) == CORVEL_OK) {
            onConnectionNotification(static_cast<uintptr_t>(id), CORVEL_FD_CLOSE);
        }
    } else {
        // An error that was waiting for its retry ends here; the icon says so.
        showConnectionIcon(id, 0);
    }
}

void CDeviceListPane::deleteSelectedController() {
    CQUORVISData* c = selectedController();
    if (!c) {
        prompts_.error(loadString(TEXT_NOTHING_SELECTED));
        return;
    }
    if (prompts_.ask(loadString(TEXT_DELETE_QUESTION))) deleteController(c->DeviceId);
}

bool CDeviceListPane::deleteController(int deviceId) {
    return directory_.deleteController(deviceId);
}

void CDeviceListPane::addGroup() {
    QString name;
    const bool entered = askGroupName ? askGroupName(name) : CAddRoot::ask(this, name);
    if (!entered) return;
    const int id = directory_.addGroup(name);
    if (id < 0) return;
    // Appended at the end of the top level, not sorted in.
    QTreeWidgetItem* item = newGroupItem(*groups().find(id));
    tree_->setCurrentItem(item);
    showGroup(id);
    emit groupsChanged();
}

void CDeviceListPane::deleteSelectedGroup() {
    QTreeWidgetItem* item = tree_->currentItem();
    if (itemType(item) != ITEM_GROUP) {
        prompts_.error(loadString(TEXT_NOTHING_SELECTED));
        return;
    }
    directory_.deleteGroup(itemData(item));
}

// The group that is now last comes forward.
void CDeviceListPane::showGroupRemoved(int rootId) {
    delete findGroupItem(rootId);
    const CROOTData* last = groups().GroupAt(groups().size() - 1);
    if (!last) return;
    if (QTreeWidgetItem* lastItem = findGroupItem(last->RootID)) tree_->setCurrentItem(lastItem);
    showGroup(last->RootID);
}

} // namespace iomira
