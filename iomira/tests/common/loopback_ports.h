#pragma once

namespace iomira::test {

// A listening socket of the test's own on 127.0.0.1 and an ephemeral port.
class LoopbackListener {
  public:
    LoopbackListener();
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    int port() const { return port_; }
    // Takes one connection that reached the backlog; false when none came.
    bool acceptOne();

  private:
    int fd_ = -1;
    int port_ = 0;
};

// A loopback port nobody listens on: bound to learn a free number, then closed again.
int refusedLoopbackPort();

} // namespace iomira::test
