#pragma once
// A small poll()-based event loop: descriptors with handlers, and one-shot timers.
// Other parts of the simulator (the Modbus/TCP endpoints, a UDP responder, standard input)
// register their descriptors here; everything runs on the one thread that calls run().

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace tevronsim {

using Clock = std::chrono::steady_clock;

class EventLoop {
  public:
    using IoHandler = std::function<void(short revents)>;
    using TimerHandler = std::function<void()>;
    using TimerId = std::uint64_t;

    // Watches fd for the poll events; a second call for the same fd replaces the handler.
    void watch(int fd, short events, IoHandler handler);
    void set_events(int fd, short events);
    void unwatch(int fd);

    TimerId add_timer(Clock::time_point when, TimerHandler handler);
    TimerId add_timer(std::chrono::milliseconds delay, TimerHandler handler);
    void cancel_timer(TimerId id);

    // Waits at most max_wait (negative: until something happens) and runs what is due.
    void run_once(int max_wait_ms);
    void run();
    void stop() { stopped_ = true; }
    bool stopped() const { return stopped_; }

  private:
    struct Watch {
        short events;
        std::uint64_t generation;
        IoHandler handler;
    };
    int poll_timeout(int max_wait_ms) const;
    void run_due_timers();

    std::map<int, Watch> watches_;
    std::multimap<Clock::time_point, std::pair<TimerId, TimerHandler>> timers_;
    std::uint64_t next_generation_ = 1;
    TimerId next_timer_ = 1;
    bool stopped_ = false;
};

} // namespace tevronsim
