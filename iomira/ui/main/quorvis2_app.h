#pragma once

#include "app/configuration_tables.h"
#include "core/controller_table.h"
#include "core/event_log.h"
#include "core/global_settings.h"
#include "core/log_entries.h"
#include "core/schedule_list.h"
#include "core/sound_library.h"
#include "monitor/log_switches.h"
#include "monitor/monitor_log.h"
#include "monitor/polling_thread.h"
#include "monitor/shared_controllers.h"
#include "notify/mail_account.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <memory>

namespace iomira {

class CDeviceListPane;
class ControllerDirectory;
class CMainFrame;
class DeferredStore;
class SqliteStore;
class StoreLock;
class UserPrompts;

// The application: owns every table for the program's run and starts it up in order.
class CQuorvis2App : public QObject {
    Q_OBJECT
  public:
    CQuorvis2App();
    ~CQuorvis2App() override;

    // The start-up sequence; false ends the program (the reason has been shown).
    bool InitInstance();

    CMainFrame* mainFrame() const { return frame_.get(); }
    ControllerTable& controllers() { return controllers_; }
    CMailAccountMap& mailAccounts() { return mailAccounts_; }
    SharedControllers& sharedControllers() { return shared_; }
    EventLog* eventLog() const { return log_.get(); }
    const GlobalSwitches& switches() const { return switches_; }
    int languageId() const { return languageId_; }
    Store& store();
    // What a backup holds, as the program keeps it.
    ConfigurationTables configuration();

    // Replaces the message boxes (tests); must be set before InitInstance.
    void setPrompts(UserPrompts* prompts) { prompts_ = prompts; }
    // Polling period; tests shorten nothing, benchmarks may lengthen it.
    PollingThread* pollingThread() const { return poller_.get(); }

  private:
    bool openStore();
    void holdRefusedWrites();
    void saveHeldWritesBeforeEnd();
    void applyLanguage();
    bool loadStoredObjects();
    void startDispatcher();
    void wireNotifications(CDeviceListPane& pane);
    void wireAdministration(CDeviceListPane& pane);

    std::unique_ptr<SqliteStore> storeFile_;
    // Every part of the program writes through this: a write the file refuses is kept and
    // written again each second, and the user interface never waits long for the file.
    std::unique_ptr<DeferredStore> store_;
    QTimer heldWritesRetry_;
    // One program per store; a command-line restore or import waits for it to end.
    std::unique_ptr<StoreLock> storeLock_;
    std::unique_ptr<UserPrompts> ownPrompts_;
    UserPrompts* prompts_ = nullptr;
    ControllerTable controllers_;
    SharedControllers shared_{controllers_};
    SoundLibrary sounds_;
    CMailAccountMap mailAccounts_;
    CScheduleDataList mailSchedules_;
    CScheduleDataList messageSchedules_;
    GlobalSwitches switches_;
    LogSwitches logSwitches_;
    std::unique_ptr<EventLog> log_;
    std::unique_ptr<EventLogWriters> writers_;
    std::unique_ptr<MonitorLog> monitorLog_;
    // The frame's tree follows the directory, so the directory outlives the frame.
    std::unique_ptr<ControllerDirectory> directory_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<QSocketNotifier> dispatcher_;
    std::unique_ptr<PollingThread> poller_;
    int languageId_ = 0;
};

} // namespace iomira
