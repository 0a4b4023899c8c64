#pragma once

#include <QString>

#include <vector>

namespace iomira {

class ControllerDirectory;

struct ManagedGroup {
    int rootId = 0;
    QString name;
    bool operator==(const ManagedGroup&) const = default;
};

struct ManagedController {
    int deviceId = 0;
    QString text;
    bool operator==(const ManagedController&) const = default;
};

// The groups the two panels start on, as positions in the group list (-1: none).
struct PanelGroups {
    int left = -1;
    int right = -1;
    bool operator==(const PanelGroups&) const = default;
};

// Left the first group, right the second; a lone group is on both sides.
PanelGroups initialPanelGroups(int groupCount);

// Why a move between the panels may not go ahead, as a text id; 0 when it may.
int moveRefusal(int fromRootId, int toRootId, int selectedCount, int destinationCount);

// Moving controllers between two groups and deleting them in bulk. Every change goes through
// the directory, so that the tree, the store and the windows follow it.
class ControllerManagement {
  public:
    explicit ControllerManagement(ControllerDirectory& directory) : directory_(directory) {}

    // Every group in Index order.
    std::vector<ManagedGroup> groups() const;
    // The group's controllers in Index order.
    std::vector<ManagedController> controllers(int rootId) const;

    // Moves the selected controllers, in list order, to the end of the other group; a refusal
    // is told. Returns how many moved; the first one the directory refuses ends the move.
    int move(const std::vector<int>& selected, int fromRootId, int toRootId);
    // Deletes the selected controllers in list order; told when nothing is selected. Returns
    // how many went; the first one Corvel refuses ends the deletion.
    int remove(const std::vector<int>& selected);
    // Deletes every controller of the group, without a question.
    int removeAll(int rootId);

  private:
    int removeEach(const std::vector<int>& deviceIds);

    ControllerDirectory& directory_;
};

} // namespace iomira
