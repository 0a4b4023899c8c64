#pragma once

#include "app/backup_restore.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace iomira {

// What the command line asks for. None starts the program with its window.
enum class AdminCommand { None, Help, Version, Backup, Restore, Import, Invalid };

struct AdminRequest {
    AdminCommand command = AdminCommand::None;
    QString file;
    // For a restore: Ask means neither --replace nor --merge was given.
    RestoreExisting existing = RestoreExisting::Ask;
    QString error; // set for Invalid
};

// Exit status of an administration command.
enum AdminExit { ADMIN_DONE = 0, ADMIN_FAILED = 1, ADMIN_SKIPPED = 2 };

// The arguments after the program's name. Arguments that are not administration options
// are left to the program, unless an administration option is among them.
AdminRequest parseAdminArguments(const QStringList& arguments);

// Runs a Help, Version, Backup, Restore, Import or Invalid request on the store at `storePath`:
// problems one per line on `err`, the summary on `out`; returns the exit status.
int runAdminCommand(const AdminRequest& request, const QString& storePath, QTextStream& out,
                    QTextStream& err);

QString adminUsage();

// "iomira" and the release, as --version prints it.
QString programVersionLine();

} // namespace iomira
