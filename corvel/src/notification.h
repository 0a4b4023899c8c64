// Notifications are collected while an entry is locked and delivered after it is unlocked,
// so a window procedure may call Corvel again.
#pragma once

#include <cstdint>
#include <vector>

#include "corvel/corvel.h"

namespace corvel {

struct Notification {
    corvel_window* window;
    uint32_t message;
    int32_t key;
    intptr_t lparam;
};

class Outbox {
  public:
    void connection(corvel_window* window, int32_t key, int32_t error, int32_t event) {
        items_.push_back({window, CORVEL_WM_CONNECTION, key, CORVEL_LPARAM(error, event)});
    }
    void data(corvel_window* window, int32_t key, int32_t code) {
        items_.push_back({window, CORVEL_WM_DATA, key, code});
    }
    // Call without any entry locked.
    void deliver() {
        for (const Notification& n : items_)
            if (n.window && n.window->proc)
                n.window->proc(n.window, n.message, static_cast<uintptr_t>(n.key), n.lparam);
        items_.clear();
    }
    bool empty() const { return items_.empty(); }

  private:
    std::vector<Notification> items_;
};

} // namespace corvel
