#pragma once

#include "monitor/connection_manager.h"
#include "app/context_menu_rules.h"
#include "monitor/monitor_events.h"
#include "monitor/notification_handler.h"
#include "notify/notification_mailer.h"
#include "notify/port_change_dispatch.h"
#include "core/quorvis_data.h"
#include "core/root_data.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QTreeWidgetItem;
struct corvel_window;

namespace iomira {

class CViewTree;
class GroupArranger;
class MonitorLog;
class SharedControllers;
class Store;
class UserPrompts;

// The device list: groups, their controllers and each controller's information lines, the
// context menu and its commands, in-place editing, and Corvel's notifications as the
// controllers' state follows them.
class CDeviceListPane : public QWidget, public MonitorEvents {
    Q_OBJECT
public:
    static constexpr int kControlId = 1234;

    CDeviceListPane(Store& store, UserPrompts& prompts, QWidget* parent = nullptr);
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

    // Context menu commands on the current item.
    void runCommand(int command);
    void connectSelected();
    void disconnectSelected();
    void deleteSelectedController();
    void addGroup();
    void deleteSelectedGroup();
    bool deleteController(int deviceId);

    CROOTDataList& groups() { return groups_; }
    CViewTree* tree() const { return tree_; }
    ConnectionManager* connections() const { return connections_.get(); }
    // The main frame's disconnect operation; when unset the pane disconnects by itself.
    std::function<void(int deviceId)> disconnectOperation;
    // Runs the add-group dialog; returns false when cancelled. Replaceable for tests.
    std::function<bool(QString& name)> askGroupName;
    // The sound dialogs of the context menu: one controller's input sounds, the sound library.
    std::function<void(int deviceId)> soundNotificationCommand;
    std::function<void()> soundFileCommand;
    // The shown group's windows follow every Show group; a clicked item's controller comes forward.
    std::function<void(int rootId)> showGroupWindows;
    std::function<void(QTreeWidgetItem* item)> activateItemWindow;
    PortChangeDispatch& dispatch() { return dispatch_; }
    // Starts the pane's mail thread and queues the dispatch's mails to it.
    void startMailNotifications(const NotificationMailTables& tables);
    NotificationMailer* mailer() const { return mailer_.get(); }
    // The entries of the context menu for the current item (exposed for checking).
    std::vector<MenuEntry> contextEntries() const;

    // In-place editing, as the tree asks: may the item's edit open (if not, the user has
    // been told why), and the text committed for an item (type, id, owning controller).
    bool mayEdit(QTreeWidgetItem* item);
    void commitEdit(int type, int data, int ownerId, const QString& text);

    // MonitorEvents
    void connectionStarted(int deviceId) override;
    void connectionNotified(int deviceId, intptr_t lparam) override;
    void showError(const QString& message) override;

signals:
    void shownGroupChanged(int rootId);
    void groupsChanged();
    void controllerChanged(int deviceId);
    void controllerRemoved(int deviceId);
    void controllerConnectionStarted(int deviceId);

private:
    QTreeWidgetItem* newGroupItem(const CROOTData& group);
    void fillInfoLines(QTreeWidgetItem* item, const CQUORVISData& controller);
    CQUORVISData* selectedController() const;
    QTreeWidgetItem* selectedGroupItem() const;
    void showContextMenu(QTreeWidgetItem* item, const QPoint& globalPos);
    GroupArranger arranger();

    void commitGroupName(int rootId, const QString& text);
    void commitControllerEdit(int deviceId, int kind, const QString& text);
    void applyControllerChange(int deviceId, const CQUORVISData& before);

    Store& store_;
    UserPrompts& prompts_;
    CViewTree* tree_;
    CROOTDataList groups_;
    SharedControllers* controllers_ = nullptr;
    MonitorLog* log_ = nullptr;
    corvel_window* window_ = nullptr;
    std::unique_ptr<ConnectionManager> connections_;
    std::unique_ptr<NotificationHandler> handler_;
    PortChangeDispatch dispatch_;
    std::unique_ptr<NotificationMailer> mailer_;
    QTimer reconnectTimer_;
    int shownGroupId_ = 0;
    bool groupShown_ = false;
};

} // namespace iomira
