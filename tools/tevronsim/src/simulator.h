#pragma once
// The set of simulated devices sharing one event loop and one request log.

#include "device_host.h"

#include <memory>
#include <string>
#include <vector>

namespace tevronsim {

class Simulator {
  public:
    Simulator(EventLoop& loop, RequestLog& log) : loop_(loop), log_(log) {}

    void add(DeviceConfig config);
    // Starts every device; returns the first error, empty when all started.
    std::string start();
    DeviceHost* find(const std::string& name);
    const std::vector<std::unique_ptr<DeviceHost>>& hosts() const { return hosts_; }
    EventLoop& loop() { return loop_; }
    // One line per device: "device NAME MODEL server HOST:PORT unit N".
    std::string device_line(const DeviceHost& host) const;

  private:
    EventLoop& loop_;
    RequestLog& log_;
    std::vector<std::unique_ptr<DeviceHost>> hosts_;
};

} // namespace tevronsim
