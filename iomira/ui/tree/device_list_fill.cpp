// Filling the device list: the start-up fill, groups added by name and tables of
// controllers added in one go.

#include "ui/tree/device_list_pane.h"

#include "app/group_arranger.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "monitor/shared_controllers.h"
#include "ui/tree/view_tree.h"

#include <QTreeWidgetItem>

namespace iomira {

int CDeviceListPane::addGroupByName(const QString& name) {
    return directory_.addGroupByName(name);
}

void CDeviceListPane::fillAtStartup() {
    int shownGroup = 0;
    int selected = -1;
    // The polling thread starts after the fill, so the split needs no table lock.
    GroupArranger::Callbacks callbacks;
    callbacks.groupAdded = [this](const CROOTData& group) {
        newGroupItem(group);
        tree_->sortChildrenOf(nullptr);
    };
    callbacks.showError = [this](const QString& text) { prompts_.error(text); };
    callbacks.controllerVisited = [&](CQUORVISData& c) {
        if (c.AutomaticConnection == 1) connections()->connectAtStartup(c);
        if (c.LastOpened == 1) {
            shownGroup = c.RootID;
            selected = c.DeviceId;
        }
        insertControllerItem(c);
        if (QTreeWidgetItem* group = findGroupItem(c.RootID)) group->setExpanded(true);
    };
    GroupArranger(directory_.controllers()->table(), groups(), directory_.store(), callbacks)
        .splitAtStartup();
    if (QTreeWidgetItem* group = findGroupItem(shownGroup)) tree_->setCurrentItem(group);
    groupShown_ = false;
    showGroup(shownGroup);
    if (selected >= 0) selectController(selected);
    emit groupsChanged();
}

void CDeviceListPane::addControllers(const std::vector<CQUORVISData>& records) {
    QTreeWidgetItem* remembered = selectedGroupItem();
    const int rememberedGroup = remembered ? itemData(remembered) : -1;
    const int lastOpened = directory_.addControllers(records);
    if (QTreeWidgetItem* group = findGroupItem(rememberedGroup)) {
        tree_->setCurrentItem(group);
        showGroup(rememberedGroup);
    }
    if (lastOpened >= 0) selectController(lastOpened);
}

} // namespace iomira
