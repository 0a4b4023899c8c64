#include "monitor/connection_manager.h"

#include "core/string_table.h"
#include "core/texts.h"
#include "corvel/corvel.h"
#include "monitor/monitor_events.h"
#include "monitor/monitor_log.h"
#include "monitor/shared_controllers.h"

#include <vector>

namespace iomira {

int64_t steadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

ConnectionManager::ConnectionManager(SharedControllers& controllers, MonitorLog& log,
                                     MonitorEvents& events, MonotonicClock clock)
    : controllers_(controllers), log_(log), events_(events), clock_(std::move(clock)) {}

int ConnectionManager::start(CQUORVISData& c, bool report) {
    const int id = c.DeviceId;
    int32_t error = 0;
    const int result = connect_device(id, &error);
    // connect_device may have reported a failure synchronously; the record is still ours,
    // since only this thread removes controllers.
    if (result == CORVEL_OK) {
        log_.state(c, LogCategory::Tcp);
        events_.connectionStarted(id);
    } else if (report && (result == CORVEL_UNKNOWN_DEVICE || result == CORVEL_WRONG_STATE)) {
        events_.showError(loadString(TEXT_CONNECT_DEVICE_RESULT)
                              .replace(QLatin1String("%d"), QString::number(result)));
    }
    return result;
}

void ConnectionManager::noteFailure(CQUORVISData& c) {
    c.LastFailureTime = clock_();
}

int ConnectionManager::connectAtStartup(CQUORVISData& c) {
    c.ReconnectWanted = 1;
    return start(c, false);
}

int ConnectionManager::connectCommand(CQUORVISData& c) {
    c.ReconnectWanted = 1;
    return start(c, true);
}

bool ConnectionManager::dueForReconnect(const CQUORVISData& c, int64_t now) const {
    if (c.ReconnectWanted != 1) return false;
    const int state = get_tcp_connection_state(c.DeviceId);
    if (state != TCP_CLOSED && state != TCP_ERROR) return false;
    return (now - c.LastFailureTime) / 1000000 >= kReconnectDelayMs;
}

void ConnectionManager::reconnectTick() {
    // Ids first: a message box or a synchronous notification may change the table.
    std::vector<int> due;
    const int64_t now = clock_();
    controllers_.table().forEach([&](const CQUORVISData& c) {
        if (dueForReconnect(c, now)) due.push_back(c.DeviceId);
    });
    for (int id : due) {
        events_.reconnecting(id);
        if (CQUORVISData* c = controllers_.table().find(id)) start(*c, true);
    }
}

} // namespace iomira
