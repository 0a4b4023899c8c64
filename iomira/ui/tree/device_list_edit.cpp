// In-place editing of group names, controller descriptions and information lines.

#include "ui/tree/device_list_pane.h"

#include "core/texts.h"
#include "core/controller_keys.h"
#include "corvel/corvel.h"
#include "monitor/corvel_registration.h"
#include "core/group_store.h"
#include "monitor/shared_controllers.h"
#include "core/string_table.h"
#include "ui/tree/tree_edit_delegate.h"
#include "app/tree_edit_rules.h"
#include "app/tree_texts.h"
#include "core/user_prompts.h"
#include "ui/tree/view_tree.h"

namespace iomira {

namespace {

QString updateErrorText(int result) {
    switch (result) {
    case CORVEL_WRONG_STATE: return loadString(TEXT_UPDATE_ERROR);
    case CORVEL_SOCKET_ERROR: return loadString(TEXT_NOT_CLOSED);
    case CORVEL_UNKNOWN_DEVICE: return loadString(TEXT_NO_INFORMATION);
    default: return loadString(TEXT_UNKNOWN_ERROR);
    }
}

} // namespace

bool CDeviceListPane::mayEdit(QTreeWidgetItem* item) {
    const int type = itemType(item);
    if (type == ITEM_GROUP) {
        const CROOTData* g = groups_.find(itemData(item));
        item->setData(0, TreeEditDelegate::kEditValueRole, g ? g->RootName : item->text(0));
        return g != nullptr;
    }
    const CQUORVISData* c = selectedController();
    if (!c) return false;
    if (type == ITEM_CONTROLLER) {
        item->setData(0, TreeEditDelegate::kEditValueRole, c->DeviceComment);
        return true;
    }
    const int kind = itemData(item);
    if (infoEditKind(kind) == EditKind::None) return false;
    if (needsClosedConnection(kind) &&
        !connectionAllowsEdit(get_tcp_connection_state(c->DeviceId))) {
        prompts_.error(loadString(TEXT_CLOSE_CONNECTION_FIRST));
        return false;
    }
    item->setData(0, TreeEditDelegate::kEditValueRole, infoLineValue(*c, kind));
    item->setData(0, TreeEditDelegate::kChoicesRole, infoChoices(kind));
    item->setData(0, TreeEditDelegate::kCurrentChoiceRole, currentChoice(*c, kind));
    return true;
}

void CDeviceListPane::commitEdit(int type, int data, int ownerId, const QString& text) {
    if (type == ITEM_GROUP) commitGroupName(data, text);
    else if (type == ITEM_CONTROLLER) commitControllerEdit(data, 0, text);
    else if (type == ITEM_INFO) commitControllerEdit(ownerId, data, text);
}

void CDeviceListPane::commitGroupName(int rootId, const QString& text) {
    CROOTData* group = groups_.find(rootId);
    QTreeWidgetItem* item = findGroupItem(rootId);
    if (!group || !item) return;
    const EditOutcome check = checkGroupName(text);
    if (!check.accepted) {
        prompts_.error(check.error);
        return;
    }
    group->RootName = text;
    saveGroup(store_, *group);
    item->setText(0, text);
    emit groupsChanged();
    if (groupShown_ && shownGroupId_ == rootId) emit shownGroupChanged(rootId);
}

void CDeviceListPane::commitControllerEdit(int deviceId, int kind, const QString& text) {
    CQUORVISData* c = controllers_ ? controllers_->table().find(deviceId) : nullptr;
    if (!c) return;
    // The connection may have come up while the field was open.
    if (kind != 0 && needsClosedConnection(kind) &&
        !connectionAllowsEdit(get_tcp_connection_state(deviceId))) {
        prompts_.error(loadString(TEXT_CLOSE_CONNECTION_FIRST));
        return;
    }
    const CQUORVISData before = *c;
    EditOutcome outcome;
    controllers_->edit(deviceId, [&](CQUORVISData& record) {
        outcome = kind == 0 ? applyDescriptionEdit(record, text) : applyInfoEdit(record, kind, text);
    });
    if (!outcome.accepted) {
        if (!outcome.error.isEmpty()) prompts_.error(outcome.error);
        return;
    }
    applyControllerChange(deviceId, before);
}

// Connection settings reach Corvel only while it is closed; a refused update puts the
// record back as it was, so memory, store and Corvel keep agreeing.
void CDeviceListPane::applyControllerChange(int deviceId, const CQUORVISData& before) {
    CQUORVISData* c = controllers_->table().find(deviceId);
    const int state = get_tcp_connection_state(deviceId);
    if (state != TCP_CLOSED && state != TCP_ERROR) {
        saveController(store_, *c);
    } else {
        const int result = updateInCorvel(*c);
        if (result != CORVEL_OK) {
            controllers_->edit(deviceId, [&](CQUORVISData& record) { record = before; });
            prompts_.error(updateErrorText(result));
            return;
        }
        saveController(store_, *c);
        setControllerIcon(deviceId, controllerIcon(TCP_CLOSED, c->AutomaticConnection));
    }
    refreshControllerItem(deviceId);
    emit controllerChanged(deviceId);
}

} // namespace iomira
