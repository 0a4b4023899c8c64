#pragma once

#include "core/disk_space.h"
#include "core/log_pause_notice.h"
#include "core/log_retention.h"
#include "core/log_space_guard.h"

#include <QDateTime>
#include <QString>

#include <cstdio>
#include <functional>
#include <mutex>

namespace iomira {

// Local wall-clock time; injectable so rotation can be tested.
using LocalClock = std::function<QDateTime()>;

inline constexpr qint64 kLogRotateBytes = 5242880;
inline constexpr int kLogEntryMaxBytes = 2048;

// "<documents>/Iomira", the documents folder being $IOMIRA_DOCUMENTS when set.
QString logFolder();

// The program's one open log file. Entries come from several threads; one lock orders them.
// When the disk runs short of space or a write fails, entries are dropped (and counted) until
// space is back; the first line after that tells how many were lost.
class EventLog {
  public:
    using PauseNotice = std::function<void(const LogPauseNotice&)>;

    explicit EventLog(QString folder = logFolder(), LocalClock clock = {},
                      DiskSpaceProbe probe = probeDiskSpace, LogSpaceLimits limits = {});
    ~EventLog();
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    // Opens "<yyyyMMdd_hhmmss>.txt" in the folder (created if missing) and writes the header.
    // A file of that name opened earlier in the same second is appended to, not emptied.
    // 0 on success, else the system error number.
    int OpenNewFile();
    // Appends one complete line (with its CR LF). Rotates first when the file grew past
    // 5 MiB or the day changed. 0 when written or dropped, -1 when no file is open, or the
    // error number of a failed rotation.
    int WriteEntry(const QString& line);
    void close();

    // Called, on the writing thread and outside the lock, when writing stops; once per stop.
    // Set before the first entry.
    void setPauseNotice(PauseNotice notice) { pauseNotice_ = std::move(notice); }
    // Whether and after how many days old daily files go; the deleting itself happens when a
    // file of a new day is opened, or at deleteExpiredFiles().
    void setRetention(LogRetention retention);
    // Deletes the expired daily files, unless that was done today; each deletion is logged.
    void deleteExpiredFiles();

    QString currentPath() const;
    QDateTime now() const { return clock_(); }

  private:
    int openLocked(const QDateTime& now);
    void closeLocked();
    bool needsRotation(qint64 size, const QDateTime& now) const;
    int writeLocked(const QString& line);
    bool appendLocked(const QByteArray& bytes, const QDateTime& now);
    int writeBytesLocked(const QByteArray& bytes);
    void deleteExpiredLocked(const QDateTime& now);
    void tellPause(std::unique_lock<std::mutex>& lock);

    QString folder_;
    LocalClock clock_;
    mutable std::mutex mutex_;
    std::FILE* file_ = nullptr;
    QString path_;
    LogSpaceGuard guard_;
    PauseNotice pauseNotice_;
    LogRetention retention_;
    QDate lastDeletion_;
};

} // namespace iomira
