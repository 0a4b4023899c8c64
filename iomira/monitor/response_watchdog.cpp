#include "monitor/response_watchdog.h"

#include "corvel/corvel.h"
#include "monitor/initial_read.h"
#include "monitor/monitor_events.h"
#include "monitor/monitor_log.h"
#include "monitor/shared_controllers.h"

#include <vector>

namespace iomira {

ResponseWatchdog::ResponseWatchdog(SharedControllers& controllers, MonitorLog& log,
                                   MonitorEvents& events)
    : controllers_(controllers), log_(log), events_(events) {}

bool ResponseWatchdog::silentTooLong(const CQUORVISData& c) const {
    // The wait first: it is one look at the connection, and it rules out nearly every one.
    return get_unanswered_ms(c.DeviceId) >= kNotRespondingMs && isPolled(c);
}

void ResponseWatchdog::setNotResponding(CQUORVISData& c, bool notResponding) {
    if (c.NotResponding == notResponding) return;
    c.NotResponding = notResponding;
    if (notResponding) log_.state(c, LogCategory::Tcp, QStringLiteral("Not responding"));
    events_.responseChanged(c.DeviceId);
}

void ResponseWatchdog::tick() {
    // Ids first: the events may change the table.
    std::vector<int> silent;
    controllers_.table().forEach([&](const CQUORVISData& c) {
        if (!c.NotResponding && silentTooLong(c)) silent.push_back(c.DeviceId);
    });
    for (int id : silent) {
        if (CQUORVISData* c = controllers_.table().find(id)) setNotResponding(*c, true);
    }
}

void ResponseWatchdog::answered(CQUORVISData& c) {
    setNotResponding(c, false);
}

void ResponseWatchdog::connectionChanged(CQUORVISData& c) {
    if (get_tcp_connection_state(c.DeviceId) != TCP_ESTABLISHED) setNotResponding(c, false);
}

} // namespace iomira
