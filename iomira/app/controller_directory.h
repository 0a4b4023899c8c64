#pragma once

#include "app/controller_monitoring.h"
#include "core/quorvis_data.h"
#include "core/root_data.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

struct corvel_window;

namespace iomira {

class GroupArranger;
class MonitorLog;
class SharedControllers;
class Store;
class UserPrompts;

// The controller table and the group list as one set of transactions: every change reaches
// Corvel, the store and the table together, or none of them. Windows follow the signals.
class ControllerDirectory : public QObject {
    Q_OBJECT
  public:
    ControllerDirectory(Store& store, UserPrompts& prompts, QObject* parent = nullptr);

    // The groups from the store; false when the store could not be read.
    bool loadGroups();
    // Start-up: the controller table, the log, and the window Corvel reports to.
    void setControllers(SharedControllers& controllers, MonitorLog& log, corvel_window* window);
    // The command-line administration: the table without connections, whatever a record's
    // AutomaticConnection says.
    void setControllersOnly(SharedControllers& controllers);

    // Where the last run left the operator: the group shown and the controller that was open.
    struct LastShown {
        int rootId = 0;
        int deviceId = -1;
    };
    // Start-up, before the polling thread runs: announces every stored controller in group
    // and position order, splitting groups beyond 30 into new ones, and starts the automatic
    // connections.
    LastShown fillAtStartup();

    Store& store() { return store_; }
    UserPrompts& prompts() { return prompts_; }
    CROOTDataList& groups() { return groups_; }
    const CROOTDataList& groups() const { return groups_; }
    SharedControllers* controllers() const { return controllers_; }
    CQUORVISData* find(int deviceId) const;
    ControllerMonitoring& monitoring() { return monitoring_; }

    // Told after each record of a table, added or refused, so that a long restore or import
    // can show how far it is and keep the window responsive.
    using TableProgress = std::function<void(int done, int total)>;
    struct TableAdded {
        int added = 0;
        int lastOpened = -1; // the last added one that was open at its last run, or -1
    };
    // Adds a table of controllers (restore, import), each placed by its group's name.
    TableAdded addTable(const std::vector<CQUORVISData>& records,
                        const TableProgress& progress = {});
    // The same; the id of the last one that was open at its last run, or -1.
    int addControllers(const std::vector<CQUORVISData>& records) {
        return addTable(records).lastOpened;
    }
    // Registers the add dialog's new controllers in the groups they name, in order; the id
    // of the last one added, or -1.
    int addNewControllers(const std::vector<CQUORVISData>& accepted);
    // Removes the controller from Corvel, the store and the table; false (and told) when
    // Corvel refuses.
    bool deleteController(int deviceId);
    // Asks first; deletes every controller of the group, then the group.
    bool deleteGroup(int rootId);
    // Without a question, the default group too: every controller of the group, then the
    // group (a restore that replaces everything).
    bool removeGroup(int rootId);
    // A group with a given id and name at the end of the list, stored (a restore); false
    // (told) when the store refused it.
    bool appendGroup(int rootId, const QString& name);
    bool moveController(int deviceId, int rootId);
    // A new group with the next Index, stored; its id, or -1 (told) when none could be made.
    int addGroup(const QString& name);
    // The same, but the group list is re-sorted by the windows (import, splitting).
    int addGroupByName(const QString& name);
    bool renameGroup(int rootId, const QString& name);
    // An in-place edit of a controller: description (kind 0) or an information line.
    bool editController(int deviceId, int kind, const QString& text);
    // The record after a change already made in memory reaches Corvel (when closed) and the
    // store; a refusal puts back `before` everywhere.
    bool applyControllerChange(int deviceId, const CQUORVISData& before);
    // Saves the changed record first and changes the table only when the store took it.
    bool saveThenChange(int deviceId, const std::function<void(CQUORVISData&)>& change);
    // The modify dialog's OK: the edited record replaces the controller's in Corvel, the
    // store and the table, then the controller moves to the group the record names. A
    // refusal is told and leaves everything as it was.
    bool modifyController(int deviceId, const CQUORVISData& edited, bool portsChanged);

    GroupArranger arranger();

  signals:
    void controllerAdded(int deviceId);
    void controllerChanged(int deviceId);
    // Corvel took new connection settings; the connection is closed now.
    void connectionSettingsApplied(int deviceId);
    void controllerRemoved(int deviceId);
    void controllerMoved(int deviceId, int fromRootId, int toRootId);
    // The controller's port counts changed: its window is laid out anew.
    void controllerPortsChanged(int deviceId);
    // A group made by the import or a split; the top level is sorted again.
    void groupAdded(int rootId);
    void groupRemoved(int rootId);
    void groupRenamed(int rootId);
    void groupsChanged();

  private:
    CQUORVISData* addController(const CQUORVISData& source);
    // Corvel, store and table take the record at the end of its group, or none of them.
    CQUORVISData* registerController(std::unique_ptr<CQUORVISData> record);
    bool commitChange(int deviceId, const CQUORVISData& before, bool updateCorvel);
    void notSaved();

    Store& store_;
    UserPrompts& prompts_;
    CROOTDataList groups_;
    SharedControllers* controllers_ = nullptr;
    corvel_window* window_ = nullptr;
    ControllerMonitoring monitoring_;
};

} // namespace iomira
