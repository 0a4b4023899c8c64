#include "app/admin_session.h"

#include "core/controller_keys.h"
#include "core/object_loader.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "corvel/corvel.h"
#include "monitor/corvel_registration.h"
#include "notify/mail_account_store.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace iomira {

std::unique_ptr<AdminSession> AdminSession::open(const QString& storePath, Access access,
                                                 UserPrompts& prompts, QString* error) {
    // A backup of a store that does not exist would make an empty one.
    if (access == ReadOnly && !QFileInfo::exists(storePath)) {
        *error = storeOpenMessage({storePath, loadString(TEXT_STORE_MISSING)});
        return nullptr;
    }
    StoreOpenError openError;
    std::unique_ptr<SqliteStore> store = SqliteStore::open(storePath, &openError);
    if (!store) {
        *error = storeOpenMessage(openError);
        return nullptr;
    }
    std::unique_ptr<StoreLock> lock;
    if (access == Exclusive) {
        lock = StoreLock::acquire(storePath, error);
        if (!lock) return nullptr;
    }
    std::unique_ptr<AdminSession> session(new AdminSession(std::move(store), prompts));
    session->lock_ = std::move(lock);
    if (!session->load(error)) return nullptr;
    return session;
}

AdminSession::AdminSession(std::unique_ptr<SqliteStore> store, UserPrompts& prompts)
    : store_(std::move(store)), prompts_(prompts) {
    controllers_.setSaver([this](const CQUORVISData& c) { saveController(*store_, c); });
    directory_ = std::make_unique<ControllerDirectory>(*store_, prompts_);
    directory_->setControllersOnly(shared_);
}

AdminSession::~AdminSession() {
    controllers_.forEach([](const CQUORVISData& c) { delete_device(c.DeviceId); });
}

bool AdminSession::load(QString* error) {
    ObjectLoadTargets targets{controllers_,
                              sounds_,
                              mailSchedules_,
                              messageSchedules_,
                              QCoreApplication::applicationDirPath(),
                              {},
                              {},
                              {},
                              {&directory_->groups(), {}, {}}};
    // Registered so that deleting and adding go through Corvel as in the program; nothing
    // is ever connected here.
    targets.registerController = [](const CQUORVISData& c) { return registerInCorvel(nullptr, c); };
    targets.reportError = [this](const QString& message) { prompts_.error(message); };
    // A session that does not hold the store (a backup) repairs its copy only.
    if (lock_) {
        targets.repairs.save = [this](const CQUORVISData& c) { return saveController(*store_, c); };
    }
    targets.repairs.report = [this](const QString& message) { prompts_.warning(message); };
    targets.loadMailAccount = [this](const QString&, const KeyValues& values) {
        mailAccounts_.insert(readMailAccount(values));
    };
    if (!directory_->loadGroups() || !loadObjects(*store_, targets) ||
        !readGlobalSwitches(*store_, switches_)) {
        *error = storeReadMessage(store_->path(), store_->lastError());
        return false;
    }
    return true;
}

ConfigurationTables AdminSession::tables() {
    return {*store_,           *directory_, mailAccounts_, mailSchedules_,
            messageSchedules_, sounds_,     switches_};
}

} // namespace iomira
