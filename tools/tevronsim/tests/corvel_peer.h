#pragma once
// Corvel on the program's side of the tests: a window that records notifications and a
// dispatcher pump.

#include "corvel/corvel.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace simtest {

struct Notice {
    uint32_t message;
    intptr_t lparam;
};

struct Window : corvel_window {
    Window();
    std::vector<Notice> notices;
    std::function<void(const Notice&)> on_notice; // runs inside the window procedure
    size_t count(uint32_t message, intptr_t lparam) const;
    size_t data(intptr_t code) const { return count(CORVEL_WM_DATA, code); }
};

// Dispatches until the condition holds or the time runs out.
bool pump_until(const std::function<bool()>& condition, int timeout_ms = 3000);
void pump_for(int milliseconds);

// A fresh key for every registration in one test process.
int32_t next_key();

// Registers a client entry for a simulated device and connects it.
int32_t connect_to_device(Window& window, int port, int unit_id, int input_base = 0,
                          int output_base = 0);

} // namespace simtest
