// A controller that floods well-formed answers nobody asked for, beside one polled normally:
//   corvel_flood_bench [SECONDS [FRAMES_PER_SECOND]]   (default 3 300000; rate 0: as fast as
//   loopback takes them)
// Prints the frames the flooder sent per second, the dispatcher thread's CPU while it floods,
// the process's resident memory before and after, how long the dispatcher stays busy once the
// flood ends, and how many of the polled controller's requests were answered meanwhile.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "corvel/corvel.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int32_t FLOODER = 1, POLLED = 2;
// An answer to an input read: transaction 0x2C, one byte of inputs.
constexpr uint8_t ANSWER[] = {0x2C, 0, 0, 0, 0, 4, 1, 2, 1, 5};

double thread_cpu_seconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

long resident_kb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

struct Counter : corvel_window {
    int polled_answers = 0;
    int flood_notifications = 0;
};

void count(corvel_window* window, uint32_t message, uintptr_t key, intptr_t) {
    auto* counter = static_cast<Counter*>(window);
    if (message != CORVEL_WM_DATA) return;
    if (key == POLLED)
        ++counter->polled_answers;
    else
        ++counter->flood_notifications;
}

// A loopback listener on a port of its own.
int listen_loopback(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 1) != 0)
        return -1;
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

// Registers and connects a client to a new listener; returns the accepted peer socket.
int connect_pair(Counter& counter, int32_t key) {
    int port = 0;
    const int listener = listen_loopback(port);
    if (listener < 0) return -1;
    add_device(&counter, key, u"127.0.0.1", CORVEL_MODE_CLIENT, port, 1, 0, 0);
    int32_t error = 0;
    connect_device(key, &error);
    const int peer = ::accept(listener, nullptr, nullptr);
    ::close(listener);
    while (get_tcp_connection_state(key) != TCP_ESTABLISHED)
        corvel_dispatch(100);
    return peer;
}

// The polled controller answers every request it reads, on a thread of its own.
void answer_requests(int peer, const std::atomic<bool>& stop) {
    uint8_t request[12];
    while (!stop) {
        if (::recv(peer, request, sizeof request, MSG_WAITALL) != 12) return;
        uint8_t answer[10];
        std::memcpy(answer, ANSWER, sizeof answer);
        answer[0] = request[0];
        answer[1] = request[1];
        if (::send(peer, answer, sizeof answer, MSG_NOSIGNAL) != 10) return;
    }
}

} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::clamp(std::atoi(argv[1]), 1, 30) : 3;
    const long rate = argc > 2 ? std::max(0L, std::atol(argv[2])) : 300000;
    Counter counter;
    counter.proc = count;
    const int flood_peer = connect_pair(counter, FLOODER);
    const int polled_peer = connect_pair(counter, POLLED);
    if (flood_peer < 0 || polled_peer < 0) {
        std::fprintf(stderr, "could not connect on loopback\n");
        return 1;
    }
    std::atomic<bool> stop{false};
    std::thread answerer(answer_requests, polled_peer, std::cref(stop));

    // Bursts every 10 ms at the rate asked for, or back to back.
    const long frames_per_burst = rate > 0 ? std::max(1L, rate / 100) : 6000;
    std::vector<uint8_t> burst;
    for (long i = 0; i < frames_per_burst; ++i)
        burst.insert(burst.end(), std::begin(ANSWER), std::end(ANSWER));
    std::atomic<long> frames_sent{0};
    std::atomic<bool> flooding{true};
    const long rss_before = resident_kb();
    const auto flood_end = Clock::now() + std::chrono::seconds(seconds);
    std::thread flooder([&] {
        auto next_burst = Clock::now();
        while (Clock::now() < flood_end) {
            const ssize_t sent = ::send(flood_peer, burst.data(), burst.size(), MSG_NOSIGNAL);
            if (sent <= 0) break;
            frames_sent += sent / long(sizeof ANSWER);
            if (rate == 0) continue;
            next_burst += std::chrono::milliseconds(10);
            std::this_thread::sleep_until(next_burst);
        }
        flooding = false;
    });

    // The dispatcher runs and the polled controller is read once a second, as the program does.
    const double cpu_start = thread_cpu_seconds();
    const auto start = Clock::now();
    auto next_poll = start;
    int polls = 0;
    while (flooding) {
        if (Clock::now() >= next_poll) {
            int32_t error = 0;
            read_discrete_inputs(POLLED, 8, &error, 0);
            ++polls;
            next_poll += std::chrono::seconds(1);
        }
        corvel_dispatch(20);
    }
    const double flood_wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double flood_cpu = thread_cpu_seconds() - cpu_start;
    // After the flood: until a dispatch finds nothing to do for 100 ms.
    const auto ended = Clock::now();
    while (corvel_dispatch(100) > 0) {
    }
    const double busy_after_ms =
        std::chrono::duration<double, std::milli>(Clock::now() - ended).count() - 100.0;
    corvel_dispatch(200); // the last poll's answer
    const long rss_after = resident_kb();

    std::printf("flood: %.0f frames/s for %.1f s, %d dropped and counted by Corvel, "
                "%d notifications for it\n",
                double(frames_sent) / flood_wall, flood_wall, get_dropped_answer_count(FLOODER),
                counter.flood_notifications);
    std::printf("dispatcher CPU while flooded: %.1f %% of one core (goal <= 33 %% at a few "
                "hundred thousand frames a second)\n",
                100.0 * flood_cpu / flood_wall);
    std::printf("resident memory: %ld kB before, %ld kB after (goal: flat)\n", rss_before,
                rss_after);
    std::printf("busy after the flood ended: %.0f ms (goal < 1000 ms)\n",
                std::max(0.0, busy_after_ms));
    std::printf("polled controller: %d of %d requests answered during the flood\n",
                counter.polled_answers, polls);

    stop = true;
    delete_device(FLOODER);
    delete_device(POLLED);
    ::shutdown(polled_peer, SHUT_RDWR);
    flooder.join();
    answerer.join();
    ::close(flood_peer);
    ::close(polled_peer);
    return 0;
}
