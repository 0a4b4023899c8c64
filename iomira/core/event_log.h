#pragma once

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
class EventLog {
  public:
    explicit EventLog(QString folder = logFolder(), LocalClock clock = {});
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

    QString currentPath() const;
    QDateTime now() const { return clock_(); }

  private:
    int openLocked();
    void closeLocked();
    bool needsRotation(qint64 size) const;

    QString folder_;
    LocalClock clock_;
    mutable std::mutex mutex_;
    std::FILE* file_ = nullptr;
    QString path_;
};

} // namespace iomira
