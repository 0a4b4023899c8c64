#pragma once

#include "core/log_entries.h"
#include "monitor/log_switches.h"

namespace iomira {

// The entry writers behind the common gate: a controller's UseLog and its category's switch.
class MonitorLog {
  public:
    MonitorLog(EventLogWriters& writers, LogSwitches& switches)
        : writers_(writers), switches_(switches) {}

    bool enabled(const CQUORVISData& controller, LogCategory category) const;

    void state(const CQUORVISData& controller, LogCategory category, const QString& text = {},
               int port = -1, int value = LOG_VALUE_NONE);
    void inputStatus(const CQUORVISData& controller, int input, int value);
    void value(const CQUORVISData& controller, const QString& tag, const QString& text,
               qint64 number1, qint64 number2);
    void temperature(const CQUORVISData& controller, const QString& text);

  private:
    EventLogWriters& writers_;
    LogSwitches& switches_;
};

} // namespace iomira
