#pragma once
// Puts one simulated device on the network: its endpoint (listening, or connecting out),
// its connections, the test faults on the way in and out, change reports and pulse ends.

#include "connection.h"
#include "connector.h"
#include "device.h"
#include "listener.h"
#include "request_log.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace tevronsim {

class DeviceHost {
  public:
    DeviceHost(EventLoop& loop, RequestLog& log, DeviceConfig config);
    ~DeviceHost();
    DeviceHost(const DeviceHost&) = delete;
    DeviceHost& operator=(const DeviceHost&) = delete;

    // Opens the listening socket or starts connecting. Returns an error text, empty on success.
    std::string start();
    Device& device() { return device_; }
    const Device& device() const { return device_; }
    // "server 127.0.0.1:5020" or "client [::1]:5020".
    std::string endpoint_text() const;
    std::size_t connection_count() const;

    // Applies a change of state and sends the change reports it causes.
    void mutate(const std::function<void(Device&)>& change);
    void drop_connections();
    std::string set_refuse(bool on);
    // Sends bytes as they are to every connection (for malformed frames).
    void send_raw(const Bytes& bytes);

  private:
    void adopt(int fd);
    void on_frame(Connection& connection, Frame frame);
    void answer(Connection& connection, const Frame& frame, LogEntry& entry);
    void on_closed(Connection& connection, const std::string& why);
    void report_changes(const IoState& before);
    void schedule_pulse_end();

    EventLoop& loop_;
    RequestLog& log_;
    Device device_;
    std::optional<Listener> listener_;
    std::optional<Connector> connector_;
    std::map<int, std::unique_ptr<Connection>> connections_;
    EventLoop::TimerId pulse_timer_ = 0;
    std::uint8_t report_sequence_ = 0;
};

} // namespace tevronsim
