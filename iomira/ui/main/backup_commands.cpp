#include "ui/main/backup_commands.h"

#include "app/backup_file.h"
#include "app/backup_restore.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/user_prompts.h"
#include "monitor/shared_controllers.h"
#include "ui/common/table_progress.h"

#include <QFileDialog>

namespace iomira {

namespace {

const QString kBackupFilter = QStringLiteral("*.bin (*.bin);;*.* (*)");

} // namespace

void runBackupCommand(QWidget* parent, ConfigurationTables& tables, UserPrompts& prompts) {
    const QString chosen =
        QFileDialog::getSaveFileName(parent, loadString(TEXT_BACKUP), QString(), kBackupFilter,
                                     nullptr, QFileDialog::DontUseNativeDialog);
    if (chosen.isEmpty()) return;
    const BackupContents contents = backupOf(tables);
    QString error;
    const QByteArray bytes = encodeBackup(contents, &error);
    if (bytes.isEmpty() || !writeBackupFile(backupFileName(chosen), bytes, &error))
        prompts.error(error);
}

bool runRestoreCommand(QWidget* parent, ConfigurationTables& tables, UserPrompts& prompts) {
    const QString chosen =
        QFileDialog::getOpenFileName(parent, loadString(TEXT_RESTORE), QString(), kBackupFilter,
                                     nullptr, QFileDialog::DontUseNativeDialog);
    if (chosen.isEmpty()) return false;
    QByteArray bytes;
    QString error;
    if (!readBackupFile(chosen, bytes, &error)) {
        prompts.error(error);
        return false;
    }
    BackupReadOutcome read = decodeBackup(bytes);
    if (read.status == BackupReadStatus::Failed) {
        prompts.warning(read.message);
        return false;
    }
    if (read.status != BackupReadStatus::Ok) {
        prompts.error(read.message);
        return false;
    }
    const int count = restoredControllerCount(read.contents);
    TableProgress progress(parent, loadString(TEXT_RESTORE_PROGRESS), count,
                           count >= kRestoreProgressFrom);
    applyRestore(tables, std::move(read.contents), prompts, RestoreExisting::Ask,
                 progress.callback());
    if (!read.warnings.isEmpty()) prompts.warning(read.warnings.join(QLatin1Char('\n')));
    return true;
}

} // namespace iomira
