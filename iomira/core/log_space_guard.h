#pragma once

#include "core/disk_space.h"
#include "core/log_pause_notice.h"

#include <QDateTime>

#include <optional>
#include <utility>

namespace iomira {

struct LogSpaceLimits {
    // The log stops when less is free than the larger of these two.
    quint64 minimumFreeBytes = quint64(200) * 1024 * 1024;
    int permilleOfSize = 10;
    // Writing resumes only with a tenth more than that, so a disk at the edge does not
    // start and stop the log every few seconds.
    int resumeMarginPercent = 10;
    // The disk is looked at when this much time or this many entries have passed.
    int probeEverySeconds = 5;
    int probeEveryEntries = 1000;
};

// The free space below which the log stops writing.
quint64 requiredFreeBytes(const DiskSpace& space, const LogSpaceLimits& limits);

// Decides entry by entry whether the event log may write, so that a full disk or a failing
// write stops the log, drops its entries (counting them) and resumes it when space is back.
// Not locked: the event log calls it under its own lock.
class LogSpaceGuard {
  public:
    LogSpaceGuard(QString folder, DiskSpaceProbe probe, LogSpaceLimits limits);

    // Counts one entry and looks at the disk when that is due; false when it is dropped.
    bool admit(const QDateTime& now);
    // True while lines are dropped.
    bool paused() const { return state_ == State::Paused; }
    // One line that could not be written is counted.
    void drop() { ++dropped_; }
    // A write failed with `error`: writing stops (or stays stopped, when it was a retry). The
    // line it lost is counted by drop().
    void writeFailed(int error, const QDateTime& now);
    // The English log text owed after a pause ended; empty when none is owed.
    QString resumeText() const;
    // The line of resumeText() was written: writing goes on as before.
    void resumed();
    // The notice of a pause that has just begun; given once per pause.
    std::optional<LogPauseNotice> takeNotice() { return std::exchange(notice_, std::nullopt); }
    qint64 dropped() const { return dropped_; }

  private:
    enum class State { Writing, Paused, Resuming };

    bool probeDue(const QDateTime& now) const;
    void probe(const QDateTime& now);
    void pause(int error, std::optional<DiskSpace> space, const QDateTime& now);
    bool lowSpace(const DiskSpace& space) const;
    bool spaceBack(const DiskSpace& space) const;

    QString folder_;
    DiskSpaceProbe probe_;
    LogSpaceLimits limits_;
    State state_ = State::Writing;
    QDateTime lastProbe_;
    int sinceProbe_ = 0;
    QDateTime pausedAt_;
    int pauseError_ = 0;
    std::optional<quint64> pauseAvailable_;
    qint64 dropped_ = 0;
    std::optional<LogPauseNotice> notice_;
};

} // namespace iomira
