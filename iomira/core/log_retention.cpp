#include "core/log_retention.h"

#include "core/log_day_files.h"
#include "core/system_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

namespace iomira {

LogRetention logRetention(const GlobalSwitches& switches) {
    return {switches.logDeleteOldFiles == 1, switches.logDeleteOldFilesDays};
}

QStringList expiredLogFiles(const QString& folder, const QDate& today, int days) {
    QStringList names;
    if (!today.isValid() || days < kLogKeepDaysMin) return names;
    const QDate oldestKept = today.addDays(-days);
    for (const DailyLogFile& file : dailyLogFiles(folder)) {
        if (file.date < oldestKept) names << file.name;
    }
    return names;
}

std::vector<LogFileRemoval> deleteExpiredLogFiles(const QString& folder, const QDate& today,
                                                  int days, const QString& keepPath) {
    std::vector<LogFileRemoval> removals;
    const QDir dir(folder);
    const QString kept = QFileInfo(keepPath).absoluteFilePath();
    for (const QString& name : expiredLogFiles(folder, today, days)) {
        const QString path = dir.absoluteFilePath(name);
        if (!keepPath.isEmpty() && path == kept) continue;
        errno = 0;
        const int result = std::remove(QFile::encodeName(path).constData());
        removals.push_back({name, result == 0 ? 0 : (errno ? errno : EIO)});
    }
    return removals;
}

QString removalLogText(const LogFileRemoval& removal, int days) {
    if (removal.error == 0)
        return QStringLiteral("Deleted the log file %1, older than %2 days.")
            .arg(removal.name)
            .arg(days);
    return QStringLiteral("Could not delete the log file %1, older than %2 days: %3")
        .arg(removal.name)
        .arg(days)
        .arg(systemErrorText(removal.error));
}

} // namespace iomira
