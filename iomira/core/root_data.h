#pragma once

#include <QString>

#include <functional>
#include <map>
#include <memory>

namespace iomira {

inline constexpr int kMaxGroupId = 4000;
inline constexpr int kMaxControllersPerGroup = 30;

// One group of the device tree. The group at Index 0 is the default group.
class CROOTData {
  public:
    CROOTData() = default;
    CROOTData(int rootId, QString name, int index)
        : RootID(rootId), RootName(std::move(name)), Index(index) {}
    virtual ~CROOTData() = default;

    int RootID = 0;
    QString RootName;
    int Index = 0;
};

using GroupSaver = std::function<void(const CROOTData&)>;

// Every group, keyed by RootID.
class CROOTDataList {
  public:
    explicit CROOTDataList(GroupSaver saver = {}) : saver_(std::move(saver)) {}

    void setSaver(GroupSaver saver) { saver_ = std::move(saver); }

    // Takes ownership; a group with the same RootID is replaced, as a later store key does.
    void insert(std::unique_ptr<CROOTData> group);
    CROOTData* find(int rootId) const;
    int size() const { return static_cast<int>(groups_.size()); }
    bool empty() const { return groups_.empty(); }

    CROOTData* GroupAt(int index) const;
    CROOTData* FindGroupByName(const QString& name) const;
    // Later groups move down one position and are saved; the group is destroyed.
    void RemoveGroup(int rootId);
    // A fresh id from 0 to 4000, or -1 when all 4001 are in use (see groupIdsExhaustedText).
    int NewGroupId() const;

    template <typename F> void forEach(F&& visit) const {
        for (const auto& [id, group] : groups_)
            visit(*group);
    }

  private:
    std::map<int, std::unique_ptr<CROOTData>> groups_;
    GroupSaver saver_;
};

// The message shown when NewGroupId has nothing left to give.
QString groupIdsExhaustedText();

} // namespace iomira
