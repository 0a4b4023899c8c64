#pragma once

#include "corvel/corvel.h"

#include <cstdint>
#include <functional>

namespace iomira {

// The window Corvel reports controllers to, handing every notification to a function.
class CorvelTarget {
  public:
    using Handler = std::function<void(uint32_t message, uintptr_t wparam, intptr_t lparam)>;

    explicit CorvelTarget(Handler handler);
    CorvelTarget(const CorvelTarget&) = delete;
    CorvelTarget& operator=(const CorvelTarget&) = delete;

    corvel_window* window() { return &link_.window; }

  private:
    static void proc(corvel_window* window, uint32_t message, uintptr_t wparam, intptr_t lparam);

    struct Link {
        corvel_window window; // first member: Corvel calls through it
        CorvelTarget* target;
    } link_;
    Handler handler_;
};

} // namespace iomira
