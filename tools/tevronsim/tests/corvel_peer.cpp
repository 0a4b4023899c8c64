#include "corvel_peer.h"

#include <poll.h>

#include <chrono>
#include <stdexcept>
#include <string>

namespace simtest {

namespace {
void window_proc(corvel_window* w, uint32_t message, uintptr_t, intptr_t lparam) {
    auto* self = static_cast<Window*>(w);
    self->notices.push_back({message, lparam});
    if (self->on_notice) self->on_notice(self->notices.back());
}
} // namespace

Window::Window() {
    proc = window_proc;
}

size_t Window::count(uint32_t message, intptr_t lparam) const {
    size_t n = 0;
    for (const auto& x : notices)
        n += x.message == message && x.lparam == lparam;
    return n;
}

bool pump_until(const std::function<bool()>& condition, int timeout_ms) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!condition()) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) return false;
        pollfd p{corvel_event_fd(), POLLIN, 0};
        poll(&p, 1, static_cast<int>(left < 20 ? left : 20));
        corvel_dispatch(0);
    }
    return true;
}

void pump_for(int milliseconds) {
    pump_until([] { return false; }, milliseconds);
}

int32_t next_key() {
    static int32_t key = 100;
    return key++;
}

int32_t connect_to_device(Window& window, int port, int unit_id, int input_base, int output_base) {
    int32_t key = next_key();
    if (add_device(&window, key, u"127.0.0.1", CORVEL_MODE_CLIENT, port, unit_id, input_base,
                   output_base) != CORVEL_OK)
        throw std::runtime_error("add_device failed");
    int32_t error = 0;
    if (connect_device(key, &error) != CORVEL_OK)
        throw std::runtime_error("connect_device failed: " + std::to_string(error));
    if (!pump_until([&] { return get_tcp_connection_state(key) == TCP_ESTABLISHED; }))
        throw std::runtime_error("no connection to port " + std::to_string(port));
    return key;
}

} // namespace simtest
