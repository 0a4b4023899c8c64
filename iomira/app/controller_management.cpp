#include "app/controller_management.h"

#include "app/controller_directory.h"
#include "core/controller_table.h"
#include "core/root_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "monitor/shared_controllers.h"

#include <algorithm>

namespace iomira {

namespace {

// A group holds at most this many controllers.
constexpr int kGroupCapacity = 30;

} // namespace

PanelGroups initialPanelGroups(int groupCount) {
    if (groupCount <= 0) return {};
    return {0, groupCount > 1 ? 1 : 0};
}

int moveRefusal(int fromRootId, int toRootId, int selectedCount, int destinationCount) {
    if (fromRootId == toRootId) return TEXT_MOVE_SAME_GROUP;
    if (selectedCount <= 0) return TEXT_SELECT_IO_CONTROLLERS;
    if (destinationCount + selectedCount > kGroupCapacity) return TEXT_GROUP_FULL;
    return 0;
}

std::vector<ManagedGroup> ControllerManagement::groups() const {
    // Sorted here rather than looked up by position, so that a gap in the Index values
    // cannot hide the groups after it.
    std::vector<const CROOTData*> sorted;
    directory_.groups().forEach([&](const CROOTData& g) { sorted.push_back(&g); });
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const CROOTData* a, const CROOTData* b) { return a->Index < b->Index; });
    std::vector<ManagedGroup> out;
    for (const CROOTData* g : sorted)
        out.push_back({g->RootID, g->RootName});
    return out;
}

std::vector<ManagedController> ControllerManagement::controllers(int rootId) const {
    std::vector<const CQUORVISData*> members;
    if (SharedControllers* shared = directory_.controllers()) {
        shared->table().forEach([&](const CQUORVISData& c) {
            if (c.RootID == rootId) members.push_back(&c);
        });
    }
    std::stable_sort(
        members.begin(), members.end(),
        [](const CQUORVISData* a, const CQUORVISData* b) { return a->Index < b->Index; });
    std::vector<ManagedController> out;
    for (const CQUORVISData* c : members)
        out.push_back({c->DeviceId, c->DeviceComment});
    return out;
}

int ControllerManagement::move(const std::vector<int>& selected, int fromRootId, int toRootId) {
    const int destination = static_cast<int>(controllers(toRootId).size());
    const int refusal =
        moveRefusal(fromRootId, toRootId, static_cast<int>(selected.size()), destination);
    if (refusal != 0) {
        directory_.prompts().error(loadString(refusal));
        return 0;
    }
    int moved = 0;
    for (int id : selected) {
        if (!directory_.moveController(id, toRootId)) break;
        ++moved;
    }
    return moved;
}

int ControllerManagement::remove(const std::vector<int>& selected) {
    if (selected.empty()) {
        directory_.prompts().error(loadString(TEXT_SELECT_IO_CONTROLLERS));
        return 0;
    }
    return removeEach(selected);
}

int ControllerManagement::removeAll(int rootId) {
    std::vector<int> ids;
    for (const ManagedController& c : controllers(rootId))
        ids.push_back(c.deviceId);
    return removeEach(ids);
}

// One refusal is told once: the controllers after it stay rather than repeat the message.
int ControllerManagement::removeEach(const std::vector<int>& deviceIds) {
    int removed = 0;
    for (int id : deviceIds) {
        if (!directory_.deleteController(id)) break;
        ++removed;
    }
    return removed;
}

} // namespace iomira
