#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace iomira {

class CQUORVISData;
class MonitorEvents;
class MonitorLog;
class SharedControllers;

inline constexpr int kReconnectTimerId = 8745;
inline constexpr int kReconnectTickMs = 100;
inline constexpr int64_t kReconnectDelayMs = 5000;

// Monotonic nanoseconds; injectable so the reconnection rule can be tested without waiting.
using MonotonicClock = std::function<int64_t()>;
int64_t steadyNanoseconds();

// Starts connections: at start-up, by the Connect command and by the reconnection timer.
// Runs on the UI thread, holding no lock: connect_device may report at once.
class ConnectionManager {
  public:
    ConnectionManager(SharedControllers& controllers, MonitorLog& log, MonitorEvents& events,
                      MonotonicClock clock = steadyNanoseconds);

    // Start-up: the controller is wanted connected whatever the result; no message is shown.
    int connectAtStartup(CQUORVISData& controller);
    // The Connect command: one reconnection step without the delay; reports -1 and -3.
    int connectCommand(CQUORVISData& controller);
    // One tick of the reconnection timer over every controller.
    void reconnectTick();
    // Remembers when a connection notification left the controller in error.
    void noteFailure(CQUORVISData& controller);

  private:
    int start(CQUORVISData& controller, bool report);
    bool dueForReconnect(const CQUORVISData& controller, int64_t now) const;
    void refreshCandidates();

    SharedControllers& controllers_;
    MonitorLog& log_;
    MonitorEvents& events_;
    MonotonicClock clock_;
    // The controllers wanted connected whose link was closed or failed when the table was last
    // walked; walked again when Corvel counts a state change or a controller becomes wanted.
    std::vector<int> candidates_;
    uint32_t seenStateChanges_ = 0;
    bool walkWanted_ = true;
};

} // namespace iomira
