#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace iomira {

class CQUORVISData;
class CROOTData;
class CROOTDataList;
class ControllerTable;
class Store;

// Keeps groups within 30 controllers: the start-up split, adding a group by name and placing
// a controller by group name. The tree follows through the callbacks.
class GroupArranger {
  public:
    struct Callbacks {
        std::function<void(const CROOTData&)> groupAdded;     // insert and re-sort the top level
        std::function<void(CQUORVISData&)> controllerVisited; // start-up: connect, insert
        std::function<void(const QString&)> showError;
    };

    GroupArranger(ControllerTable& controllers, CROOTDataList& groups, Store& store,
                  Callbacks callbacks);

    // Walks every group in Index order and its controllers in position order, moving every
    // controller from the 31st on into new groups "<name>(1)", "<name>(2)", ... of 30 each.
    void splitAtStartup();
    // A new group with the next Index, stored; its RootID, or -1 when none could be made.
    int addGroupByName(const QString& name);
    // The group a controller named after `name` goes to, creating "<name>(n)" as needed.
    int placeByGroupName(const QString& name);

  private:
    void splitGroup(CROOTData& group, const std::vector<CQUORVISData*>& members);

    ControllerTable& controllers_;
    CROOTDataList& groups_;
    Store& store_;
    Callbacks callbacks_;
};

} // namespace iomira
