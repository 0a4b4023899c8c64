#pragma once

#include "app/context_menu_rules.h"
#include "app/controller_directory.h"
#include "app/script_import.h"
#include "core/quorvis_data.h"
#include "core/root_data.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QTreeWidgetItem;
struct corvel_window;

namespace iomira {

class CViewTree;
class MonitorLog;
class SharedControllers;

// The device list: groups, their controllers and each controller's information lines, the
// context menu and in-place editing. The directory makes the changes; the tree follows it.
class CDeviceListPane : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kControlId = 1234;

    explicit CDeviceListPane(ControllerDirectory& directory, QWidget* parent = nullptr);
    ~CDeviceListPane() override;

    // Creation: the groups from the store, each an expanded top-level item, sorted.
    bool loadGroups();
    // Start-up: the controller table, the log, and the window Corvel reports to.
    void setControllers(SharedControllers& controllers, MonitorLog& log, corvel_window* window);
    // Start-up fill: the 30-per-group split, automatic connections, the last shown group.
    void fillAtStartup();
    void startTimers();
    void stopTimers();

    // Corvel's notifications, relayed by the main frame.
    // A Corvel notification of either kind; false for a message that is neither.
    bool onCorvelNotification(uint32_t message, uintptr_t deviceId, intptr_t lparam);
    void onConnectionNotification(uintptr_t deviceId, intptr_t lparam);
    void onDataNotification(uintptr_t deviceId, intptr_t code);

    // Operations offered to the rest of the program.
    void insertControllerItem(const CQUORVISData& controller);
    void refreshControllerItem(int deviceId);
    void setControllerIcon(int deviceId, int icon);
    bool moveController(int deviceId, int rootId);
    void selectController(int deviceId);
    int addGroupByName(const QString& name);
    QTreeWidgetItem* findGroupItem(int rootId) const;
    QTreeWidgetItem* findControllerItem(int deviceId) const;
    int shownGroupId() const { return shownGroupId_; }
    bool groupShown() const { return groupShown_; }
    QString shownGroupName() const;
    void showGroup(int rootId);
    // Adds a table of controllers (restore, import), each placed by its group's name.
    void addControllers(const std::vector<CQUORVISData>& records);
    // Runs a change of many groups and controllers (a restore), then shows the group that
    // was selected, or the first group when that one is gone.
    void changeKeepingShownGroup(const std::function<void()>& change);
    // Adds the controllers a script gave, keeping the group the operator is in.
    ScriptImportSummary addScript(const ScriptReadOutcome& outcome,
                                  const ControllerDirectory::TableProgress& progress = {});

    // Context menu commands on the current item.
    void runCommand(int command);
    void connectSelected();
    void disconnectSelected();
    void deleteSelectedController();
    void addGroup();
    void deleteSelectedGroup();
    bool deleteController(int deviceId);

    ControllerDirectory& directory() { return directory_; }
    CROOTDataList& groups() { return directory_.groups(); }
    CViewTree* tree() const { return tree_; }
    ConnectionManager* connections() const { return directory_.monitoring().connections(); }
    // The main frame's disconnect operation; when unset the pane disconnects by itself.
    std::function<void(int deviceId)> disconnectOperation;
    // Runs the add-group dialog; returns false when cancelled. Replaceable for tests.
    std::function<bool(QString& name)> askGroupName;
    // The sound dialogs of the context menu: one controller's input sounds, the sound library.
    std::function<void(int deviceId)> soundNotificationCommand;
    std::function<void()> soundFileCommand;
    // The add dialog, and the modify dialog of a controller.
    std::function<void()> addControllerCommand;
    std::function<void(int deviceId)> modifyControllerCommand;
    // The shown group's windows follow every Show group; a clicked item's controller comes forward.
    std::function<void(int rootId)> showGroupWindows;
    std::function<void(QTreeWidgetItem* item)> activateItemWindow;
    PortChangeDispatch& dispatch() { return directory_.monitoring().dispatch(); }
    // Exists once the controllers are set.
    LinkNotifier* links() { return directory_.monitoring().links(); }
    // Starts the mail thread and queues the dispatch's mails to it.
    void startMailNotifications(const NotificationMailTables& tables);
    NotificationMailer* mailer() const { return directory_.monitoring().mailer(); }
    // The entries of the context menu for the current item (exposed for checking).
    std::vector<MenuEntry> contextEntries() const;

    // In-place editing, as the tree asks: may the item's edit open (if not, the user has
    // been told why), and the text committed for an item (type, id, owning controller).
    bool mayEdit(QTreeWidgetItem* item);
    void commitEdit(int type, int data, int ownerId, const QString& text);

  signals:
    void shownGroupChanged(int rootId);
    void groupsChanged();
    void controllerChanged(int deviceId);
    void controllerRemoved(int deviceId);
    void controllerConnectionStarted(int deviceId);

  private:
    QTreeWidgetItem* newGroupItem(const CROOTData& group);
    void showInfoLines(QTreeWidgetItem* item);
    void fillInfoLines(QTreeWidgetItem* item, const CQUORVISData& controller);
    CQUORVISData* selectedController() const;
    QTreeWidgetItem* selectedGroupItem() const;
    int selectedGroupId() const;
    void reshowGroup(int rootId);
    void showContextMenu(QTreeWidgetItem* item, const QPoint& globalPos);
    void followDirectory();
    void showConnectionIcon(int deviceId, intptr_t lparam);
    void showMoved(int deviceId, int toRootId);
    void showGroupRemoved(int rootId);
    void showGroupRenamed(int rootId);

    ControllerDirectory& directory_;
    UserPrompts& prompts_;
    CViewTree* tree_;
    int shownGroupId_ = 0;
    bool groupShown_ = false;
};

} // namespace iomira
