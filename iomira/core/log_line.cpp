#include "core/log_line.h"

#include "core/event_log.h"
#include "core/local_text.h"
#include "core/log_line_category.h"

namespace iomira {

namespace {

constexpr QByteArrayView kHeaderText(kLogHeader, sizeof kLogHeader - 3);
constexpr qsizetype kTimeLength = 17; // "yyyyMMdd/hh:mm:ss"

// The line without its end; a bare LF ends a line too, but only CR LF is the log's own end.
QByteArrayView withoutLineEnd(QByteArrayView line, unsigned& flaws) {
    if (line.endsWith("\r\n")) return line.chopped(2);
    flaws |= LOG_LINE_UNENDED;
    return line.endsWith('\n') ? line.chopped(1) : line;
}

void splitColumns(LogLineFields& fields) {
    const QByteArrayView text = fields.text;
    qsizetype start = 0;
    int column = 0;
    for (; column < LOG_ETC; ++column) {
        const qsizetype tab = text.indexOf('\t', start);
        if (tab < 0) break;
        fields.columns[column] = text.sliced(start, tab - start);
        start = tab + 1;
    }
    fields.columns[column] = text.sliced(start);
    if (column != LOG_ETC || fields.columns[LOG_ETC].contains('\t'))
        fields.flaws |= LOG_LINE_COLUMNS;
}

// The number in `length` digits at `at`, or -1 when one of them is no digit.
int digits(QByteArrayView text, qsizetype at, int length) {
    int value = 0;
    for (int i = 0; i < length; ++i) {
        const char c = text[at + i];
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

LogLineFields splitLogLine(QByteArrayView line) {
    LogLineFields fields;
    if (line.size() > kLogEntryMaxBytes) fields.flaws |= LOG_LINE_OVERLONG;
    fields.text = withoutLineEnd(line, fields.flaws);
    if (!isLocalCodeSet(fields.text)) fields.flaws |= LOG_LINE_ENCODING;
    fields.header = fields.text == kHeaderText;
    splitColumns(fields);
    return fields;
}

QDateTime logLineTime(QByteArrayView column) {
    if (column.size() != kTimeLength || column[8] != '/' || column[11] != ':' || column[14] != ':')
        return {};
    const int year = digits(column, 0, 4);
    if (year < 0) return {};
    const QDate date(year, digits(column, 4, 2), digits(column, 6, 2));
    const QTime time(digits(column, 9, 2), digits(column, 12, 2), digits(column, 15, 2));
    if (!date.isValid() || !time.isValid()) return {};
    return QDateTime(date, time);
}

LogLine parseLogLine(QByteArrayView bytes) {
    const LogLineFields fields = splitLogLine(bytes);
    LogLine line;
    for (int column = 0; column < LOG_COLUMN_COUNT; ++column)
        line.columns[column] = fromLocalCodeSet(fields.columns[column]);
    line.raw = fromLocalCodeSet(fields.text);
    line.time = logLineTime(fields.columns[LOG_TIME]);
    line.category = classifyLogLine(fields);
    line.flaws = fields.flaws;
    line.header = fields.header;
    return line;
}

} // namespace iomira
