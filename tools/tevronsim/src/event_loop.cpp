#include "event_loop.h"

#include <poll.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tevronsim {

void EventLoop::watch(int fd, short events, IoHandler handler) {
    watches_[fd] = Watch{events, next_generation_++, std::move(handler)};
}

void EventLoop::set_events(int fd, short events) {
    auto it = watches_.find(fd);
    if (it != watches_.end()) it->second.events = events;
}

void EventLoop::unwatch(int fd) {
    watches_.erase(fd);
}

EventLoop::TimerId EventLoop::add_timer(Clock::time_point when, TimerHandler handler) {
    TimerId id = next_timer_++;
    timers_.emplace(when, std::make_pair(id, std::move(handler)));
    return id;
}

EventLoop::TimerId EventLoop::add_timer(std::chrono::milliseconds delay, TimerHandler handler) {
    return add_timer(Clock::now() + delay, std::move(handler));
}

void EventLoop::cancel_timer(TimerId id) {
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (it->second.first == id) {
            timers_.erase(it);
            return;
        }
    }
}

int EventLoop::poll_timeout(int max_wait_ms) const {
    if (timers_.empty()) return max_wait_ms;
    auto until = timers_.begin()->first - Clock::now();
    // Round up so that a timer is never polled for a moment too early and spun on.
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(until).count();
    if (ms < 0) ms = 0;
    if (max_wait_ms >= 0 && ms > max_wait_ms) ms = max_wait_ms;
    return static_cast<int>(ms);
}

void EventLoop::run_due_timers() {
    // Only timers due now run; a handler that adds an immediate timer waits for the next pass.
    auto now = Clock::now();
    std::vector<TimerHandler> due;
    while (!timers_.empty() && timers_.begin()->first <= now) {
        due.push_back(std::move(timers_.begin()->second.second));
        timers_.erase(timers_.begin());
    }
    for (auto& handler : due)
        handler();
}

void EventLoop::run_once(int max_wait_ms) {
    std::vector<pollfd> fds;
    std::vector<std::uint64_t> generations;
    fds.reserve(watches_.size());
    for (const auto& [fd, w] : watches_) {
        fds.push_back(pollfd{fd, w.events, 0});
        generations.push_back(w.generation);
    }
    int n = ::poll(fds.data(), fds.size(), poll_timeout(max_wait_ms));
    if (n < 0 && errno != EINTR) {
        std::fprintf(stderr, "tevronsim: poll: %s\n", std::strerror(errno));
        stopped_ = true;
        return;
    }
    for (std::size_t i = 0; n > 0 && i < fds.size(); ++i) {
        if (fds[i].revents == 0) continue;
        // A handler may have removed or replaced this descriptor meanwhile.
        auto it = watches_.find(fds[i].fd);
        if (it == watches_.end() || it->second.generation != generations[i]) continue;
        IoHandler handler = it->second.handler;
        handler(fds[i].revents);
    }
    run_due_timers();
}

void EventLoop::run() {
    while (!stopped_)
        run_once(-1);
}

} // namespace tevronsim
