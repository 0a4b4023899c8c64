// Corvel against a libmodbus server on loopback:
//  1. sequential read_coils round trips per second, through Corvel and through a libmodbus
//     client against the same server in the same run, and their ratio;
//  2. 1000 registered controllers, each sending one read_discrete_inputs a second for ten
//     seconds, sent the way Iomira's polling thread sends them (one walk over all a second): CPU
//     time of this process per request-response and the worst response latency.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <modbus/modbus.h>
#include <sys/resource.h>
#include <thread>
#include <vector>

#include "corvel/corvel.h"
#include "modbus_server.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto SEQUENTIAL_TIME = std::chrono::seconds(3);
constexpr int CONTROLLERS = 1000;
constexpr int SECONDS = 10;
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

double corvel_sequential_rate(int port) {
    Counter counter;
    counter.proc = count_notifications;
    add_device(&counter, 1, u"127.0.0.1", CORVEL_MODE_CLIENT, port, 1, 0, 0);
    int32_t error = 0;
    connect_device(1, &error);
    while (get_tcp_connection_state(1) != TCP_ESTABLISHED)
        corvel_dispatch(100);
    int done = 0;
    const auto start = Clock::now();
    while (Clock::now() - start < SEQUENTIAL_TIME) {
        read_coils(1, 8, &error, 0);
        while (counter.answers == done)
            corvel_dispatch(1000);
        ++done;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    delete_device(1);
    return done / seconds;
}

double libmodbus_sequential_rate(int port) {
    modbus_t* context = modbus_new_tcp("127.0.0.1", port);
    if (modbus_connect(context) != 0) return 0;
    uint8_t bits[8];
    int done = 0;
    const auto start = Clock::now();
    while (Clock::now() - start < SEQUENTIAL_TIME) {
        if (modbus_read_bits(context, 0, 8, bits) != 8) break;
        ++done;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    modbus_close(context);
    modbus_free(context);
    return done / seconds;
}

void many_controllers(const ServerProcess servers[2]) {
    std::vector<std::atomic<int64_t>> sent_at(CONTROLLERS);
    Counter counter;
    counter.proc = count_notifications;
    for (int i = 0; i < CONTROLLERS; ++i) {
        add_device(&counter, FIRST_KEY + i, u"127.0.0.1", CORVEL_MODE_CLIENT, servers[i % 2].port,
                   1, 0, 0);
        int32_t error = 0;
        connect_device(FIRST_KEY + i, &error);
    }
    const auto connect_deadline = Clock::now() + std::chrono::seconds(20);
    while (counter.connected < CONTROLLERS && Clock::now() < connect_deadline)
        corvel_dispatch(100);
    std::printf("controllers connected: %d of %d\n", counter.connected.load(), CONTROLLERS);
    counter.sent_at = &sent_at;

    const double cpu_before = cpu_seconds();
    const auto start = Clock::now();
    std::atomic<bool> polling_done{false};
    // Like Iomira's polling thread: once a second, one walk over every controller.
    std::thread poller([&] {
        for (int second = 0; second < SECONDS; ++second) {
            std::this_thread::sleep_until(start + std::chrono::seconds(second));
            for (int i = 0; i < CONTROLLERS; ++i) {
                sent_at[i] = Clock::now().time_since_epoch().count();
                int32_t error = 0;
                read_discrete_inputs(FIRST_KEY + i, 8, &error, 0);
            }
        }
        polling_done = true;
    });
    const int expected = CONTROLLERS * SECONDS;
    const auto deadline = start + std::chrono::seconds(SECONDS + 5);
    while ((counter.answers < expected || !polling_done) && Clock::now() < deadline)
        corvel_dispatch(100);
    poller.join();
    const double cpu = cpu_seconds() - cpu_before;
    std::printf("requests answered: %d of %d in %.2f s\n", counter.answers.load(), expected,
                std::chrono::duration<double>(Clock::now() - start).count());
    std::printf("CPU per request-response: %.2f us (goal: under 20)\n",
                counter.answers > 0 ? cpu * 1e6 / counter.answers : 0.0);
    std::printf("worst response latency: %.3f ms (goal: under 50)\n",
                counter.worst_latency_ns / 1e6);
    for (int i = 0; i < CONTROLLERS; ++i)
        delete_device(FIRST_KEY + i);
}

} // namespace

int main() {
    ServerProcess servers[2] = {start_modbus_server(), start_modbus_server()};
    std::this_thread::sleep_for(std::chrono::milliseconds(100));

    const double through_libmodbus = libmodbus_sequential_rate(servers[0].port);
    const double through_corvel = corvel_sequential_rate(servers[0].port);
    std::printf("sequential read_coils round trips per second:\n");
    std::printf("  libmodbus client: %.0f\n", through_libmodbus);
    std::printf("  Corvel:           %.0f\n", through_corvel);
    std::printf("  ratio Corvel / libmodbus: %.2f (goal: at least 1.0)\n",
                through_libmodbus > 0 ? through_corvel / through_libmodbus : 0.0);

    many_controllers(servers);
    stop_modbus_server(servers[0]);
    stop_modbus_server(servers[1]);
    return 0;
}
