// Filling the device list: the start-up fill, groups added by name and tables of
// controllers added in one go.

#include "ui/tree/device_list_pane.h"

#include "app/controller_directory.h"
#include "app/script_import.h"
#include "ui/tree/view_tree.h"

#include <QTreeWidgetItem>

namespace iomira {

int CDeviceListPane::addGroupByName(const QString& name) {
    return directory_.addGroupByName(name);
}

// The directory announces each controller and new group; the tree follows its signals.
void CDeviceListPane::fillAtStartup() {
    const ControllerDirectory::LastShown shown = directory_.fillAtStartup();
    if (QTreeWidgetItem* group = findGroupItem(shown.rootId)) tree_->setCurrentItem(group);
    groupShown_ = false;
    showGroup(shown.rootId);
    if (shown.deviceId >= 0) selectController(shown.deviceId);
}

void CDeviceListPane::addControllers(const std::vector<CQUORVISData>& records) {
    const int rememberedGroup = selectedGroupId();
    const int lastOpened = directory_.addControllers(records);
    reshowGroup(rememberedGroup);
    if (lastOpened >= 0) selectController(lastOpened);
}

ScriptImportSummary CDeviceListPane::addScript(const ScriptReadOutcome& outcome,
                                               const ControllerDirectory::TableProgress& progress) {
    const int rememberedGroup = selectedGroupId();
    ScriptImportSummary summary = importScript(directory_, outcome, progress);
    reshowGroup(rememberedGroup);
    return summary;
}

int CDeviceListPane::selectedGroupId() const {
    QTreeWidgetItem* selected = selectedGroupItem();
    return selected ? itemData(selected) : -1;
}

// Adding selects each new controller's item; the operator stays in the group they were in.
void CDeviceListPane::reshowGroup(int rootId) {
    if (QTreeWidgetItem* group = findGroupItem(rootId)) {
        tree_->setCurrentItem(group);
        showGroup(rootId);
    }
}

void CDeviceListPane::changeKeepingShownGroup(const std::function<void()>& change) {
    int rootId = selectedGroupId();
    change();
    if (!findGroupItem(rootId)) {
        const CROOTData* first = directory_.groups().GroupAt(0);
        rootId = first ? first->RootID : -1;
    }
    // The group may keep its id and still hold other controllers now.
    groupShown_ = false;
    reshowGroup(rootId);
}

} // namespace iomira
