#include "core/event_log.h"

#include "core/local_text.h"
#include "core/log_entries.h"
#include "core/log_line.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace iomira {

namespace {

const QLatin1String kLineEnd("\r\n");

std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// The entry as written: converted, and cut short (keeping its line end) if it would not fit.
QByteArray encodeEntry(const QString& line) {
    QByteArray bytes = toLocalCodeSet(line);
    if (bytes.size() <= kLogEntryMaxBytes) return bytes;
    const bool endsLine = line.endsWith(kLineEnd);
    QString body = endsLine ? line.chopped(2) : line;
    const QByteArray tail = endsLine ? QByteArray("\r\n") : QByteArray();
    while (!body.isEmpty()) {
        bytes = toLocalCodeSet(body) + tail;
        const qsizetype over = bytes.size() - kLogEntryMaxBytes;
        if (over <= 0) break;
        body.chop(std::max<qsizetype>(1, over / 4));
        if (!body.isEmpty() && body.back().isHighSurrogate()) body.chop(1);
    }
    return body.isEmpty() ? tail : bytes;
}

} // namespace

QString logFolder() {
    QString documents = qEnvironmentVariable("IOMIRA_DOCUMENTS");
    if (documents.isEmpty()) {
        documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    }
    return QDir(documents).filePath(QStringLiteral("Iomira"));
}

EventLog::EventLog(QString folder, LocalClock clock, DiskSpaceProbe probe, LogSpaceLimits limits)
    : folder_(std::move(folder)), clock_(std::move(clock)),
      guard_(folder_, std::move(probe), limits) {
    if (!clock_) clock_ = [] { return QDateTime::currentDateTime(); };
}

EventLog::~EventLog() {
    close();
}

int EventLog::OpenNewFile() {
    std::unique_lock lock(mutex_);
    const int result = openLocked(clock_());
    tellPause(lock);
    return result;
}

int EventLog::openLocked(const QDateTime& now) {
    closeLocked();
    const QString name = now.toString(QStringLiteral("yyyyMMdd_hhmmss")) + ".txt";
    std::error_code ec;
    std::filesystem::create_directories(fsPath(folder_), ec);
    if (ec) return ec.value();
    const QString path = QDir(folder_).filePath(name);
    // Appending keeps what an earlier file of the same second already holds.
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "ab");
    if (!file) return errno ? errno : EIO;
    // Each line goes out in one write, so a failed one can be taken back whole.
    std::setvbuf(file, nullptr, _IONBF, 0);
    file_ = file;
    path_ = path;
    std::fseek(file, 0, SEEK_END);
    if (std::ftell(file) == 0 && !guard_.paused()) {
        if (const int error = writeBytesLocked({})) guard_.writeFailed(error, now);
    }
    if (retention_.enabled && lastDeletion_ != now.date()) deleteExpiredLocked(now);
    return 0;
}

void EventLog::close() {
    std::lock_guard lock(mutex_);
    closeLocked();
}

void EventLog::closeLocked() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    path_.clear();
}

QString EventLog::currentPath() const {
    std::lock_guard lock(mutex_);
    return path_;
}

void EventLog::setRetention(LogRetention retention) {
    std::lock_guard lock(mutex_);
    retention_ = retention;
}

void EventLog::deleteExpiredFiles() {
    std::unique_lock lock(mutex_);
    const QDateTime now = clock_();
    if (retention_.enabled && lastDeletion_ != now.date()) deleteExpiredLocked(now);
    tellPause(lock);
}

void EventLog::deleteExpiredLocked(const QDateTime& now) {
    lastDeletion_ = now.date();
    const int days = validLogKeepDays(retention_.days);
    for (const LogFileRemoval& removal : deleteExpiredLogFiles(folder_, now.date(), days, path_)) {
        if (file_)
            appendLocked(toLocalCodeSet(noticeEntryLine(removalLogText(removal, days), now)), now);
    }
}

bool EventLog::needsRotation(qint64 size, const QDateTime& now) const {
    const QString today = now.toString(QStringLiteral("yyyyMMdd"));
    // The date is looked for in the file name only, so a dated folder cannot hide a new day.
    return size > kLogRotateBytes || !QFileInfo(path_).fileName().contains(today);
}

int EventLog::WriteEntry(const QString& line) {
    std::unique_lock lock(mutex_);
    const int result = writeLocked(line);
    tellPause(lock);
    return result;
}

int EventLog::writeLocked(const QString& line) {
    if (!file_) return -1;
    std::error_code ec;
    const auto size = std::filesystem::file_size(fsPath(path_), ec);
    if (ec) return 0; // the file was removed under us: entries stop until the next start
    const QDateTime now = clock_();
    if (!guard_.admit(now)) return 0;
    if (needsRotation(static_cast<qint64>(size), now)) {
        const int result = openLocked(now);
        if (result != 0) return result;
    }
    if (const QString resume = guard_.resumeText(); !resume.isEmpty()) {
        if (!appendLocked(toLocalCodeSet(noticeEntryLine(resume, now)), now)) return 0;
        guard_.resumed();
    }
    appendLocked(encodeEntry(line), now);
    return 0;
}

// False when the line was dropped: writing is paused, or this write failed and paused it.
bool EventLog::appendLocked(const QByteArray& bytes, const QDateTime& now) {
    if (guard_.paused()) {
        guard_.drop();
        return false;
    }
    const int error = writeBytesLocked(bytes);
    if (error == 0) return true;
    guard_.writeFailed(error, now);
    guard_.drop();
    return false;
}

// Writes the bytes, after the header when the file is still empty (a header lost to a full
// disk comes with the first line that fits). A failed write is cut off again, so the file
// never holds half a line; returns its errno.
int EventLog::writeBytesLocked(const QByteArray& bytes) {
    std::error_code ec;
    const auto before = std::filesystem::file_size(fsPath(path_), ec);
    const QByteArray data = (!ec && before == 0) ? QByteArray(kLogHeader) + bytes : bytes;
    errno = 0;
    const size_t written =
        std::fwrite(data.constData(), 1, static_cast<size_t>(data.size()), file_);
    const bool failed = written != static_cast<size_t>(data.size()) || std::fflush(file_) != 0;
    if (!failed) return 0;
    const int error = errno ? errno : EIO;
    std::clearerr(file_);
    if (!ec) std::filesystem::resize_file(fsPath(path_), before, ec);
    return error;
}

// Gives a pause's notice to the program after letting go of the lock, so that whatever the
// notice does may write to the log again.
void EventLog::tellPause(std::unique_lock<std::mutex>& lock) {
    const std::optional<LogPauseNotice> notice = guard_.takeNotice();
    lock.unlock();
    if (notice && pauseNotice_) pauseNotice_(*notice);
}

} // namespace iomira
