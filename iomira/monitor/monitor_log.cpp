#include "monitor/monitor_log.h"

#include "core/global_settings.h"
#include "core/quorvis_data.h"

namespace iomira {

void LogSwitches::assign(const GlobalSwitches& s) {
    tcp = s.logTcp;
    input = s.logInput;
    output = s.logOutput;
    notificationEmail = s.logNotificationEmail;
}

bool MonitorLog::enabled(const CQUORVISData& c, LogCategory category) const {
    if (c.UseLog != 1) return false;
    switch (category) {
    case LogCategory::Tcp:
        return switches_.tcp == 1;
    case LogCategory::Input:
        return switches_.input == 1;
    case LogCategory::Output:
        return switches_.output == 1;
    case LogCategory::Any:
        return true;
    }
    return false;
}

void MonitorLog::state(const CQUORVISData& c, LogCategory category, const QString& text, int port,
                       int value) {
    if (enabled(c, category)) writers_.LogStateEntry(c, text, port, value);
}

void MonitorLog::inputStatus(const CQUORVISData& c, int input, int value) {
    if (enabled(c, LogCategory::Input)) writers_.LogInputStatusEntry(c, input, value);
}

void MonitorLog::value(const CQUORVISData& c, const QString& tag, const QString& text,
                       qint64 number1, qint64 number2) {
    if (enabled(c, LogCategory::Input)) writers_.LogValueEntry(c, tag, text, number1, number2);
}

void MonitorLog::temperature(const CQUORVISData& c, const QString& text) {
    if (enabled(c, LogCategory::Input)) writers_.LogTemperatureEntry(c, text);
}

} // namespace iomira
