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
    walkWanted_ = true;
}

int ConnectionManager::connectAtStartup(CQUORVISData& c) {
    c.ReconnectWanted = 1;
    walkWanted_ = true;
    return start(c, false);
}

int ConnectionManager::connectCommand(CQUORVISData& c) {
    c.ReconnectWanted = 1;
    walkWanted_ = true;
    return start(c, true);
}

namespace {

bool waitsForReconnect(const CQUORVISData& c) {
    if (c.ReconnectWanted != 1) return false;
    const int state = get_tcp_connection_state(c.DeviceId);
    return state == TCP_CLOSED || state == TCP_ERROR;
}

} // namespace

bool ConnectionManager::dueForReconnect(const CQUORVISData& c, int64_t now) const {
    return waitsForReconnect(c) && (now - c.LastFailureTime) / 1000000 >= kReconnectDelayMs;
}

// Walking ten thousand controllers ten times a second to find none closed would be most of
// an idle program's work; the walk waits until some state changed.
void ConnectionManager::refreshCandidates() {
    const uint32_t changes = corvel_state_changes(); // read before the walk, so none is missed
    if (!walkWanted_ && changes == seenStateChanges_) return;
    walkWanted_ = false;
    seenStateChanges_ = changes;
    candidates_.clear();
    controllers_.table().forEach([&](const CQUORVISData& c) {
        if (waitsForReconnect(c)) candidates_.push_back(c.DeviceId);
    });
}

void ConnectionManager::reconnectTick() {
    refreshCandidates();
    // Ids first: a message box or a synchronous notification may change the table.
    std::vector<int> due;
    const int64_t now = clock_();
    for (int id : candidates_) {
        const CQUORVISData* c = controllers_.table().find(id);
        if (c && dueForReconnect(*c, now)) due.push_back(id);
    }
    for (int id : due) {
        events_.reconnecting(id);
        if (CQUORVISData* c = controllers_.table().find(id)) start(*c, true);
    }
}

} // namespace iomira
