#include "core/log_day_files.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace iomira {

QDate dailyLogFileDate(const QString& fileName) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{8})_(\\d{6})\\.txt$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    if (!match.hasMatch()) return {};
    const QDateTime opened = QDateTime::fromString(match.captured(1) + match.captured(2),
                                                   QStringLiteral("yyyyMMddhhmmss"));
    return opened.isValid() ? opened.date() : QDate();
}

std::vector<DailyLogFile> dailyLogFiles(const QString& folder) {
    std::vector<DailyLogFile> files;
    const QFileInfoList entries = QDir(folder).entryInfoList(
        {QStringLiteral("*.txt")}, QDir::Files | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QDate date = dailyLogFileDate(entry.fileName());
        if (date.isValid()) files.push_back({entry.fileName(), date});
    }
    return files;
}

QStringList logFilesOfDay(const QString& folder, const QDate& day) {
    QStringList paths;
    const QDir dir(folder);
    for (const DailyLogFile& file : dailyLogFiles(folder)) {
        if (file.date == day) paths << dir.absoluteFilePath(file.name);
    }
    return paths;
}

QList<QDate> loggedDays(const QString& folder) {
    QList<QDate> days;
    for (const DailyLogFile& file : dailyLogFiles(folder)) {
        if (days.isEmpty() || days.back() != file.date) days << file.date;
    }
    return days;
}

} // namespace iomira
