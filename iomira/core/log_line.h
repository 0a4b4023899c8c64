#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <array>

namespace iomira {

// The columns of an event log line, in the order the file holds them.
enum LogColumn {
    LOG_COM_NAME,
    LOG_PEER_IP,
    LOG_TAG_NAME,
    LOG_STATE,
    LOG_TIME,
    LOG_ADDRESS,
    LOG_VALUE,
    LOG_ETC,
    LOG_COLUMN_COUNT
};

// The first line of every log file, naming the columns.
inline constexpr char kLogHeader[] =
    "Com Name\tPeer IP\tTag Name\tState\tTime\tAddress\tValue\tEtc\r\n";

// What a line is about, derived from its columns and the texts the program writes.
enum class LogLineCategory { Connection, Input, Output, Email, Other };

// Ways a line can differ from what the log writes; a line with any of them is malformed but
// kept and shown as it is.
enum LogLineFlaw : unsigned {
    LOG_LINE_COLUMNS = 1,  // not exactly eight columns
    LOG_LINE_OVERLONG = 2, // longer than the log ever writes an entry
    LOG_LINE_ENCODING = 4, // not valid UTF-8
    LOG_LINE_UNENDED = 8,  // no CR LF at its end: cut, or still being written
};

// One line split into its columns without copying: views into the caller's bytes.
struct LogLineFields {
    std::array<QByteArrayView, LOG_COLUMN_COUNT> columns;
    QByteArrayView text; // the whole line without its line end
    unsigned flaws = 0;
    bool header = false;
    bool malformed() const { return flaws != 0; }
};

// Splits one line (with or without its CR LF). A line with more than eight columns keeps the
// extra tabs in its last column; missing columns are empty. Checks the encoding too.
LogLineFields splitLogLine(QByteArrayView line);

// The column time "yyyyMMdd/hh:mm:ss" as local time; null when it is no valid time.
QDateTime logLineTime(QByteArrayView column);

// One line with its columns as text, for showing it.
struct LogLine {
    std::array<QString, LOG_COLUMN_COUNT> columns;
    QString raw; // the whole line without its line end, as it is in the file
    QDateTime time;
    LogLineCategory category = LogLineCategory::Other;
    unsigned flaws = 0;
    bool header = false;
    bool malformed() const { return flaws != 0; }
};

LogLine parseLogLine(QByteArrayView line);

} // namespace iomira
