#include "core/controller_table.h"

#include "core/random_id.h"

#include <iterator>

namespace iomira {

namespace {

constexpr int kMaxDeviceId = 32767;

// Puts a member of the group at its position; the first in the table's order keeps a position,
// as FindInGroup finds it, and one outside the group's count is left out.
void place(std::vector<CQUORVISData*>& members, CQUORVISData* record) {
    if (record->Index < 0) return;
    const auto position = static_cast<size_t>(record->Index);
    if (position < members.size() && !members[position]) members[position] = record;
}

} // namespace

bool ControllerTable::insert(std::unique_ptr<CQUORVISData> record) {
    if (!record) return false;
    const int id = record->DeviceId;
    return records_.emplace(id, std::move(record)).second;
}

CQUORVISData* ControllerTable::find(int deviceId) const {
    const auto it = records_.find(deviceId);
    return it == records_.end() ? nullptr : it->second.get();
}

int ControllerTable::CountInGroup(int rootId) const {
    int count = 0;
    for (const auto& [id, record] : records_)
        count += record->RootID == rootId ? 1 : 0;
    return count;
}

CQUORVISData* ControllerTable::FindInGroup(int rootId, int index) const {
    for (const auto& [id, record] : records_) {
        if (record->RootID == rootId && record->Index == index) return record.get();
    }
    return nullptr;
}

std::vector<CQUORVISData*> ControllerTable::GroupMembers(int rootId) const {
    std::vector<CQUORVISData*> members(static_cast<size_t>(CountInGroup(rootId)), nullptr);
    for (const auto& [id, record] : records_) {
        if (record->RootID == rootId) place(members, record.get());
    }
    return members;
}

std::unordered_map<int, std::vector<CQUORVISData*>> ControllerTable::EveryGroupsMembers() const {
    std::unordered_map<int, std::vector<CQUORVISData*>> groups;
    for (const auto& [id, record] : records_)
        groups[record->RootID].push_back(nullptr);
    for (const auto& [id, record] : records_)
        place(groups[record->RootID], record.get());
    return groups;
}

CQUORVISData* ControllerTable::ControllerAfter(int deviceId) const {
    const auto it = records_.upper_bound(deviceId);
    return it == records_.end() ? nullptr : it->second.get();
}

void ControllerTable::shiftDown(int rootId, int index, int exceptId, bool save) {
    for (const auto& [id, record] : records_) {
        if (id == exceptId || record->RootID != rootId || record->Index <= index) continue;
        --record->Index;
        if (save && saver_) saver_(*record);
    }
}

void ControllerTable::RemoveController(int deviceId, bool save) {
    const auto it = records_.find(deviceId);
    if (it == records_.end()) return;
    shiftDown(it->second->RootID, it->second->Index, deviceId, save);
    records_.erase(it);
}

void ControllerTable::CloseGroupGap(int rootId, int index) {
    shiftDown(rootId, index, -1, true);
}

int ControllerTable::NewDeviceId() const {
    return drawFreeId(0, kMaxDeviceId, [this](int id) { return contains(id); });
}

} // namespace iomira
