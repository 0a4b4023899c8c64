// The simulator alone under the program benchmark's load, without the program in the way:
//   iomira_sim_load_bench [DEVICES [SECONDS]]   (default 10000 10)
// One loopback client connection per device, each polled twice a second, answers counted as
// they come; prints the requests and answers per second and the simulators' CPU, so that the
// simulator's own limit is known even where the program cannot yet poll that many.

#include "poll_requests.h"
#include "simulator_fleet.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace iomira::bench;
using Clock = std::chrono::steady_clock;

constexpr int kPollsPerSecond = 2;

struct Client {
    int fd = -1;
    std::vector<std::uint8_t> in;
    std::uint16_t transaction = 0;
};

int connectLoopback(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(std::uint16_t(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        if (fd >= 0) close(fd);
        return -1;
    }
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

// The request that starts device i's poll in the program, as one Modbus/TCP frame.
void sendPoll(Client& c, int device) {
    const PolledModel& m = benchDeviceModel(device);
    const auto address = std::uint16_t(std::max(0L, m.address));
    const auto unit = std::uint8_t(m.rlx ? 255 : 1);
    const auto hi = std::uint8_t(c.transaction >> 8), lo = std::uint8_t(c.transaction);
    // Header (transaction, protocol 0, length 6, unit), then function, address, quantity 1.
    std::uint8_t frame[12] = {hi, lo, 0, 0, 0, 6, unit, std::uint8_t(m.function)};
    frame[8] = std::uint8_t(address >> 8);
    frame[9] = std::uint8_t(address);
    frame[11] = 1;
    ++c.transaction;
    [[maybe_unused]] auto n = send(c.fd, frame, sizeof frame, MSG_NOSIGNAL | MSG_DONTWAIT);
}

// Reads what arrived and returns the complete answers in it.
int readAnswers(Client& c) {
    std::uint8_t buf[4096];
    const ssize_t n = recv(c.fd, buf, sizeof buf, MSG_DONTWAIT);
    if (n <= 0) return 0;
    c.in.insert(c.in.end(), buf, buf + n);
    int answers = 0;
    while (c.in.size() >= 6) {
        const std::size_t total = 6 + (std::size_t(c.in[4]) << 8 | c.in[5]);
        if (c.in.size() < total) break;
        c.in.erase(c.in.begin(), c.in.begin() + std::ptrdiff_t(total));
        ++answers;
    }
    return answers;
}

void allowAllDescriptors() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return;
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
}

double cpuPercent(const std::vector<double>& before, const std::vector<double>& after, double wall,
                  double& busiest) {
    double sum = 0;
    busiest = 0;
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
        sum += after[i] - before[i];
        busiest = std::max(busiest, 100.0 * (after[i] - before[i]) / wall);
    }
    return 100.0 * sum / wall;
}

// One connection per device, all on one epoll set; empty when a device cannot be reached.
std::vector<Client> connectAll(const SimulatorFleet& fleet, int count, int epoll) {
    std::vector<Client> clients(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        Client& c = clients[std::size_t(i)];
        c.fd = connectLoopback(fleet.port(i));
        if (c.fd < 0) {
            std::fprintf(stderr, "cannot connect to device %d\n", i);
            return {};
        }
        epoll_event ev{EPOLLIN, {.u64 = std::uint64_t(i)}};
        epoll_ctl(epoll, EPOLL_CTL_ADD, c.fd, &ev);
    }
    return clients;
}

struct Counts {
    std::int64_t sent = 0;
    std::int64_t answered = 0;
};

// The polls are spread evenly over each half second, device after device.
Counts pollFor(std::vector<Client>& clients, int epoll, std::chrono::seconds length) {
    const auto count = std::int64_t(clients.size());
    const auto start = Clock::now();
    Counts out;
    for (auto now = start; now < start + length; now = Clock::now()) {
        const double elapsed = std::chrono::duration<double>(now - start).count();
        const auto due = std::int64_t(elapsed * kPollsPerSecond * double(count));
        for (; out.sent < due; ++out.sent)
            sendPoll(clients[std::size_t(out.sent % count)], int(out.sent % count));
        epoll_event events[256];
        const int n = epoll_wait(epoll, events, 256, 1);
        for (int e = 0; e < n; ++e)
            out.answered += readAnswers(clients[std::size_t(events[e].data.u64)]);
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::clamp(std::atoi(argv[1]), 1, 10000) : 10000;
    const int seconds = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, 60) : 10;
    allowAllDescriptors();
    SimulatorFleet fleet(count);
    const int epoll = epoll_create1(EPOLL_CLOEXEC);
    auto clients = connectAll(fleet, count, epoll);
    if (clients.empty()) return 1;
    const auto cpu0 = fleet.cpuSeconds();
    const auto start = Clock::now();
    const Counts counts = pollFor(clients, epoll, std::chrono::seconds(seconds));
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    double busiest = 0;
    const double cpu = cpuPercent(cpu0, fleet.cpuSeconds(), wall, busiest);
    std::printf("devices %d on %zu simulators, %d polls a second each, over %.1f s\n", count,
                fleet.size(), kPollsPerSecond, wall);
    std::printf("requests sent:    %.0f per s (goal %d)\n", double(counts.sent) / wall,
                kPollsPerSecond * count);
    std::printf("answers received: %.0f per s, %lld outstanding at the end\n",
                double(counts.answered) / wall,
                static_cast<long long>(counts.sent - counts.answered));
    std::printf("simulator CPU:    %.1f %% of one core in all, busiest %.1f %%\n", cpu, busiest);
    for (const auto& c : clients)
        close(c.fd);
    close(epoll);
    return 0;
}
