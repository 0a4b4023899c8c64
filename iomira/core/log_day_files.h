#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace iomira {

// The date in a name the event log gives its files ("yyyyMMdd_hhmmss.txt"); invalid for any
// other name, so nothing else in the folder is ever taken for a log file.
QDate dailyLogFileDate(const QString& fileName);

struct DailyLogFile {
    QString name;
    QDate date;
};

// The log files of a folder in name order, which is the order they were written in. Only
// plain files count: folders and links are left alone.
std::vector<DailyLogFile> dailyLogFiles(const QString& folder);

// Paths of the files holding one day's entries, in the order they were written.
QStringList logFilesOfDay(const QString& folder, const QDate& day);

// Every day the folder holds files of, from the oldest.
QList<QDate> loggedDays(const QString& folder);

} // namespace iomira
