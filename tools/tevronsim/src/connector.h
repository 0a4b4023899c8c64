#pragma once
// The client role: the device connects out to the program's server mode and, while it has
// no connection, tries again every second.

#include "event_loop.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tevronsim {

class Connector {
  public:
    using ConnectHandler = std::function<void(int fd)>;
    Connector(EventLoop& loop, std::string host, std::uint16_t port, ConnectHandler on_connect);
    ~Connector();
    Connector(const Connector&) = delete;
    Connector& operator=(const Connector&) = delete;

    void start();
    void stop();
    // The connection handed out was lost: try again a second later.
    void lost();

  private:
    void attempt();
    void on_writable();
    void retry_later();
    void abandon_socket();

    EventLoop& loop_;
    std::string host_;
    std::uint16_t port_;
    ConnectHandler on_connect_;
    int fd_ = -1; // the socket while the connect is under way
    bool running_ = false;
    EventLoop::TimerId timer_ = 0;
};

} // namespace tevronsim
