// In-place editing of group names, controller descriptions and information lines.

#include "ui/tree/device_list_pane.h"

#include "app/tree_edit_rules.h"
#include "app/tree_texts.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "corvel/corvel.h"
#include "ui/tree/tree_edit_delegate.h"
#include "ui/tree/view_tree.h"

namespace iomira {

bool CDeviceListPane::mayEdit(QTreeWidgetItem* item) {
    const int type = itemType(item);
    if (type == ITEM_GROUP) {
        const CROOTData* g = groups().find(itemData(item));
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
    if (type == ITEM_GROUP)
        directory_.renameGroup(data, text);
    else if (type == ITEM_CONTROLLER)
        directory_.editController(data, 0, text);
    else if (type == ITEM_INFO)
        directory_.editController(ownerId, data, text);
}

void CDeviceListPane::showGroupRenamed(int rootId) {
    const CROOTData* group = groups().find(rootId);
    QTreeWidgetItem* item = findGroupItem(rootId);
    if (!group || !item) return;
    item->setText(0, group->RootName);
    if (groupShown_ && shownGroupId_ == rootId) emit shownGroupChanged(rootId);
}

} // namespace iomira
