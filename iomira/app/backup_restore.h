#pragma once

#include "app/backup_contents.h"
#include "app/configuration_tables.h"
#include "app/controller_directory.h"

#include <QStringList>

namespace iomira {

class UserPrompts;

// How a restore goes on when the program already holds a configuration.
enum class RestoreExisting {
    Ask,     // question 196 to the operator
    Replace, // its Yes: everything is deleted first
    Merge,   // its No: the file's contents join what is there
};

// What applying a read backup did.
struct RestoreSummary {
    bool replaced = false;
    // The operator declined to go on after the conflicting controllers were listed.
    bool stopped = false;
    int groups = 0;
    int controllers = 0;
    int mailAccounts = 0;
    int schedules = 0;
    int sounds = 0;
    // Controllers left out: a server on a port already served here, or refused when added.
    QStringList skipped;
};

// Brings a read backup into the program through the same operations as objects made by
// hand: groups, mail accounts, schedules and sounds get new ids and names where theirs are
// taken, the controllers are added as a table placed by their groups' names, and the
// switches are written. `prompts` hears the questions and the refusals.
RestoreSummary applyRestore(ConfigurationTables& tables, BackupContents contents,
                            UserPrompts& prompts, RestoreExisting existing,
                            const ControllerDirectory::TableProgress& progress = {});

// Whether the program holds nothing a restore could conflict with: no controller, no mail
// account, schedule or stored sound, and at most the empty default group.
bool holdsOnlyDefaults(const ConfigurationTables& tables);

// What a backup of the configuration holds now, in the file's order.
BackupContents backupOf(ConfigurationTables& tables);

// The chosen backup file name; one without an extension gets ".bin".
QString backupFileName(const QString& chosen);
// Above this many controllers a restore shows how far it is.
inline constexpr int kRestoreProgressFrom = 101;
int restoredControllerCount(const BackupContents& contents);

} // namespace iomira
