#include <cerrno>
#include <cstdint>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include "../platform.h"

namespace corvel::platform {
namespace {

// One epoll instance for the process, with an eventfd in it for wake() and a timerfd for the
// deadline timer. None is ever closed: sockets may still be unwatched and lookups may still
// finish while other static objects are destroyed at unload, and the process end closes them
// anyway.
struct Poller {
    int epoll = epoll_create1(EPOLL_CLOEXEC);
    int wakeup = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    int timer = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);

    Poller() {
        add(wakeup, WAKE_TOKEN);
        add(timer, TIMER_TOKEN);
    }

    void add(int descriptor, uint64_t token) const {
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.u64 = token;
        epoll_ctl(epoll, EPOLL_CTL_ADD, descriptor, &event);
    }
};

const Poller& poller() {
    static const Poller instance;
    return instance;
}

int descriptor() {
    return poller().epoll;
}

// One read takes the whole count, so the level-triggered descriptor is quiet again.
void drain(int descriptor) {
    uint64_t count;
    [[maybe_unused]] const ssize_t ignored = read(descriptor, &count, sizeof count);
}

void set_timer_value(const timespec& value) {
    itimerspec setting{};
    setting.it_value = value;
    timerfd_settime(poller().timer, 0, &setting, nullptr);
}

uint32_t interest(bool want_read, bool want_write) {
    return (want_read ? EPOLLIN | EPOLLRDHUP : 0u) | (want_write ? EPOLLOUT : 0u);
}

} // namespace

int poller_descriptor() {
    return descriptor();
}

void watch(Socket socket, uint64_t token, bool want_read, bool want_write) {
    epoll_event event{};
    event.events = interest(want_read, want_write);
    event.data.u64 = token;
    if (epoll_ctl(descriptor(), EPOLL_CTL_MOD, socket, &event) != 0 && errno == ENOENT)
        epoll_ctl(descriptor(), EPOLL_CTL_ADD, socket, &event);
}

void unwatch(Socket socket) {
    if (socket != INVALID_SOCKET_HANDLE) epoll_ctl(descriptor(), EPOLL_CTL_DEL, socket, nullptr);
}

void wake() {
    const uint64_t one = 1;
    while (write(poller().wakeup, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void set_timer(std::chrono::nanoseconds delay) {
    // A zero value would stop the timer instead of letting it go off at once.
    const long long nanoseconds = delay.count() > 0 ? delay.count() : 1;
    set_timer_value(timespec{static_cast<time_t>(nanoseconds / 1000000000),
                             static_cast<long>(nanoseconds % 1000000000)});
}

void stop_timer() {
    set_timer_value(timespec{});
}

int wait_ready(ReadyEvent* events, int capacity, int timeout_ms) {
    constexpr int MAX_EVENTS = 64;
    epoll_event ready[MAX_EVENTS];
    const int count =
        epoll_wait(descriptor(), ready, capacity < MAX_EVENTS ? capacity : MAX_EVENTS, timeout_ms);
    if (count < 0) return errno == EINTR ? 0 : -errno;
    for (int i = 0; i < count; ++i) {
        const uint32_t flags = ready[i].events;
        if (ready[i].data.u64 == WAKE_TOKEN) drain(poller().wakeup);
        if (ready[i].data.u64 == TIMER_TOKEN) drain(poller().timer);
        events[i] = ReadyEvent{ready[i].data.u64, (flags & (EPOLLIN | EPOLLRDHUP)) != 0,
                               (flags & EPOLLOUT) != 0, (flags & (EPOLLERR | EPOLLHUP)) != 0};
    }
    return count;
}

} // namespace corvel::platform
