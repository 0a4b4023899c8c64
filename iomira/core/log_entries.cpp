#include "core/log_entries.h"

#include "core/event_log.h"
#include "core/quorvis_data.h"

#include <QStringList>

namespace iomira {

namespace {

QString valueWord(int value) {
    switch (value) {
    case LOG_OFF:
        return QStringLiteral("OFF");
    case LOG_ON:
        return QStringLiteral("ON");
    case LOG_PULSE:
        return QStringLiteral("PULSE");
    default:
        return {};
    }
}

QString stateWord(int state) {
    static const char* const kNames[] = {"Closed", "Listen", "Connecting", "Established", "Error"};
    return state >= 0 && state <= 4 ? QString::fromLatin1(kNames[state]) : QString();
}

QString logTime(const QDateTime& now) {
    return now.toString(QStringLiteral("yyyyMMdd/hh:mm:ss"));
}

QString portName(const std::array<QString, kDigitalPorts>& names, int port) {
    return port >= 0 && port < kDigitalPorts ? names[port] : QString();
}

QString portNumber(int port) {
    return port >= 0 ? QString::number(port) : QString();
}

// Joined by single tabs: no field is ever interpreted, so "%" and the like stay literal.
QString line(const QStringList& columns) {
    return columns.join(QLatin1Char('\t')) + QStringLiteral("\r\n");
}

} // namespace

QString stateEntryLine(const CQUORVISData& c, const QString& text, int port, int value,
                       int connectionState, const QDateTime& now) {
    const bool peer = port < 0 && c.IsServer <= 0;
    return line({c.DeviceComment, peer ? c.HostAddr : QString(), portName(c.DoComment, port),
                 stateWord(connectionState), logTime(now), portNumber(port), valueWord(value),
                 text});
}

QString inputStatusEntryLine(const CQUORVISData& c, int input, int value, const QDateTime& now) {
    return line({c.DeviceComment,
                 {},
                 portName(c.DiComment, input),
                 {},
                 logTime(now),
                 portNumber(input),
                 valueWord(value),
                 QStringLiteral("Input port status")});
}

QString valueEntryLine(const CQUORVISData& c, const QString& tag, const QString& text,
                       qint64 number1, qint64 number2, const QDateTime& now) {
    return line({c.DeviceComment,
                 {},
                 tag,
                 {},
                 logTime(now),
                 QString::number(number1),
                 QString::number(number2),
                 text});
}

QString noticeEntryLine(const QString& text, const QDateTime& now) {
    return line({{}, {}, {}, {}, logTime(now), {}, {}, text});
}

QString temperatureEntryLine(const CQUORVISData& c, const QString& temperature,
                             const QDateTime& now) {
    return line({c.DeviceComment,
                 {},
                 QStringLiteral("ANALOG"),
                 {},
                 logTime(now),
                 QStringLiteral("0"),
                 temperature,
                 QStringLiteral("Temperature")});
}

int EventLogWriters::LogStateEntry(const CQUORVISData& c, const QString& text, int port,
                                   int value) {
    const int state = state_ ? state_(c.DeviceId) : -1;
    return log_.WriteEntry(stateEntryLine(c, text, port, value, state, log_.now()));
}

int EventLogWriters::LogInputStatusEntry(const CQUORVISData& c, int input, int value) {
    return log_.WriteEntry(inputStatusEntryLine(c, input, value, log_.now()));
}

int EventLogWriters::LogValueEntry(const CQUORVISData& c, const QString& tag, const QString& text,
                                   qint64 number1, qint64 number2) {
    return log_.WriteEntry(valueEntryLine(c, tag, text, number1, number2, log_.now()));
}

int EventLogWriters::LogTemperatureEntry(const CQUORVISData& c, const QString& temperature) {
    return log_.WriteEntry(temperatureEntryLine(c, temperature, log_.now()));
}

} // namespace iomira
