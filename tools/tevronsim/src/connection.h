#pragma once
// One TCP connection of a device, whichever side opened it: reassembles the requests and
// sends the answers in order, each no earlier than its due time.

#include "event_loop.h"
#include "frame.h"

#include <deque>
#include <functional>

namespace tevronsim {

class Connection {
  public:
    using FrameHandler = std::function<void(Connection&, Frame)>;
    // Called (from a timer, never from inside the connection's own handler) after it closed.
    using CloseHandler = std::function<void(Connection&, const std::string& why)>;

    Connection(EventLoop& loop, int fd, int id, FrameHandler on_frame, CloseHandler on_close);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    int id() const { return id_; }
    bool open() const { return fd_ >= 0; }
    // Queues bytes behind everything queued before, to leave at now + delay at the earliest.
    void send(Bytes bytes, int delay_ms);
    void close(const std::string& why);

    bool reports_enabled = false;

  private:
    struct Pending {
        Clock::time_point due;
        Bytes bytes;
    };
    void on_events(short revents);
    void read_some();
    void flush();
    void release_due();
    void arm_timer();

    EventLoop& loop_;
    int fd_;
    int id_;
    FrameHandler on_frame_;
    CloseHandler on_close_;
    FrameReader reader_;
    Bytes out_;
    std::deque<Pending> pending_;
    EventLoop::TimerId timer_ = 0;
    EventLoop::TimerId close_timer_ = 0;
};

} // namespace tevronsim
