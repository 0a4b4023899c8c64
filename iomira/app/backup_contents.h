#pragma once

#include "core/quorvis_data.h"
#include "core/root_data.h"
#include "core/schedule_data.h"
#include "core/sound.h"
#include "notify/mail_account.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace iomira {

// The eight global switches a backup carries, in the order of the global record. A switch the
// file did not give (no global record, or one cut short by a damaged item) is not present.
enum BackupSwitch {
    BACKUP_INPUT_NOTIFICATION,
    BACKUP_LOG_TCP,
    BACKUP_LOG_INPUT,
    BACKUP_LOG_OUTPUT,
    BACKUP_LOG_NOTIFICATION_EMAIL,
    BACKUP_USE_EMAIL_SCHEDULE,
    BACKUP_USE_NOTIFICATION_MESSAGE_SCHEDULE,
    BACKUP_USE_LOGIN,
    BACKUP_SWITCH_COUNT
};

struct BackupSwitches {
    std::array<std::optional<int32_t>, BACKUP_SWITCH_COUNT> values{};
};

// What one backup file holds, in the file's order: written from the live tables, read back
// before anything is applied. A controller position for which the backup found no controller
// is an empty entry, so that a file read and written again is the same file.
struct BackupContents {
    uint16_t groupCount = 0;      // header: groups at backup time
    uint16_t controllerCount = 0; // header: controllers in the table at backup time
    std::vector<CROOTData> groups;
    std::vector<std::optional<CQUORVISData>> controllers;
    std::vector<CMailAccount> mailAccounts;
    std::vector<CScheduleData> mailSchedules;
    std::vector<CScheduleData> messageSchedules;
    // A file always carries one global record; a hand-made one may not.
    std::optional<BackupSwitches> switches;
    std::vector<CSound> sounds;
};

} // namespace iomira
