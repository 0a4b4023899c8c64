#pragma once
// A small epoll-based event loop: descriptors with handlers, and one-shot timers.
// Other parts of the simulator (the Modbus/TCP endpoints, a UDP responder, standard input)
// register their descriptors here; everything runs on the one thread that calls run().
// Callers speak poll() event bits; a wake-up costs only what is ready, not what is watched,
// so that one process can serve thousands of devices.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <unordered_map>
#include <vector>

namespace tevronsim {

using Clock = std::chrono::steady_clock;

class EventLoop {
  public:
    using IoHandler = std::function<void(short revents)>;
    using TimerHandler = std::function<void()>;
    using TimerId = std::uint64_t;

    EventLoop();
    ~EventLoop();
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

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
        short events = 0;
        // 0: not watched. Travels with each ready event, so that an event for a handler
        // removed or replaced earlier in the same pass is recognised as stale.
        std::uint32_t generation = 0;
        IoHandler handler;
    };
    using Timers = std::multimap<Clock::time_point, std::pair<TimerId, TimerHandler>>;

    Watch* find_watch(int fd);
    bool control(int op, int fd, const Watch& w);
    void dispatch(int fd, std::uint32_t generation, std::uint32_t epoll_events);
    void dispatch_always_ready();
    int poll_timeout(int max_wait_ms) const;
    void run_due_timers();

    int epoll_fd_ = -1;
    std::vector<Watch> watches_; // indexed by descriptor
    // Regular files and /dev/null, which epoll refuses and poll reports as always ready.
    std::vector<int> always_ready_;
    Timers timers_;
    std::unordered_map<TimerId, Timers::iterator> timer_index_;
    std::uint32_t next_generation_ = 1;
    TimerId next_timer_ = 1;
    bool stopped_ = false;
};

} // namespace tevronsim
