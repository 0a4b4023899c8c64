#pragma once
// Answers the device-management protocol for the simulated devices on two UDP sockets
// (socket A's port and that port + 2), tkb11lib's frames on socket A and Kestrel's on a
// third socket, on the simulator's event loop.

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

    // Opens the sockets; returns an error text, empty on success.
    std::string start();
    // "management 127.0.0.1:50005 127.0.0.1:50007".
    std::string line() const;
    // "kestrel 127.0.0.1:50020".
    std::string kestrel_line() const;

  private:
    std::string open_socket(std::uint16_t port, int& fd, std::uint16_t& bound);
    void on_readable(int fd);
    // Hands one datagram to every device it may be for.
    void dispatch(int fd, std::span<const std::uint8_t> request, const sockaddr_in& peer,
                  std::uint32_t local, int interface);
    void send_replies(int fd, const std::vector<Datagram>& replies, const sockaddr_in& peer,
                      int interface, bool broadcast);

    Simulator& sim_;
    RequestLog& log_;
    ManagementConfig config_;
    std::map<std::string, ManagedDevice> devices_; // by device name
    int sockets_[3] = {-1, -1, -1};                // A, B, Kestrel
    std::uint16_t ports_[3] = {0, 0, 0};
};

} // namespace tevronsim
