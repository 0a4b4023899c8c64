#pragma once

#include "app/backup_contents.h"
#include "core/controller_table.h"
#include "core/root_data.h"
#include "core/schedule_list.h"
#include "core/sound_library.h"
#include "core/store.h"
#include "notify/mail_account.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace iomira {

// The whole file; empty with `error` set (a translated text) when a record or item would
// exceed the format's limits (record data over 4096 bytes, item data 2048 bytes or more).
QByteArray encodeBackup(const BackupContents& contents, QString* error);

enum class BackupReadStatus { Ok, CantRead, Damaged, Failed };

struct BackupReadOutcome {
    BackupReadStatus status = BackupReadStatus::Failed;
    QString message; // the text to show when status != Ok
    BackupContents contents;
    QStringList warnings; // records skipped or values repaired, one line each, translated
};

// Checks and reads a whole file; nothing outside the outcome is touched.
BackupReadOutcome decodeBackup(const QByteArray& file);

// The live tables a backup is taken from.
struct BackupSources {
    const CROOTDataList& groups;
    const ControllerTable& controllers;
    const CMailAccountMap& mailAccounts;
    const CScheduleDataList& mailSchedules;
    const CScheduleDataList& messageSchedules;
    const SoundLibrary& sounds;
    BackupSwitches switches;
};

// Builds the contents from the live tables in the file's order (groups by Index; then group by
// group the controllers with Index 0 .. CountInGroup-1, an empty entry for a position without a
// controller; mail accounts, e-mail schedules, message schedules in their tables' enumeration
// order; the eight switches; the sounds in table order, the built-in sound 1 included).
// Controllers of no group are not written.
BackupContents gatherBackup(const BackupSources& sources);

// Writes the file created with mode 0600 (it holds mail passwords in clear), truncating an
// existing one; false with `error` = "[%d] %s" (errno and its text, line breaks removed).
bool writeBackupFile(const QString& path, const QByteArray& bytes, QString* error);
// Reads a whole file; false with `error` = "[%d] %s" as above.
bool readBackupFile(const QString& path, QByteArray& bytes, QString* error);

// The eight switches as the store holds them now.
BackupSwitches storedBackupSwitches(Store& store);

} // namespace iomira
