// Notifications are collected while an entry is locked and delivered after it is unlocked,
// so a window procedure may call Corvel again. Collecting one never allocates, so it cannot
// fail once an entry has been changed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

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
        add({window, CORVEL_WM_CONNECTION, key, CORVEL_LPARAM(error, event)});
    }
    void data(corvel_window* window, int32_t key, int32_t code) {
        add({window, CORVEL_WM_DATA, key, code});
    }
    // Call without any entry locked.
    void deliver() {
        const size_t count = count_;
        count_ = 0;
        for (size_t i = 0; i < count; ++i) {
            const Notification& n = items_[i];
            if (n.window && n.window->proc)
                n.window->proc(n.window, n.message, static_cast<uintptr_t>(n.key), n.lparam);
        }
    }

  private:
    // One locked step yields at most two notifications (a connect and its first send failing).
    static constexpr size_t CAPACITY = 4;

    void add(const Notification& notification) {
        if (count_ < CAPACITY) items_[count_++] = notification;
    }

    std::array<Notification, CAPACITY> items_{};
    size_t count_ = 0;
};

} // namespace corvel
