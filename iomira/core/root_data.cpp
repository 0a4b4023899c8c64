#include "core/root_data.h"

#include "core/random_id.h"
#include "core/string_table.h"
#include "core/texts.h"

namespace iomira {

void CROOTDataList::insert(std::unique_ptr<CROOTData> group) {
    if (!group) return;
    const int id = group->RootID;
    groups_[id] = std::move(group);
}

CROOTData* CROOTDataList::find(int rootId) const {
    const auto it = groups_.find(rootId);
    return it == groups_.end() ? nullptr : it->second.get();
}

CROOTData* CROOTDataList::GroupAt(int index) const {
    for (const auto& [id, group] : groups_) {
        if (group->Index == index) return group.get();
    }
    return nullptr;
}

CROOTData* CROOTDataList::FindGroupByName(const QString& name) const {
    for (const auto& [id, group] : groups_) {
        if (group->RootName == name) return group.get();
    }
    return nullptr;
}

void CROOTDataList::RemoveGroup(int rootId) {
    const auto it = groups_.find(rootId);
    if (it == groups_.end()) return;
    const int removedIndex = it->second->Index;
    for (const auto& [id, group] : groups_) {
        if (id == rootId || group->Index <= removedIndex) continue;
        --group->Index;
        if (saver_) saver_(*group);
    }
    groups_.erase(it);
}

int CROOTDataList::NewGroupId() const {
    int inRange = 0;
    for (const auto& [id, group] : groups_)
        inRange += (id >= 0 && id <= kMaxGroupId) ? 1 : 0;
    if (inRange > kMaxGroupId) return -1;
    return drawFreeId(0, kMaxGroupId, [this](int id) { return groups_.count(id) != 0; });
}

QString groupIdsExhaustedText() {
    return loadString(TEXT_GROUP_IDS_EXHAUSTED);
}

} // namespace iomira
