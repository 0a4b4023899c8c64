#pragma once

#include <cstdint>

namespace iomira {

class CQUORVISData;
class MonitorEvents;
class MonitorLog;
class SharedControllers;

// A polled controller whose oldest request has waited this long is not responding.
inline constexpr int kNotRespondingMs = 3000;
inline constexpr int kWatchdogTickMs = 250;

// Flags the controllers that stopped answering while connected and polled, and clears the
// flag at their next answer. Corvel itself drops a connection that stays silent much longer;
// until then polling goes on. Runs on the UI thread.
class ResponseWatchdog {
  public:
    ResponseWatchdog(SharedControllers& controllers, MonitorLog& log, MonitorEvents& events);

    // One look at every controller, as the watchdog's timer makes it.
    void tick();
    // An answer came: the controller responds again.
    void answered(CQUORVISData& controller);
    // A connection notification: a controller that is no longer connected is not "not
    // responding", it is closed or in error.
    void connectionChanged(CQUORVISData& controller);

  private:
    bool silentTooLong(const CQUORVISData& controller, int64_t nowMs) const;
    void setNotResponding(CQUORVISData& controller, bool notResponding);

    SharedControllers& controllers_;
    MonitorLog& log_;
    MonitorEvents& events_;
};

} // namespace iomira
