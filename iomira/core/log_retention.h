#pragma once

#include "core/global_settings.h"

#include <QDate>
#include <QString>

#include <vector>

namespace iomira {

// Whether daily log files older than a number of days are deleted, and that number.
struct LogRetention {
    bool enabled = false;
    int days = LOG_DELETE_OLD_FILES_DAYS.fallback;
    bool operator==(const LogRetention&) const = default;
};

LogRetention logRetention(const GlobalSwitches& switches);

// Names of the log files of `folder` whose date lies more than `days` days before `today`,
// in name order. Only plain files count: folders and links are left alone.
QStringList expiredLogFiles(const QString& folder, const QDate& today, int days);

struct LogFileRemoval {
    QString name;
    int error = 0; // errno when it could not be deleted
};

// Deletes the expired files except the one at `keepPath` (the file being written).
std::vector<LogFileRemoval> deleteExpiredLogFiles(const QString& folder, const QDate& today,
                                                  int days, const QString& keepPath);

// The English log text that reports one deletion or its failure.
QString removalLogText(const LogFileRemoval& removal, int days);

} // namespace iomira
