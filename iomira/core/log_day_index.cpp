#include "core/log_day_index.h"

#include "core/local_text.h"
#include "core/log_day_files.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <limits>

namespace iomira {

namespace {

// Reading less at a time than this costs more in calls than it gains in steps.
constexpr qint64 kMinChunk = 64 * 1024;
// Offsets are 32-bit; the log never writes a file anywhere near this.
constexpr qint64 kMaxFileBytes = std::numeric_limits<uint32_t>::max();

// The Com Name of a line that has all its columns, noted when it differs from the one before.
void noteName(QByteArrayView line, std::vector<QByteArray>& names) {
    const qsizetype tab = line.indexOf('\t');
    if (tab <= 0) return;
    const QByteArrayView name = line.first(tab);
    if (!names.empty() && names.back() == name) return;
    if (line.count('\t') == LOG_COLUMN_COUNT - 1) names.push_back(name.toByteArray());
}

QByteArray readAt(QFile& file, qint64 offset, qint64 length) {
    if (length <= 0 || !file.seek(offset)) return {};
    return file.read(length);
}

} // namespace

LogDayIndex::LogDayIndex(QString folder, QDate day) : folder_(std::move(folder)), day_(day) {}

bool LogDayIndex::indexMore(qint64 budget, bool follow) {
    addNewFiles();
    while (current_ < files_.size()) {
        const bool last = current_ + 1 == files_.size();
        const qint64 before = indexed_;
        if (indexFile(current_, budget, last, follow)) return true;
        budget -= indexed_ - before;
        if (last) return false;
        finishFile();
        if (budget <= 0) return true;
    }
    return false;
}

// Files of the day that came after the ones known: the log rotated, or the day was opened
// before they existed.
void LogDayIndex::addNewFiles() {
    const QStringList paths = logFilesOfDay(folder_, day_);
    std::vector<File> added;
    for (const QString& path : paths) {
        if (files_.empty() || path > files_.back().path)
            added.push_back({path, {}, 0, QFileInfo(path).size(), rows_});
    }
    if (added.empty()) return;
    std::unique_lock lock(mutex_);
    for (File& file : added) {
        known_ += file.seen;
        files_.push_back(std::move(file));
    }
}

// Indexes the whole lines of the next chunk. A last piece without its line end is taken as a
// row of its own once nothing can follow it; a piece longer than a chunk is cut into rows.
bool LogDayIndex::indexFile(size_t index, qint64 budget, bool last, bool follow) {
    QFile file(files_[index].path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const qint64 size = std::min(file.size(), kMaxFileBytes);
    const qint64 end = files_[index].end;
    const QByteArray chunk = readAt(file, end, std::min(size - end, std::max(budget, kMinChunk)));
    const bool atEnd = end + chunk.size() >= size;
    std::vector<uint32_t> starts;
    std::vector<QByteArray> names;
    qsizetype pos = 0;
    while (pos < chunk.size()) {
        const void* found = std::memchr(chunk.constData() + pos, '\n', chunk.size() - pos);
        const bool whole = found != nullptr;
        if (!whole && atEnd && last && follow) break;
        if (!whole && !atEnd && pos > 0) break;
        const qsizetype next =
            whole ? static_cast<const char*>(found) - chunk.constData() + 1 : chunk.size();
        const QByteArrayView line = QByteArrayView(chunk).sliced(pos, next - pos);
        if (end + pos != 0 || !splitLogLine(line).header) {
            starts.push_back(static_cast<uint32_t>(end + pos));
            noteName(line, names);
        }
        pos = next;
    }
    addRows(index, starts, end + pos, size, names);
    return end + pos < size && !(atEnd && last && follow);
}

void LogDayIndex::addRows(size_t index, const std::vector<uint32_t>& starts, qint64 end,
                          qint64 size, const std::vector<QByteArray>& names) {
    std::unique_lock lock(mutex_);
    for (const QByteArray& name : names) {
        const auto at = std::lower_bound(names_.begin(), names_.end(), name);
        if (at == names_.end() || *at != name) names_.insert(at, name);
    }
    File& file = files_[index];
    file.starts.insert(file.starts.end(), starts.begin(), starts.end());
    rows_ += static_cast<qint64>(starts.size());
    indexed_ += end - file.end;
    known_ += std::max(size, end) - file.seen;
    file.end = end;
    file.seen = std::max(size, end);
}

// The file is done: later files hold the rows that follow its own.
void LogDayIndex::finishFile() {
    std::unique_lock lock(mutex_);
    files_[current_].starts.shrink_to_fit();
    ++current_;
    files_[current_].firstRow = rows_;
}

qint64 LogDayIndex::rowCount() const {
    std::shared_lock lock(mutex_);
    return rows_;
}

qint64 LogDayIndex::indexedBytes() const {
    std::shared_lock lock(mutex_);
    return indexed_;
}

qint64 LogDayIndex::knownBytes() const {
    std::shared_lock lock(mutex_);
    return known_;
}

size_t LogDayIndex::memoryBytes() const {
    std::shared_lock lock(mutex_);
    size_t bytes = sizeof *this + files_.capacity() * sizeof(File);
    for (const File& file : files_) {
        bytes += file.starts.capacity() * sizeof(uint32_t);
        bytes += static_cast<size_t>(file.path.capacity()) * sizeof(QChar);
    }
    for (const QByteArray& name : names_)
        bytes += sizeof name + static_cast<size_t>(name.capacity());
    return bytes;
}

QStringList LogDayIndex::controllerNames() const {
    std::shared_lock lock(mutex_);
    QStringList names;
    for (const QByteArray& name : names_)
        names << fromLocalCodeSet(name);
    return names;
}

// Among the files up to the current one: later files have no rows yet.
size_t LogDayIndex::fileOf(qint64 row) const {
    const auto begin = files_.begin();
    const auto end = begin + static_cast<std::ptrdiff_t>(std::min(current_ + 1, files_.size()));
    const auto after = std::upper_bound(
        begin, end, row, [](qint64 r, const File& file) { return r < file.firstRow; });
    return static_cast<size_t>(after - begin) - 1;
}

LogDayIndex::Span LogDayIndex::spanOf(qint64 row) const {
    const size_t index = fileOf(row);
    const File& file = files_[index];
    const size_t line = static_cast<size_t>(row - file.firstRow);
    const qint64 end = line + 1 < file.starts.size() ? file.starts[line + 1] : file.end;
    return {index, file.starts[line], end};
}

QByteArray LogDayIndex::rowBytes(qint64 row) const {
    Span span;
    QString path;
    {
        std::shared_lock lock(mutex_);
        if (row < 0 || row >= rows_) return {};
        span = spanOf(row);
        path = files_[span.file].path;
    }
    std::lock_guard lock(readMutex_);
    if (reading_.fileName() != path || !reading_.isOpen()) {
        reading_.close();
        reading_.setFileName(path);
        if (!reading_.open(QIODevice::ReadOnly)) return {};
    }
    return readAt(reading_, span.begin, span.end - span.begin);
}

void LogDayIndex::forEachRow(qint64 first, qint64 last, const RowVisitor& visit) const {
    last = std::min(last, rowCount());
    while (first < last) {
        size_t index = 0;
        qint64 fileLast = 0;
        {
            std::shared_lock lock(mutex_);
            index = fileOf(first);
            fileLast = files_[index].firstRow + static_cast<qint64>(files_[index].starts.size());
        }
        fileLast = std::min(fileLast, last);
        if (!visitFileRows(index, first, fileLast, {}, visit)) return;
        first = fileLast;
    }
}

void LogDayIndex::forEachRow(std::span<const uint32_t> rows, const RowVisitor& visit) const {
    const qint64 count = rowCount();
    while (!rows.empty() && rows.front() < count) {
        size_t index = 0;
        qint64 fileLast = 0;
        {
            std::shared_lock lock(mutex_);
            index = fileOf(rows.front());
            fileLast = files_[index].firstRow + static_cast<qint64>(files_[index].starts.size());
        }
        const auto split = std::lower_bound(rows.begin(), rows.end(), fileLast);
        const std::span<const uint32_t> picked(rows.begin(), split);
        if (!visitFileRows(index, picked.front(), picked.back() + 1, picked, visit)) return;
        rows = std::span<const uint32_t>(split, rows.end());
    }
}

// Reads rows [first, last) of one file in one go and visits them, or only those picked.
bool LogDayIndex::visitFileRows(size_t index, qint64 first, qint64 last,
                                std::span<const uint32_t> picked, const RowVisitor& visit) const {
    std::vector<qint64> bounds;
    QString path;
    {
        std::shared_lock lock(mutex_);
        const File& file = files_[index];
        const size_t from = static_cast<size_t>(first - file.firstRow);
        const size_t to = static_cast<size_t>(last - file.firstRow);
        bounds.assign(file.starts.begin() + from, file.starts.begin() + to);
        bounds.push_back(to < file.starts.size() ? file.starts[to] : file.end);
        path = file.path;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return true;
    const QByteArray block = readAt(file, bounds.front(), bounds.back() - bounds.front());
    const auto line = [&](qint64 row) {
        const size_t i = static_cast<size_t>(row - first);
        const qint64 begin = bounds[i] - bounds.front();
        const qint64 end = std::min<qint64>(bounds[i + 1] - bounds.front(), block.size());
        return begin < end ? QByteArrayView(block).sliced(begin, end - begin) : QByteArrayView();
    };
    if (picked.empty()) {
        for (qint64 row = first; row < last; ++row) {
            if (!visit(row, line(row))) return false;
        }
        return true;
    }
    for (const uint32_t row : picked) {
        if (!visit(row, line(row))) return false;
    }
    return true;
}

} // namespace iomira
