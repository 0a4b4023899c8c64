#pragma once
// The listening socket of a device in the server role.

#include "event_loop.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tevronsim {

class Listener {
  public:
    using AcceptHandler = std::function<void(int fd)>;
    Listener(EventLoop& loop, AcceptHandler on_accept);
    ~Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    // Binds host:port (port 0: any free one). Returns an error text, empty on success.
    std::string open(const std::string& host, std::uint16_t port);
    void close();
    bool is_open() const { return fd_ >= 0; }
    std::uint16_t port() const { return port_; }

  private:
    void accept_all();

    EventLoop& loop_;
    AcceptHandler on_accept_;
    int fd_ = -1;
    std::uint16_t port_ = 0;
};

} // namespace tevronsim
