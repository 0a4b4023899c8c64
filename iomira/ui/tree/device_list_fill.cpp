// Filling the device list: the start-up fill, groups added by name and tables of
// controllers added in one go.

#include "ui/tree/device_list_pane.h"

#include "app/controller_directory.h"
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
    QTreeWidgetItem* remembered = selectedGroupItem();
    const int rememberedGroup = remembered ? itemData(remembered) : -1;
    const int lastOpened = directory_.addControllers(records);
    if (QTreeWidgetItem* group = findGroupItem(rememberedGroup)) {
        tree_->setCurrentItem(group);
        showGroup(rememberedGroup);
    }
    if (lastOpened >= 0) selectController(lastOpened);
}

void CDeviceListPane::changeKeepingShownGroup(const std::function<void()>& change) {
    QTreeWidgetItem* remembered = selectedGroupItem();
    const int rememberedGroup = remembered ? itemData(remembered) : -1;
    change();
    int rootId = rememberedGroup;
    if (!findGroupItem(rootId)) {
        const CROOTData* first = directory_.groups().GroupAt(0);
        rootId = first ? first->RootID : -1;
    }
    if (QTreeWidgetItem* group = findGroupItem(rootId)) {
        tree_->setCurrentItem(group);
        groupShown_ = false;
        showGroup(rootId);
    }
}

} // namespace iomira
