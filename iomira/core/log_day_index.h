#pragma once

#include "core/log_line.h"

#include <QDate>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <mutex>
#include <shared_mutex>
#include <span>
#include <vector>

namespace iomira {

// Where one day's lines start in its log files: 32-bit offsets per file, nothing else, so a
// day of several 5 MiB files is indexed in a few percent of its size. A row's bytes are read
// from the file when asked for. Files are indexed in chunks, while the log may still be
// writing them; what was indexed is never read again for the index.
//
// One thread indexes; any thread may read rows meanwhile.
class LogDayIndex {
  public:
    LogDayIndex(QString folder, QDate day);

    // Indexes what was written since the last call, the day's new files included, reading
    // about `budget` bytes at most. With `follow` the newest file is still being written: a
    // last line without its end waits for it. True while more is left to read.
    bool indexMore(qint64 budget, bool follow);

    qint64 rowCount() const;
    qint64 indexedBytes() const;
    // The day's bytes as last seen, indexed or not.
    qint64 knownBytes() const;
    // Bytes the index itself holds.
    size_t memoryBytes() const;
    // The Com Names of the lines indexed, each once, in byte order.
    QStringList controllerNames() const;

    // A row's bytes with its line end, empty when it cannot be read.
    QByteArray rowBytes(qint64 row) const;
    LogLine row(qint64 row) const { return parseLogLine(rowBytes(row)); }

    // Calls `visit` for each row of [first, last) or of `rows` (ascending) with its bytes,
    // reading each file once; stops early when `visit` returns false.
    using RowVisitor = std::function<bool(qint64 row, QByteArrayView line)>;
    void forEachRow(qint64 first, qint64 last, const RowVisitor& visit) const;
    void forEachRow(std::span<const uint32_t> rows, const RowVisitor& visit) const;

    const QString& folder() const { return folder_; }
    QDate day() const { return day_; }

  private:
    struct File {
        QString path;
        std::vector<uint32_t> starts; // where each row of the file begins
        qint64 end = 0;               // bytes of the file indexed so far
        qint64 seen = 0;              // its size when last looked at
        qint64 firstRow = 0;
    };
    struct Span {
        size_t file;
        qint64 begin, end;
    };

    void addNewFiles();
    bool indexFile(size_t file, qint64 budget, bool last, bool follow);
    void addRows(size_t file, const std::vector<uint32_t>& starts, qint64 end, qint64 size,
                 const std::vector<QByteArray>& names);
    void finishFile();
    size_t fileOf(qint64 row) const;
    Span spanOf(qint64 row) const;
    bool visitFileRows(size_t file, qint64 first, qint64 last, std::span<const uint32_t> picked,
                       const RowVisitor& visit) const;

    QString folder_;
    QDate day_;
    mutable std::shared_mutex mutex_;
    std::vector<File> files_;
    qint64 rows_ = 0;
    qint64 indexed_ = 0;
    qint64 known_ = 0;
    size_t current_ = 0; // the first file that may still grow
    std::vector<QByteArray> names_;

    mutable std::mutex readMutex_; // the file a row was read from last, kept open
    mutable QFile reading_;
};

} // namespace iomira
