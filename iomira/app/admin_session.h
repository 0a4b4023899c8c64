#pragma once

#include "app/configuration_tables.h"
#include "app/controller_directory.h"
#include "core/controller_table.h"
#include "core/global_settings.h"
#include "core/schedule_list.h"
#include "core/sound_library.h"
#include "core/sqlite_store.h"
#include "core/store_lock.h"
#include "monitor/shared_controllers.h"
#include "notify/mail_account.h"

#include <memory>

namespace iomira {

class UserPrompts;

// The program's configuration loaded from its store without a window and without
// connections: what the command-line administration reads and changes.
class AdminSession {
  public:
    enum Access {
        ReadOnly,  // beside a running program (a backup)
        Exclusive, // refused while a program runs on the store (restore, import)
    };
    // Null with `error` set when the store cannot be opened, read or (Exclusive) locked.
    static std::unique_ptr<AdminSession> open(const QString& storePath, Access access,
                                              UserPrompts& prompts, QString* error);
    ~AdminSession();

    AdminSession(const AdminSession&) = delete;
    AdminSession& operator=(const AdminSession&) = delete;

    ConfigurationTables tables();
    ControllerDirectory& directory() { return *directory_; }
    const ControllerTable& controllers() const { return controllers_; }

  private:
    AdminSession(std::unique_ptr<SqliteStore> store, UserPrompts& prompts);
    bool load(QString* error);

    std::unique_ptr<StoreLock> lock_;
    std::unique_ptr<SqliteStore> store_;
    UserPrompts& prompts_;
    ControllerTable controllers_;
    SharedControllers shared_{controllers_};
    std::unique_ptr<ControllerDirectory> directory_;
    CMailAccountMap mailAccounts_;
    CScheduleDataList mailSchedules_;
    CScheduleDataList messageSchedules_;
    SoundLibrary sounds_;
    GlobalSwitches switches_;
};

} // namespace iomira
