// Corvel on loopback:   corvel_bench [CONTROLLERS]   (default 1000)
//  1. sequential read_coils round trips per second: a bare blocking ping-pong of the same sizes
//     (the physical limit) and Corvel against that same peer, a libmodbus client and Corvel
//     against a libmodbus server; the ratios of Corvel to each, all measured in the same run;
//  2. CONTROLLERS registered controllers, each sending one read_discrete_inputs a second for ten
//     seconds, sent the way Iomira's polling thread sends them (one walk over all a second), to
//     peers that answer without protocol work: CPU time of this process per request-response
//     and the worst response latency.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <modbus/modbus.h>
#include <sys/resource.h>
#include <thread>
#include <vector>

#include "answer_servers.h"
#include "bare_clients.h"
#include "corvel/corvel.h"
#include "modbus_server.h"

namespace {

using Clock = std::chrono::steady_clock;
// Each sequential figure is the best of a few short rounds, taken in turn, so that a moment of
// noise on a busy machine hurts one round of one figure and not the ratio.
constexpr int SEQUENTIAL_ROUNDS = 3;
constexpr double SEQUENTIAL_SECONDS = 1.0;
constexpr int SECONDS = 10;
// Connections one answering peer serves.
constexpr int CONTROLLERS_PER_PEER = 2500;
constexpr int32_t FIRST_KEY = 1000;

double cpu_seconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Counter : corvel_window {
    std::atomic<int> answers{0};
    std::atomic<int> connected{0};
    std::vector<std::atomic<int64_t>>* sent_at = nullptr;
    int64_t worst_latency_ns = 0;
};

void count_notifications(corvel_window* window, uint32_t message, uintptr_t key, intptr_t lparam) {
    auto* counter = static_cast<Counter*>(window);
    if (message == CORVEL_WM_CONNECTION && lparam == CORVEL_FD_CONNECT) ++counter->connected;
    if (message != CORVEL_WM_DATA || (lparam != MB_OUTPUTS && lparam != MB_INPUTS)) return;
    if (counter->sent_at) {
        const int64_t now = Clock::now().time_since_epoch().count();
        const int64_t latency = now - (*counter->sent_at)[key - FIRST_KEY].load();
        if (latency > counter->worst_latency_ns) counter->worst_latency_ns = latency;
    }
    ++counter->answers;
}

double corvel_sequential_rate(int port, double seconds) {
    Counter counter;
    counter.proc = count_notifications;
    add_device(&counter, 1, u"127.0.0.1", CORVEL_MODE_CLIENT, port, 1, 0, 0);
    int32_t error = 0;
    connect_device(1, &error);
    while (get_tcp_connection_state(1) != TCP_ESTABLISHED)
        corvel_dispatch(100);
    int done = 0;
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        read_coils(1, 8, &error, 0);
        while (counter.answers == done)
            corvel_dispatch(1000);
        ++done;
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    delete_device(1);
    return done / elapsed;
}

double libmodbus_sequential_rate(int port, double seconds) {
    modbus_t* context = modbus_new_tcp("127.0.0.1", port);
    if (modbus_connect(context) != 0) return 0;
    uint8_t bits[8];
    int done = 0;
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        if (modbus_read_bits(context, 0, 8, bits) != 8) break;
        ++done;
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    modbus_close(context);
    modbus_free(context);
    return done / elapsed;
}

PolledFigures corvel_polled(const std::vector<int>& ports, int controllers) {
    PolledFigures figures;
    std::vector<std::atomic<int64_t>> sent_at(static_cast<size_t>(controllers));
    Counter counter;
    counter.proc = count_notifications;
    for (int i = 0; i < controllers; ++i) {
        add_device(&counter, FIRST_KEY + i, u"127.0.0.1", CORVEL_MODE_CLIENT,
                   ports[size_t(i) % ports.size()], 1, 0, 0);
        int32_t error = 0;
        connect_device(FIRST_KEY + i, &error);
    }
    const auto connect_deadline = Clock::now() + std::chrono::seconds(20);
    while (counter.connected < controllers && Clock::now() < connect_deadline)
        corvel_dispatch(100);
    figures.connected = counter.connected;
    counter.sent_at = &sent_at;

    const double cpu_before = cpu_seconds();
    const auto start = Clock::now();
    std::atomic<bool> polling_done{false};
    // Like Iomira's polling thread: once a second, one walk over every controller.
    std::thread poller([&] {
        for (int second = 0; second < SECONDS; ++second) {
            std::this_thread::sleep_until(start + std::chrono::seconds(second));
            for (int i = 0; i < controllers; ++i) {
                sent_at[size_t(i)] = Clock::now().time_since_epoch().count();
                int32_t error = 0;
                read_discrete_inputs(FIRST_KEY + i, 8, &error, 0);
            }
        }
        polling_done = true;
    });
    figures.expected = long(controllers) * SECONDS;
    const auto deadline = start + std::chrono::seconds(SECONDS + 5);
    while ((counter.answers < figures.expected || !polling_done) && Clock::now() < deadline)
        corvel_dispatch(100);
    poller.join();
    const double cpu = cpu_seconds() - cpu_before;
    figures.answered = counter.answers;
    figures.cpu_per_answer_us = figures.answered > 0 ? cpu * 1e6 / double(figures.answered) : 0;
    figures.worst_latency_ms = double(counter.worst_latency_ns) / 1e6;
    for (int i = 0; i < controllers; ++i)
        delete_device(FIRST_KEY + i);
    return figures;
}

void print_polled(const char* name, const PolledFigures& f) {
    std::printf("  %-28s %5d connected, %ld of %ld answered, CPU per request-response %.2f us, "
                "worst latency %.1f ms\n",
                name, f.connected, f.answered, f.expected, f.cpu_per_answer_us, f.worst_latency_ms);
}

void many_controllers(int controllers) {
    std::vector<ServerProcess> peers;
    std::vector<int> ports;
    for (int i = 0; i < (controllers + CONTROLLERS_PER_PEER - 1) / CONTROLLERS_PER_PEER; ++i) {
        peers.push_back(start_answer_server());
        ports.push_back(peers.back().port);
    }
    std::printf("%d controllers polled once a second for %d s (%zu answering peers):\n",
                controllers, SECONDS, peers.size());
    const PolledFigures bare = bare_polled_sockets(ports, controllers, SECONDS);
    print_polled("bare sockets and epoll:", bare);
    const PolledFigures corvel = corvel_polled(ports, controllers);
    print_polled("Corvel:", corvel);
    std::printf("  Corvel's CPU per request-response: %.2f of the bare sockets' (goal: under "
                "5 us; worst latency under 50 ms)\n",
                bare.cpu_per_answer_us > 0 ? corvel.cpu_per_answer_us / bare.cpu_per_answer_us
                                           : 0.0);
    for (ServerProcess& peer : peers)
        stop_modbus_server(peer);
}

struct SequentialRates {
    double bare = 0, corvel_bare = 0, libmodbus = 0, corvel_libmodbus = 0;
};

void keep_best(double& best, double rate) {
    if (rate > best) best = rate;
}

SequentialRates sequential_rates() {
    ServerProcess pingpong = start_pingpong_server();
    ServerProcess reference = start_modbus_server();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    SequentialRates best;
    for (int round = 0; round < SEQUENTIAL_ROUNDS; ++round) {
        keep_best(best.bare, bare_pingpong_rate(pingpong.port, SEQUENTIAL_SECONDS));
        keep_best(best.corvel_bare, corvel_sequential_rate(pingpong.port, SEQUENTIAL_SECONDS));
        keep_best(best.libmodbus, libmodbus_sequential_rate(reference.port, SEQUENTIAL_SECONDS));
        keep_best(best.corvel_libmodbus,
                  corvel_sequential_rate(reference.port, SEQUENTIAL_SECONDS));
    }
    stop_modbus_server(pingpong);
    stop_modbus_server(reference);
    return best;
}

double ratio(double part, double whole) {
    return whole > 0 ? part / whole : 0.0;
}

} // namespace

int main(int argc, char** argv) {
    const int controllers = argc > 1 ? std::clamp(std::atoi(argv[1]), 1, 15000) : 1000;
    std::printf("open descriptors allowed: %ld\n", raise_descriptor_limit());
    const SequentialRates rates = sequential_rates();
    std::printf("sequential read_coils round trips per second (best of %d rounds of %.0f s):\n",
                SEQUENTIAL_ROUNDS, SEQUENTIAL_SECONDS);
    std::printf("  bare blocking ping-pong, 12 and 10 bytes: %.0f\n", rates.bare);
    std::printf("  Corvel against the same peer:             %.0f  ratio %.2f (goal: at least "
                "0.85)\n",
                rates.corvel_bare, ratio(rates.corvel_bare, rates.bare));
    std::printf("  libmodbus client, libmodbus server:       %.0f\n", rates.libmodbus);
    std::printf("  Corvel, libmodbus server:                 %.0f  ratio %.2f (goal: at least "
                "1.0)\n",
                rates.corvel_libmodbus, ratio(rates.corvel_libmodbus, rates.libmodbus));
    many_controllers(controllers);
    return 0;
}
