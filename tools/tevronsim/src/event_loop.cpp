#include "event_loop.h"

#include <poll.h>
#include <sys/epoll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace tevronsim {

namespace {

// Caps the events taken per wake-up; level triggering hands the rest to the next one.
constexpr int kEventsPerWakeup = 256;

struct BitPair {
    short poll_bit;
    std::uint32_t epoll_bit;
};
constexpr BitPair kBits[] = {
    {POLLIN, EPOLLIN},   {POLLPRI, EPOLLPRI}, {POLLOUT, EPOLLOUT},
    {POLLERR, EPOLLERR}, {POLLHUP, EPOLLHUP}, {POLLRDHUP, EPOLLRDHUP},
};

std::uint32_t to_epoll(short events) {
    std::uint32_t out = 0;
    for (const auto& b : kBits)
        if (events & b.poll_bit) out |= b.epoll_bit;
    return out;
}

short to_poll(std::uint32_t events) {
    short out = 0;
    for (const auto& b : kBits)
        if (events & b.epoll_bit) out = static_cast<short>(out | b.poll_bit);
    return out;
}

// The descriptor and its watch's generation, carried in the event's user data.
std::uint64_t pack(int fd, std::uint32_t generation) {
    return (std::uint64_t{generation} << 32) | static_cast<std::uint32_t>(fd);
}

} // namespace

EventLoop::EventLoop() : epoll_fd_(::epoll_create1(EPOLL_CLOEXEC)) {
    if (epoll_fd_ < 0) std::fprintf(stderr, "tevronsim: epoll: %s\n", std::strerror(errno));
}

EventLoop::~EventLoop() {
    if (epoll_fd_ >= 0) ::close(epoll_fd_);
}

EventLoop::Watch* EventLoop::find_watch(int fd) {
    if (fd < 0 || static_cast<std::size_t>(fd) >= watches_.size()) return nullptr;
    Watch& w = watches_[static_cast<std::size_t>(fd)];
    return w.generation ? &w : nullptr;
}

bool EventLoop::control(int op, int fd, const Watch& w) {
    epoll_event ev{};
    ev.events = to_epoll(w.events);
    ev.data.u64 = pack(fd, w.generation);
    return ::epoll_ctl(epoll_fd_, op, fd, &ev) == 0;
}

void EventLoop::watch(int fd, short events, IoHandler handler) {
    if (fd < 0) return;
    if (static_cast<std::size_t>(fd) >= watches_.size())
        watches_.resize(static_cast<std::size_t>(fd) + 1);
    Watch& w = watches_[static_cast<std::size_t>(fd)];
    w.events = events;
    w.handler = std::move(handler);
    if (++next_generation_ == 0) next_generation_ = 1;
    w.generation = next_generation_;
    std::erase(always_ready_, fd);
    // The descriptor may still be registered (a replaced handler) or already gone from the
    // epoll set (closed without unwatch, its number now reused).
    if (control(EPOLL_CTL_ADD, fd, w)) return;
    if (errno == EEXIST && control(EPOLL_CTL_MOD, fd, w)) return;
    if (errno == EPERM) return always_ready_.push_back(fd);
    std::fprintf(stderr, "tevronsim: epoll_ctl %d: %s\n", fd, std::strerror(errno));
}

void EventLoop::set_events(int fd, short events) {
    Watch* w = find_watch(fd);
    // Connections set their events after every send; most of the time nothing changes.
    if (!w || w->events == events) return;
    w->events = events;
    if (!control(EPOLL_CTL_MOD, fd, *w) && errno == ENOENT) control(EPOLL_CTL_ADD, fd, *w);
}

void EventLoop::unwatch(int fd) {
    Watch* w = find_watch(fd);
    if (!w) return;
    *w = Watch{};
    std::erase(always_ready_, fd);
    // A descriptor closed before its unwatch has left the epoll set already (EBADF, ENOENT).
    ::epoll_ctl(epoll_fd_, EPOLL_CTL_DEL, fd, nullptr);
}

EventLoop::TimerId EventLoop::add_timer(Clock::time_point when, TimerHandler handler) {
    TimerId id = next_timer_++;
    timer_index_.emplace(id, timers_.emplace(when, std::make_pair(id, std::move(handler))));
    return id;
}

EventLoop::TimerId EventLoop::add_timer(std::chrono::milliseconds delay, TimerHandler handler) {
    return add_timer(Clock::now() + delay, std::move(handler));
}

void EventLoop::cancel_timer(TimerId id) {
    auto it = timer_index_.find(id);
    if (it == timer_index_.end()) return;
    timers_.erase(it->second);
    timer_index_.erase(it);
}

int EventLoop::poll_timeout(int max_wait_ms) const {
    if (!always_ready_.empty()) return 0;
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
        auto first = timers_.begin();
        due.push_back(std::move(first->second.second));
        timer_index_.erase(first->second.first);
        timers_.erase(first);
    }
    for (auto& handler : due)
        handler();
}

void EventLoop::dispatch(int fd, std::uint32_t generation, std::uint32_t epoll_events) {
    // A handler may have removed or replaced this descriptor meanwhile.
    Watch* w = find_watch(fd);
    if (!w || w->generation != generation) return;
    // A copy: the handler may replace itself or unwatch its descriptor while it runs.
    IoHandler handler = w->handler;
    handler(to_poll(epoll_events));
}

void EventLoop::dispatch_always_ready() {
    // A copy: a handler may unwatch its descriptor (at the end of a file) while this runs.
    std::vector<int> fds = always_ready_;
    for (int fd : fds) {
        Watch* w = find_watch(fd);
        if (!w) continue;
        IoHandler handler = w->handler;
        handler(static_cast<short>(w->events & (POLLIN | POLLOUT)));
    }
}

void EventLoop::run_once(int max_wait_ms) {
    epoll_event events[kEventsPerWakeup];
    int n = ::epoll_wait(epoll_fd_, events, static_cast<int>(std::size(events)),
                         poll_timeout(max_wait_ms));
    if (n < 0 && errno != EINTR) {
        std::fprintf(stderr, "tevronsim: epoll_wait: %s\n", std::strerror(errno));
        stopped_ = true;
        return;
    }
    for (int i = 0; i < n; ++i) {
        auto data = events[i].data.u64;
        dispatch(static_cast<int>(data & 0xffffffffu), static_cast<std::uint32_t>(data >> 32),
                 events[i].events);
    }
    if (!always_ready_.empty()) dispatch_always_ready();
    run_due_timers();
}

void EventLoop::run() {
    while (!stopped_)
        run_once(-1);
}

} // namespace tevronsim
