#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

namespace iomira {

class CQUORVISData;
class EventLog;

// Port value codes as the log names them: "OFF", "ON", "PULSE".
enum LogPortValue { LOG_VALUE_NONE = -1, LOG_OFF = 0, LOG_ON = 1, LOG_PULSE = 2 };

// The eight tab-separated columns of one entry, ended by CR LF. Pure, for exact testing.
QString stateEntryLine(const CQUORVISData& controller, const QString& text, int port, int value,
                       int connectionState, const QDateTime& now);
QString inputStatusEntryLine(const CQUORVISData& controller, int input, int value,
                             const QDateTime& now);
QString valueEntryLine(const CQUORVISData& controller, const QString& tag, const QString& text,
                       qint64 number1, qint64 number2, const QDateTime& now);
QString temperatureEntryLine(const CQUORVISData& controller, const QString& temperature,
                             const QDateTime& now);
// A line of the log about the log itself: only the time and the text are filled.
QString noticeEntryLine(const QString& text, const QDateTime& now);

// The four writers: each composes its line at the log's current time and writes it. The
// caller has already checked the controller's UseLog and the category's switch.
class EventLogWriters {
  public:
    // Gives the connection state Corvel reports for a device key.
    using StateLookup = std::function<int(int deviceId)>;

    EventLogWriters(EventLog& log, StateLookup state) : log_(log), state_(std::move(state)) {}

    int LogStateEntry(const CQUORVISData& controller, const QString& text = {}, int port = -1,
                      int value = LOG_VALUE_NONE);
    int LogInputStatusEntry(const CQUORVISData& controller, int input, int value);
    int LogValueEntry(const CQUORVISData& controller, const QString& tag, const QString& text,
                      qint64 number1, qint64 number2);
    int LogTemperatureEntry(const CQUORVISData& controller, const QString& temperature);

  private:
    EventLog& log_;
    StateLookup state_;
};

} // namespace iomira
