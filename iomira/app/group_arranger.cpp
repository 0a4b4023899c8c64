#include "app/group_arranger.h"

#include "core/controller_keys.h"
#include "core/controller_table.h"
#include "core/group_store.h"
#include "core/root_data.h"

#include <vector>

namespace iomira {

GroupArranger::GroupArranger(ControllerTable& controllers, CROOTDataList& groups, Store& store,
                             Callbacks callbacks)
    : controllers_(controllers), groups_(groups), store_(store), callbacks_(std::move(callbacks)) {}

int GroupArranger::addGroupByName(const QString& name) {
    const int id = groups_.NewGroupId();
    if (id < 0) {
        if (callbacks_.showError) callbacks_.showError(groupIdsExhaustedText());
        return -1;
    }
    auto group = std::make_unique<CROOTData>(id, name, groups_.size());
    saveGroup(store_, *group);
    const CROOTData& added = *group;
    groups_.insert(std::move(group));
    if (callbacks_.groupAdded) callbacks_.groupAdded(added);
    return id;
}

void GroupArranger::splitAtStartup() {
    // Groups made by splitting are not walked again: the count is taken first.
    const int count = groups_.size();
    std::vector<int> order;
    for (int index = 0; index < count; ++index) {
        if (const CROOTData* g = groups_.GroupAt(index)) order.push_back(g->RootID);
    }
    // Splitting moves controllers only into the new groups, so the others' members stay.
    const auto members = controllers_.EveryGroupsMembers();
    for (int rootId : order) {
        CROOTData* g = groups_.find(rootId);
        const auto found = members.find(rootId);
        if (g && found != members.end()) splitGroup(*g, found->second);
    }
}

void GroupArranger::splitGroup(CROOTData& group, const std::vector<CQUORVISData*>& members) {
    const QString name = group.RootName;
    int target = -1;
    int targetCount = 0; // the target group is new: only this walk fills it
    for (size_t position = 0; position < members.size(); ++position) {
        CQUORVISData* c = members[position];
        if (!c) continue;
        const int i = static_cast<int>(position);
        if (i >= kMaxControllersPerGroup && i % kMaxControllersPerGroup == 0) {
            const int added =
                addGroupByName(QStringLiteral("%1(%2)").arg(name).arg(i / kMaxControllersPerGroup));
            if (added >= 0) {
                target = added;
                targetCount = 0;
            }
        }
        if (target >= 0) {
            c->Index = targetCount++;
            c->RootID = target;
            saveController(store_, *c);
        }
        if (callbacks_.controllerVisited) callbacks_.controllerVisited(*c);
    }
}

int GroupArranger::placeByGroupName(const QString& name) {
    for (int i = 0;; ++i) {
        const QString candidate = i == 0 ? name : QStringLiteral("%1(%2)").arg(name).arg(i);
        const CROOTData* found = groups_.FindGroupByName(candidate);
        if (!found) {
            if (candidate.isEmpty()) {
                const CROOTData* first = groups_.GroupAt(0);
                return first ? first->RootID : 0;
            }
            return addGroupByName(candidate);
        }
        if (controllers_.CountInGroup(found->RootID) < kMaxControllersPerGroup)
            return found->RootID;
    }
}

} // namespace iomira
