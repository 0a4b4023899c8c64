#include "core/event_log.h"

#include "core/local_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace iomira {

namespace {

const char kHeader[] = "Com Name\tPeer IP\tTag Name\tState\tTime\tAddress\tValue\tEtc\r\n";
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

EventLog::EventLog(QString folder, LocalClock clock)
    : folder_(std::move(folder)), clock_(std::move(clock)) {
    if (!clock_) clock_ = [] { return QDateTime::currentDateTime(); };
}

EventLog::~EventLog() {
    close();
}

int EventLog::OpenNewFile() {
    std::lock_guard lock(mutex_);
    return openLocked();
}

int EventLog::openLocked() {
    closeLocked();
    const QString name = clock_().toString(QStringLiteral("yyyyMMdd_hhmmss")) + ".txt";
    std::error_code ec;
    std::filesystem::create_directories(fsPath(folder_), ec);
    if (ec) return ec.value();
    const QString path = QDir(folder_).filePath(name);
    // Appending keeps what an earlier file of the same second already holds.
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "ab");
    if (!file) return errno ? errno : EIO;
    std::fseek(file, 0, SEEK_END);
    if (std::ftell(file) == 0) {
        std::fwrite(kHeader, 1, sizeof kHeader - 1, file);
        std::fflush(file);
    }
    file_ = file;
    path_ = path;
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

bool EventLog::needsRotation(qint64 size) const {
    const QString today = clock_().toString(QStringLiteral("yyyyMMdd"));
    // The date is looked for in the file name only, so a dated folder cannot hide a new day.
    return size > kLogRotateBytes || !QFileInfo(path_).fileName().contains(today);
}

int EventLog::WriteEntry(const QString& line) {
    std::lock_guard lock(mutex_);
    if (!file_) return -1;
    std::error_code ec;
    const auto size = std::filesystem::file_size(fsPath(path_), ec);
    if (ec) return 0; // the file was removed under us: entries stop until the next start
    if (needsRotation(static_cast<qint64>(size))) {
        const int result = openLocked();
        if (result != 0) return result;
    }
    const QByteArray bytes = encodeEntry(line);
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), file_);
    std::fflush(file_);
    return 0;
}

} // namespace iomira
