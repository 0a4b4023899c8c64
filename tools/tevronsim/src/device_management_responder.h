#pragma once
// Answers the device-management protocol for the simulated devices on two UDP sockets
// (socket A's port and that port + 2), on the simulator's event loop.

#include "device_management_file.h"
#include "device_management_state.h"
#include "request_log.h"
#include "simulator.h"

#include <map>
#include <string>

namespace tevronsim {

class DeviceManagementResponder {
  public:
    // Requests and what each device did with them go to log.
    DeviceManagementResponder(Simulator& sim, RequestLog& log, ManagementConfig config);
    ~DeviceManagementResponder();
    DeviceManagementResponder(const DeviceManagementResponder&) = delete;
    DeviceManagementResponder& operator=(const DeviceManagementResponder&) = delete;

    // Opens both sockets; returns an error text, empty on success.
    std::string start();
    // "management 127.0.0.1:50005 127.0.0.1:50007".
    std::string line() const;

  private:
    std::string open_socket(std::uint16_t port, int& fd, std::uint16_t& bound);
    void on_readable(int fd);

    Simulator& sim_;
    RequestLog& log_;
    ManagementConfig config_;
    std::map<std::string, ManagedDevice> devices_; // by device name
    int sockets_[2] = {-1, -1};
    std::uint16_t ports_[2] = {0, 0};
};

} // namespace tevronsim
