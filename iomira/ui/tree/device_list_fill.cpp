// Filling the device list: the start-up fill, groups added by name and tables of
// controllers added in one go.

#include "ui/tree/device_list_pane.h"

#include "core/texts.h"
#include "core/controller_keys.h"
#include "monitor/corvel_registration.h"
#include "app/group_arranger.h"
#include "core/object_loader.h"
#include "monitor/shared_controllers.h"
#include "core/string_table.h"
#include "core/user_prompts.h"
#include "ui/tree/view_tree.h"

#include <QTreeWidgetItem>

namespace iomira {

GroupArranger CDeviceListPane::arranger() {
    GroupArranger::Callbacks callbacks;
    callbacks.groupAdded = [this](const CROOTData& group) {
        newGroupItem(group);
        tree_->sortChildrenOf(nullptr);
        emit groupsChanged();
    };
    callbacks.showError = [this](const QString& text) { prompts_.error(text); };
    return GroupArranger(controllers_->table(), groups_, store_, callbacks);
}

int CDeviceListPane::addGroupByName(const QString& name) { return arranger().addGroupByName(name); }

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
        if (c.AutomaticConnection == 1) connections_->connectAtStartup(c);
        if (c.LastOpened == 1) {
            shownGroup = c.RootID;
            selected = c.DeviceId;
        }
        insertControllerItem(c);
        if (QTreeWidgetItem* group = findGroupItem(c.RootID)) group->setExpanded(true);
    };
    GroupArranger(controllers_->table(), groups_, store_, callbacks).splitAtStartup();
    if (QTreeWidgetItem* group = findGroupItem(shownGroup)) tree_->setCurrentItem(group);
    groupShown_ = false;
    showGroup(shownGroup);
    if (selected >= 0) selectController(selected);
    emit groupsChanged();
}

void CDeviceListPane::addControllers(const std::vector<CQUORVISData>& records) {
    QTreeWidgetItem* remembered = selectedGroupItem();
    const int rememberedGroup = remembered ? itemData(remembered) : -1;
    int lastOpened = -1;
    for (const CQUORVISData& source : records) {
        const CROOTData* named = groups_.find(source.RootID);
        const int rootId = arranger().placeByGroupName(named ? named->RootName : QString());
        if (rootId < 0) continue;
        auto record = std::make_unique<CQUORVISData>();
        CQUORVISData::Copy(*record, source);
        record->DeviceId = controllers_->table().NewDeviceId();
        if (record->IsServer != 0) record->HostAddr.clear();
        record->LastPosX = source.LastPosX;
        record->LastPosY = source.LastPosY;
        record->LastPosCX = source.LastPosCX;
        record->LastPosCY = source.LastPosCY;
        record->LastOpened = source.LastOpened;
        record->Minimized = source.Minimized;
        record->LastPosXMin = source.LastPosXMin;
        record->LastPosYMin = source.LastPosYMin;
        record->LastPosCXMin = source.LastPosCXMin;
        record->LastPosCYMin = source.LastPosCYMin;
        const CQUORVISData fresh;
        record->DiState = fresh.DiState;
        record->DiCounter = fresh.DiCounter;
        record->RootID = rootId;
        record->Index = controllers_->table().CountInGroup(rootId);
        const int result = registerInCorvel(window_, *record);
        if (result != CORVEL_OK) {
            prompts_.error(registrationErrorText(result));
            continue;
        }
        CQUORVISData* added = record.get();
        {
            auto guard = controllers_->lock();
            controllers_->table().insert(std::move(record));
        }
        saveController(store_, *added);
        if (added->AutomaticConnection == 1) connections_->connectAtStartup(*added);
        insertControllerItem(*added);
        if (added->LastOpened == 1) lastOpened = added->DeviceId;
        if (QTreeWidgetItem* group = findGroupItem(rootId)) group->setExpanded(true);
    }
    if (QTreeWidgetItem* group = findGroupItem(rememberedGroup)) {
        tree_->setCurrentItem(group);
        showGroup(rememberedGroup);
    }
    if (lastOpened >= 0) selectController(lastOpened);
}

} // namespace iomira
