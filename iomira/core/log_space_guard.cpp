#include "core/log_space_guard.h"

#include "core/system_error.h"

#include <algorithm>
#include <cstdlib>

namespace iomira {

quint64 requiredFreeBytes(const DiskSpace& space, const LogSpaceLimits& limits) {
    const quint64 permille = quint64(std::max(0, limits.permilleOfSize));
    const quint64 share =
        space.totalBytes / 1000 * permille + space.totalBytes % 1000 * permille / 1000;
    return std::max(limits.minimumFreeBytes, share);
}

LogSpaceGuard::LogSpaceGuard(QString folder, DiskSpaceProbe probe, LogSpaceLimits limits)
    : folder_(std::move(folder)), probe_(std::move(probe)), limits_(limits) {}

bool LogSpaceGuard::probeDue(const QDateTime& now) const {
    if (!lastProbe_.isValid() || sinceProbe_ >= limits_.probeEveryEntries) return true;
    // Either way round: a clock set back must not silence the probe.
    return std::abs(lastProbe_.secsTo(now)) >= limits_.probeEverySeconds;
}

bool LogSpaceGuard::lowSpace(const DiskSpace& space) const {
    return space.availableBytes < requiredFreeBytes(space, limits_);
}

bool LogSpaceGuard::spaceBack(const DiskSpace& space) const {
    const quint64 required = requiredFreeBytes(space, limits_);
    const quint64 margin = required / 100 * quint64(std::max(0, limits_.resumeMarginPercent));
    return space.availableBytes >= required + margin;
}

void LogSpaceGuard::probe(const QDateTime& now) {
    lastProbe_ = now;
    sinceProbe_ = 0;
    const std::optional<DiskSpace> space = probe_ ? probe_(folder_) : std::nullopt;
    if (state_ == State::Writing) {
        if (space && lowSpace(*space)) pause(0, space, now);
    } else if (state_ == State::Paused) {
        // Without an answer the next write tells whether the file takes lines again.
        if (!space || spaceBack(*space)) state_ = State::Resuming;
    }
}

bool LogSpaceGuard::admit(const QDateTime& now) {
    ++sinceProbe_;
    if (probeDue(now)) probe(now);
    if (state_ != State::Paused) return true;
    drop();
    return false;
}

void LogSpaceGuard::pause(int error, std::optional<DiskSpace> space, const QDateTime& now) {
    state_ = State::Paused;
    pausedAt_ = now;
    pauseError_ = error;
    pauseAvailable_ = space ? std::optional(space->availableBytes) : std::nullopt;
    dropped_ = 0;
    notice_ = LogPauseNotice{folder_, pauseAvailable_, error};
}

void LogSpaceGuard::writeFailed(int error, const QDateTime& now) {
    if (state_ == State::Writing) {
        pause(error, probe_ ? probe_(folder_) : std::nullopt, now);
    } else {
        state_ = State::Paused; // the retry failed: the same pause goes on, told already
    }
    lastProbe_ = now;
    sinceProbe_ = 0;
}

QString LogSpaceGuard::resumeText() const {
    if (state_ != State::Resuming) return {};
    const QString since = pausedAt_.toString(QStringLiteral("yyyyMMdd/hh:mm:ss"));
    const QString cause =
        pauseError_ != 0
            ? QStringLiteral("a write to the log file failed (%1)")
                  .arg(systemErrorText(pauseError_))
            : QStringLiteral("the disk was almost full (%1 MB free)")
                  .arg(pauseAvailable_ ? megabytesText(*pauseAvailable_) : QStringLiteral("?"));
    return QStringLiteral("Writing to the log was paused at %1 because %2, and resumed; entries "
                          "dropped: %3.")
        .arg(since, cause)
        .arg(dropped_);
}

void LogSpaceGuard::resumed() {
    state_ = State::Writing;
    dropped_ = 0;
}

} // namespace iomira
