#include "app/backup_restore.h"

#include "app/backup_file.h"

#include "core/mail_account_keys.h"
#include "core/schedule_store.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "monitor/shared_controllers.h"
#include "notify/mail_account_store.h"

#include <QFileInfo>

#include <algorithm>
#include <map>

namespace iomira {

namespace {

constexpr GlobalValue kBackupSwitchValues[BACKUP_SWITCH_COUNT] = {INPUT_NOTIFICATION,
                                                                  LOG_TCP,
                                                                  LOG_INPUT,
                                                                  LOG_OUTPUT,
                                                                  LOG_NOTIFICATION_EMAIL,
                                                                  USE_EMAIL_SCHEDULE,
                                                                  USE_NOTIFICATION_MESSAGE_SCHEDULE,
                                                                  USE_LOGIN};

// "%s(%d)" with 1, 2, 3 … until `taken` no longer knows the name.
template <typename Taken> QString unusedName(const QString& name, Taken taken) {
    QString candidate = name;
    for (int i = 1; taken(candidate); ++i)
        candidate = QStringLiteral("%1(%2)").arg(name).arg(i);
    return candidate;
}

class Restorer {
  public:
    Restorer(ConfigurationTables& tables, BackupContents contents, UserPrompts& prompts)
        : t_(tables), contents_(std::move(contents)), prompts_(prompts) {
        for (auto& entry : contents_.controllers) {
            if (entry) controllers_.push_back(std::move(*entry));
        }
    }

    RestoreSummary run(RestoreExisting existing,
                       const ControllerDirectory::TableProgress& progress) {
        if (replaceExisting(existing)) {
            deleteEverything();
            summary_.replaced = true;
        }
        countGroupMembers();
        if (dropConflicts(existing)) {
            restoreGroups();
            restoreMailAccounts();
            summary_.schedules =
                restoreSchedules(SCHEDULE_EMAIL, contents_.mailSchedules, t_.mailSchedules) +
                restoreSchedules(SCHEDULE_NOTIFICATION_MESSAGE, contents_.messageSchedules,
                                 t_.messageSchedules);
            restoreSounds();
            addControllers(progress);
        } else {
            summary_.stopped = true;
        }
        writeSwitches();
        return summary_;
    }

  private:
    bool holdsAnything() const {
        return !t_.directory.groups().empty() || !t_.directory.controllers()->table().empty();
    }

    bool replaceExisting(RestoreExisting existing) {
        switch (existing) {
        case RestoreExisting::Replace:
            return true;
        case RestoreExisting::Merge:
            return false;
        case RestoreExisting::Ask:
            break;
        }
        return holdsAnything() && prompts_.ask(loadString(TEXT_RESTORE_DELETE_QUESTION));
    }

    void deleteEverything() {
        CROOTDataList& groups = t_.directory.groups();
        for (int i = groups.size() - 1; i >= 0; --i) {
            if (const CROOTData* group = groups.GroupAt(i)) t_.directory.removeGroup(group->RootID);
        }
        std::vector<int32_t> ids;
        t_.mailAccounts.forEach([&](const CMailAccount& a) { ids.push_back(a.MailAccountId); });
        for (auto id = ids.rbegin(); id != ids.rend(); ++id) {
            if (deleteMailAccount(t_.store, *id)) t_.mailAccounts.remove(*id);
        }
        deleteSchedules(SCHEDULE_EMAIL, t_.mailSchedules);
        deleteSchedules(SCHEDULE_NOTIFICATION_MESSAGE, t_.messageSchedules);
        ids.clear();
        t_.sounds.forEach([&](const CSound& s) { ids.push_back(s.SoundId); });
        for (auto id = ids.rbegin(); id != ids.rend(); ++id)
            t_.sounds.remove(t_.store, *id);
    }

    void deleteSchedules(ScheduleKind kind, CScheduleDataList& list) {
        std::vector<int32_t> ids;
        list.forEach([&](const CScheduleData& s) { ids.push_back(s.ScheduleId); });
        for (auto id = ids.rbegin(); id != ids.rend(); ++id) {
            if (deleteSchedule(t_.store, kind, *id)) list.remove(*id);
        }
    }

    void countGroupMembers() {
        for (const CQUORVISData& c : controllers_)
            ++membersBefore_[c.RootID];
    }

    // A server already serving the same port here cannot be registered twice.
    bool conflicts(const CQUORVISData& restored) const {
        if (restored.IsServer <= 0) return false;
        bool found = false;
        t_.directory.controllers()->table().forEach([&](const CQUORVISData& c) {
            if (c.IsServer == restored.IsServer && c.HostPort == restored.HostPort) found = true;
        });
        return found;
    }

    // False when the operator chose not to go on without the conflicting controllers.
    bool dropConflicts(RestoreExisting existing) {
        QString listed;
        for (auto c = controllers_.rbegin(); c != controllers_.rend(); ++c) {
            if (!conflicts(*c)) continue;
            listed += c->DeviceComment + QLatin1Char('\n');
            summary_.skipped.prepend(c->DeviceComment);
        }
        if (listed.isEmpty()) return true;
        controllers_.erase(std::remove_if(controllers_.begin(), controllers_.end(),
                                          [this](const CQUORVISData& c) { return conflicts(c); }),
                           controllers_.end());
        if (existing != RestoreExisting::Ask) return true;
        return prompts_.ask(listed + loadString(TEXT_ALREADY_REGISTERED), true);
    }

    int membersLeft(int rootId) const {
        return static_cast<int>(
            std::count_if(controllers_.begin(), controllers_.end(),
                          [&](const CQUORVISData& c) { return c.RootID == rootId; }));
    }

    void restoreGroups() {
        std::vector<CROOTData> groups = contents_.groups;
        std::stable_sort(groups.begin(), groups.end(),
                         [](const CROOTData& a, const CROOTData& b) { return a.Index < b.Index; });
        CROOTDataList& list = t_.directory.groups();
        for (const CROOTData& group : groups) {
            const auto members = membersBefore_.find(group.RootID);
            if (members != membersBefore_.end() && membersLeft(group.RootID) == 0) continue;
            int id = group.RootID;
            if (list.find(id)) id = list.NewGroupId();
            if (id < 0) {
                prompts_.error(groupIdsExhaustedText());
                continue;
            }
            const QString name = unusedName(group.RootName, [&](const QString& candidate) {
                return list.FindGroupByName(candidate) != nullptr;
            });
            if (!t_.directory.appendGroup(id, name)) continue;
            groupIds_[group.RootID] = id;
            ++summary_.groups;
        }
    }

    void restoreMailAccounts() {
        for (CMailAccount account : contents_.mailAccounts) {
            const int32_t stored = account.MailAccountId;
            if (t_.mailAccounts.contains(stored))
                account.MailAccountId = NewMailAccountId(t_.mailAccounts);
            if (account.MailAccountId < 0) continue;
            account.MailAccountComment =
                unusedName(account.MailAccountComment, [&](const QString& candidate) {
                    bool taken = false;
                    t_.mailAccounts.forEach([&](const CMailAccount& a) {
                        if (a.MailAccountComment == candidate) taken = true;
                    });
                    return taken;
                });
            if (!SaveMailAccount(t_.store, account)) {
                notSaved();
                continue;
            }
            t_.mailAccounts.insert(account);
            accountIds_[stored] = account.MailAccountId;
            ++summary_.mailAccounts;
        }
    }

    int restoreSchedules(ScheduleKind kind, const std::vector<CScheduleData>& restored,
                         CScheduleDataList& list) {
        int count = 0;
        for (CScheduleData schedule : restored) {
            if (list.find(schedule.ScheduleId)) schedule.ScheduleId = NewScheduleId(list);
            if (schedule.ScheduleId < 0) continue;
            if (!saveSchedule(t_.store, kind, schedule)) {
                notSaved();
                continue;
            }
            list.insert(std::make_unique<CScheduleData>(schedule));
            ++count;
        }
        return count;
    }

    void restoreSounds() {
        for (CSound sound : contents_.sounds) {
            const int32_t stored = sound.SoundId;
            if (t_.sounds.find(stored)) sound.SoundId = NewSoundId(t_.sounds);
            if (sound.SoundId < 0) continue;
            if (!t_.sounds.add(t_.store, sound)) {
                notSaved();
                continue;
            }
            // The built-in siren is here already: controllers keep playing it.
            if (stored != kBuiltInSoundId) soundIds_[stored] = sound.SoundId;
            ++summary_.sounds;
        }
    }

    // Every reference is mapped once, from the file's id, so that one object's new id can
    // never be taken for another object's old one.
    void renumber(CQUORVISData& c) const {
        const auto group = groupIds_.find(c.RootID);
        c.RootID = group != groupIds_.end() ? group->second : -1;
        if (const auto account = accountIds_.find(c.MailAccountID); account != accountIds_.end())
            c.MailAccountID = account->second;
        for (auto* ids : {&c.OnDiSoundId, &c.OffDiSoundId}) {
            for (int& id : *ids) {
                if (const auto sound = soundIds_.find(id); sound != soundIds_.end())
                    id = sound->second;
            }
        }
    }

    void addControllers(const ControllerDirectory::TableProgress& progress) {
        if (controllers_.empty()) return;
        for (CQUORVISData& c : controllers_)
            renumber(c);
        // A controller whose group the file does not hold lands in the first group.
        if (t_.directory.groups().empty()) {
            const int id = t_.directory.groups().NewGroupId();
            if (id >= 0 && t_.directory.appendGroup(id, loadString(TEXT_GROUP))) ++summary_.groups;
        }
        summary_.controllers = t_.directory.addTable(controllers_, progress).added;
    }

    void writeSwitches() {
        if (contents_.switches) {
            for (int i = 0; i < BACKUP_SWITCH_COUNT; ++i) {
                if (const auto& value = contents_.switches->values[i])
                    setGlobal(t_.store, kBackupSwitchValues[i], *value);
            }
        }
        readGlobalSwitches(t_.store, t_.switches);
    }

    void notSaved() {
        prompts_.error(
            loadString(TEXT_NOT_SAVED).replace(QLatin1String("%s"), t_.store.lastError()));
    }

    ConfigurationTables& t_;
    BackupContents contents_;
    UserPrompts& prompts_;
    std::vector<CQUORVISData> controllers_;
    std::map<int, int> membersBefore_;
    std::map<int, int> groupIds_;
    std::map<int32_t, int32_t> accountIds_;
    std::map<int, int> soundIds_;
    RestoreSummary summary_;
};

} // namespace

RestoreSummary applyRestore(ConfigurationTables& tables, BackupContents contents,
                            UserPrompts& prompts, RestoreExisting existing,
                            const ControllerDirectory::TableProgress& progress) {
    return Restorer(tables, std::move(contents), prompts).run(existing, progress);
}

bool holdsOnlyDefaults(const ConfigurationTables& tables) {
    const CROOTDataList& groups = tables.directory.groups();
    if (groups.size() > 1) return false;
    bool storedSound = false;
    tables.sounds.forEach([&](const CSound& s) {
        if (s.SoundId != kBuiltInSoundId) storedSound = true;
    });
    return tables.directory.controllers()->table().empty() && tables.mailAccounts.empty() &&
           tables.mailSchedules.empty() && tables.messageSchedules.empty() && !storedSound;
}

BackupContents backupOf(ConfigurationTables& tables) {
    return gatherBackup({tables.directory.groups(), tables.directory.controllers()->table(),
                         tables.mailAccounts, tables.mailSchedules, tables.messageSchedules,
                         tables.sounds, storedBackupSwitches(tables.store)});
}

QString backupFileName(const QString& chosen) {
    return QFileInfo(chosen).suffix().isEmpty() ? chosen + QStringLiteral(".bin") : chosen;
}

int restoredControllerCount(const BackupContents& contents) {
    return static_cast<int>(std::count_if(contents.controllers.begin(), contents.controllers.end(),
                                          [](const auto& c) { return c.has_value(); }));
}

} // namespace iomira
