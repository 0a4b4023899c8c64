#include "monitor/response_watchdog.h"

#include "corvel/corvel.h"
#include "monitor/connection_manager.h"
#include "monitor/initial_read.h"
#include "monitor/monitor_events.h"
#include "monitor/monitor_log.h"
#include "monitor/shared_controllers.h"

#include <vector>

namespace iomira {

ResponseWatchdog::ResponseWatchdog(SharedControllers& controllers, MonitorLog& log,
                                   MonitorEvents& events)
    : controllers_(controllers), log_(log), events_(events) {}

namespace {

int64_t steadyMs() {
    return steadyNanoseconds() / 1'000'000;
}

} // namespace

bool ResponseWatchdog::silentTooLong(const CQUORVISData& c, int64_t nowMs) const {
    // Corvel's wait starts at the last answer or later, so a controller that answered lately
    // cannot have waited long; that rules out nearly every one without asking Corvel. The
    // answer is seen here a dispatch later than Corvel saw it, which can only delay the flag
    // by that dispatch.
    if (nowMs - c.AnsweredSteadyMs < kNotRespondingMs) return false;
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
    const int64_t now = steadyMs();
    controllers_.table().forEach([&](const CQUORVISData& c) {
        if (!c.NotResponding && silentTooLong(c, now)) silent.push_back(c.DeviceId);
    });
    for (int id : silent) {
        if (CQUORVISData* c = controllers_.table().find(id)) setNotResponding(*c, true);
    }
}

void ResponseWatchdog::answered(CQUORVISData& c) {
    c.AnsweredSteadyMs = steadyMs();
    setNotResponding(c, false);
}

void ResponseWatchdog::connectionChanged(CQUORVISData& c) {
    if (get_tcp_connection_state(c.DeviceId) != TCP_ESTABLISHED) setNotResponding(c, false);
}

} // namespace iomira
