#include "bare_clients.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t REQUEST = 12, ANSWER = 10;

int connect_loopback(int port) {
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(uint16_t(port));
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return s;
    close(s);
    return -1;
}

double cpu_seconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

double bare_pingpong_rate(int port, double seconds) {
    const int s = connect_loopback(port);
    if (s < 0) return 0;
    uint8_t request[REQUEST] = {0, 1, 0, 0, 0, 6, 1, 1, 0, 0, 0, 8};
    uint8_t answer[ANSWER];
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    long done = 0;
    while (Clock::now() < end) {
        ++request[1];
        if (send(s, request, REQUEST, MSG_NOSIGNAL) != ssize_t(REQUEST) ||
            recv(s, answer, ANSWER, MSG_WAITALL) != ssize_t(ANSWER))
            break;
        ++done;
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    close(s);
    return double(done) / elapsed;
}

PolledFigures bare_polled_sockets(const std::vector<int>& ports, int count, int seconds) {
    PolledFigures figures;
    std::vector<int> sockets;
    for (int i = 0; i < count; ++i) {
        const int s = connect_loopback(ports[size_t(i) % ports.size()]);
        if (s < 0) break;
        sockets.push_back(s);
    }
    figures.connected = int(sockets.size());
    const int epoll = epoll_create1(EPOLL_CLOEXEC);
    for (size_t i = 0; i < sockets.size(); ++i) {
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.u64 = i;
        epoll_ctl(epoll, EPOLL_CTL_ADD, sockets[i], &event);
    }
    std::vector<std::atomic<int64_t>> sent_at(sockets.size());
    const double cpu_before = cpu_seconds();
    const auto start = Clock::now();
    std::thread poller([&] {
        const uint8_t request[REQUEST] = {0, 1, 0, 0, 0, 6, 1, 2, 0, 0, 0, 8};
        for (int second = 0; second < seconds; ++second) {
            std::this_thread::sleep_until(start + std::chrono::seconds(second));
            for (size_t i = 0; i < sockets.size(); ++i) {
                sent_at[i] = Clock::now().time_since_epoch().count();
                send(sockets[i], request, REQUEST, MSG_NOSIGNAL | MSG_DONTWAIT);
            }
        }
    });
    figures.expected = long(sockets.size()) * seconds;
    const auto deadline = start + std::chrono::seconds(seconds + 5);
    int64_t worst = 0;
    epoll_event ready[64];
    while (figures.answered < figures.expected && Clock::now() < deadline) {
        const int n = epoll_wait(epoll, ready, 64, 100);
        for (int k = 0; k < n; ++k) {
            const size_t i = ready[k].data.u64;
            uint8_t answer[256];
            const ssize_t got = recv(sockets[i], answer, sizeof answer, MSG_DONTWAIT);
            if (got <= 0) continue;
            figures.answered += got / long(ANSWER);
            worst = std::max(worst, Clock::now().time_since_epoch().count() - sent_at[i].load());
        }
    }
    poller.join();
    const double cpu = cpu_seconds() - cpu_before;
    figures.cpu_per_answer_us = figures.answered > 0 ? cpu * 1e6 / double(figures.answered) : 0;
    figures.worst_latency_ms = double(worst) / 1e6;
    close(epoll);
    for (int s : sockets)
        close(s);
    return figures;
}
