#include "core/log_export.h"

#include "core/csv_writer.h"
#include "core/local_text.h"
#include "core/log_day_index.h"
#include "core/log_line.h"

#include <array>

namespace iomira {

namespace {

// Flushed to the device in pieces of about this size.
constexpr qsizetype kWriteChunk = 1024 * 1024;

void appendFields(QByteArray& out, const LogLineFields& fields) {
    std::array<QByteArrayView, LOG_COLUMN_COUNT> columns = fields.columns;
    if (fields.flaws & LOG_LINE_COLUMNS) {
        columns = {};
        columns[LOG_ETC] = fields.text;
    }
    if (!(fields.flaws & LOG_LINE_ENCODING)) {
        appendCsvRow(out, columns);
        return;
    }
    std::array<QByteArray, LOG_COLUMN_COUNT> text;
    for (int i = 0; i < LOG_COLUMN_COUNT; ++i)
        text[i] = fromLocalCodeSet(columns[i]).toUtf8();
    const std::array<QByteArrayView, LOG_COLUMN_COUNT> views(
        {text[0], text[1], text[2], text[3], text[4], text[5], text[6], text[7]});
    appendCsvRow(out, views);
}

class CsvOutput {
  public:
    explicit CsvOutput(QIODevice& out) : out_(out) { buffer_ = logCsvHeader(); }
    bool add(QByteArrayView line) {
        appendFields(buffer_, splitLogLine(line));
        return buffer_.size() < kWriteChunk || flush();
    }
    bool flush() {
        const bool written = out_.write(buffer_) == buffer_.size();
        buffer_.clear();
        failed_ = failed_ || !written;
        return !failed_;
    }
    bool finish() { return flush() && !failed_; }

  private:
    QIODevice& out_;
    QByteArray buffer_;
    bool failed_ = false;
};

} // namespace

QByteArray logCsvRow(QByteArrayView line) {
    QByteArray out;
    appendFields(out, splitLogLine(line));
    return out;
}

QByteArray logCsvHeader() {
    return logCsvRow(kLogHeader);
}

bool writeLogCsv(const LogDayIndex& index, std::span<const uint32_t> rows, QIODevice& out) {
    CsvOutput csv(out);
    index.forEachRow(rows, [&](qint64, QByteArrayView line) { return csv.add(line); });
    return csv.finish();
}

bool writeLogCsv(const LogDayIndex& index, QIODevice& out) {
    CsvOutput csv(out);
    index.forEachRow(0, index.rowCount(),
                     [&](qint64, QByteArrayView line) { return csv.add(line); });
    return csv.finish();
}

} // namespace iomira
