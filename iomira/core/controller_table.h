#pragma once

#include "core/quorvis_data.h"

#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

namespace iomira {

// Writes one record through to the store; the table calls it for every shifted position.
using ControllerSaver = std::function<void(const CQUORVISData&)>;

// Every registered controller, keyed by DeviceId. Iteration follows the table's own order.
class ControllerTable {
  public:
    explicit ControllerTable(ControllerSaver saver = {}) : saver_(std::move(saver)) {}

    void setSaver(ControllerSaver saver) { saver_ = std::move(saver); }

    // Takes ownership; refuses (and returns false for) a DeviceId already in the table.
    bool insert(std::unique_ptr<CQUORVISData> record);
    CQUORVISData* find(int deviceId) const;
    bool contains(int deviceId) const { return records_.count(deviceId) != 0; }
    int size() const { return static_cast<int>(records_.size()); }
    bool empty() const { return records_.empty(); }

    int CountInGroup(int rootId) const;
    CQUORVISData* FindInGroup(int rootId, int index) const;
    // FindInGroup for every position of the group, 0 to CountInGroup - 1, from one walk over
    // the table: a position no controller holds is null.
    std::vector<CQUORVISData*> GroupMembers(int rootId) const;
    // GroupMembers of every group that holds a controller, from two walks over the table.
    std::unordered_map<int, std::vector<CQUORVISData*>> EveryGroupsMembers() const;
    // The controller with the lowest DeviceId above deviceId, or null: a walk over the table
    // that stays in order however the table changes between its steps.
    CQUORVISData* ControllerAfter(int deviceId) const;
    // Shifts the later positions of the group down (saving them when `save`) and destroys it.
    void RemoveController(int deviceId, bool save);
    // A controller left the group at `index`: later positions move down and are saved.
    void CloseGroupGap(int rootId, int index);
    int NewDeviceId() const;

    template <typename F> void forEach(F&& visit) const {
        for (const auto& [id, record] : records_)
            visit(*record);
    }

  private:
    void shiftDown(int rootId, int index, int exceptId, bool save);

    std::map<int, std::unique_ptr<CQUORVISData>> records_;
    ControllerSaver saver_;
};

} // namespace iomira
