#include "core/trend_history.h"

#include "core/local_text.h"
#include "core/log_day_files.h"
#include "core/log_line.h"
#include "core/log_texts.h"
#include "core/texts.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <climits>
#include <cmath>
#include <optional>

namespace iomira {

namespace {

// What one entry says: which channel and its raw value; none for other entries.
struct Reading {
    TrendKind kind;
    int index;
    int32_t raw;
};

std::optional<int> number(QByteArrayView text, int low, int high) {
    bool ok = false;
    const long long value = text.toLongLong(&ok);
    if (!ok || value < low || value > high) return std::nullopt;
    return static_cast<int>(value);
}

std::optional<int32_t> portState(QByteArrayView text) {
    if (text == "ON") return 1;
    if (text == "OFF") return 0;
    return std::nullopt;
}

std::optional<int32_t> counterRaw(QByteArrayView text) {
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok);
    if (!ok || value > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

// "-12.3" back to the register's tenths of a degree.
std::optional<int32_t> temperatureRaw(QByteArrayView text) {
    bool ok = false;
    const double degrees = text.toDouble(&ok);
    if (!ok || !std::isfinite(degrees) || std::abs(degrees) > 3276.7) return std::nullopt;
    return static_cast<int32_t>(std::lround(degrees * 10.0));
}

// The log's words for the value entries, as the file holds them.
struct EntryWords {
    QByteArray analog = toLocalCodeSet(logText(TEXT_ANALOG_VALUE));
    QByteArray counter = toLocalCodeSet(logText(TEXT_COUNTER_VALUE));
    QByteArray output = toLocalCodeSet(logText(TEXT_OUTPUT_PORT_STATUS));
};

std::optional<TrendKind> kindOf(QByteArrayView tag, QByteArrayView etc) {
    static const EntryWords words;
    if (tag == "ANALOG" && etc == words.analog) return TrendKind::Analog;
    if (tag == "ANALOG" && etc == "Temperature") return TrendKind::Temperature;
    if (tag == "COUNTER" && etc == words.counter) return TrendKind::Counter;
    if (etc == "Input port status") return TrendKind::DigitalInput;
    if (etc == words.output) return TrendKind::DigitalOutput;
    return std::nullopt;
}

std::optional<int32_t> rawOf(TrendKind kind, QByteArrayView value) {
    switch (kind) {
    case TrendKind::Analog:
        return number(value, INT32_MIN, INT32_MAX);
    case TrendKind::Temperature:
        return temperatureRaw(value);
    case TrendKind::Counter:
        return counterRaw(value);
    case TrendKind::DigitalInput:
    case TrendKind::DigitalOutput:
        break;
    }
    return portState(value);
}

int lastIndex(TrendKind kind) {
    if (kind == TrendKind::Temperature) return 0;
    return isDigitalTrend(kind) ? 7 : 3;
}

// The entry's reading; `damaged` when it is a value entry whose numbers do not read.
std::optional<Reading> readingOf(const LogLineFields& f, bool& damaged) {
    const std::optional<TrendKind> kind = kindOf(f.columns[LOG_TAG_NAME], f.columns[LOG_ETC]);
    if (!kind) return std::nullopt;
    const std::optional<int> index = number(f.columns[LOG_ADDRESS], 0, lastIndex(*kind));
    const std::optional<int32_t> raw = rawOf(*kind, f.columns[LOG_VALUE]);
    damaged = !index || !raw;
    if (damaged) return std::nullopt;
    return Reading{*kind, *index, *raw};
}

} // namespace

void addTrendHistory(TrendHistory& history, QByteArrayView bytes, QByteArrayView deviceComment,
                     int deviceId, int64_t from, int64_t to) {
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        end = end < 0 ? bytes.size() : end + 1;
        const LogLineFields f = splitLogLine(bytes.sliced(start, end - start));
        start = end;
        if (f.header) continue;
        if (f.malformed()) {
            ++history.skippedLines;
            continue;
        }
        if (f.columns[LOG_COM_NAME] != deviceComment) continue;
        bool damaged = false;
        const std::optional<Reading> reading = readingOf(f, damaged);
        const QDateTime time = logLineTime(f.columns[LOG_TIME]);
        if (damaged || (reading && !time.isValid())) ++history.skippedLines;
        if (!reading || !time.isValid()) continue;
        const int64_t seconds = time.toSecsSinceEpoch();
        if (seconds < from || seconds > to) continue;
        SampleSeries& series = history.series[{deviceId, reading->kind, reading->index}];
        if (series.samples.empty()) series.base = from;
        series.append(seconds, reading->raw);
    }
}

TrendHistory readTrendHistory(const QString& folder, const QString& deviceComment, int deviceId,
                              int64_t from, int64_t to) {
    TrendHistory history;
    const QByteArray name = toLocalCodeSet(deviceComment);
    const QDate first = QDateTime::fromSecsSinceEpoch(from).date();
    const QDate last = QDateTime::fromSecsSinceEpoch(to).date();
    const QDir dir(folder);
    for (const DailyLogFile& day : dailyLogFiles(folder)) {
        if (day.date < first || day.date > last) continue;
        QFile file(dir.filePath(day.name));
        if (file.open(QIODevice::ReadOnly))
            addTrendHistory(history, file.readAll(), name, deviceId, from, to);
    }
    return history;
}

} // namespace iomira
