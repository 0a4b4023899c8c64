#pragma once

#include "core/controller_table.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace iomira {

// The controller table as the polling thread and the UI thread share it. Only the UI thread
// changes the table or a record's stored fields, and it does so under lock(); the polling
// thread reads a record only while holding lock(). UI-thread reads need no lock. Corvel
// never calls a window procedure from a request, so Corvel requests may be made under it.
class SharedControllers {
  public:
    explicit SharedControllers(ControllerTable& table) : table_(table) {}
    SharedControllers(const SharedControllers&) = delete;
    SharedControllers& operator=(const SharedControllers&) = delete;

    ControllerTable& table() { return table_; }
    const ControllerTable& table() const { return table_; }
    std::unique_lock<std::mutex> lock() {
        ++waiting_;
        std::unique_lock<std::mutex> guard(mutex_);
        --waiting_;
        return guard;
    }
    // Called between the steps of a long walk, without the lock: a thread waiting for it goes
    // first. A mutex alone hands it straight back to the walker, and the user interface would
    // wait for a whole pass over a plant's table.
    void letWaitingIn() const {
        while (waiting_.load() > 0)
            std::this_thread::yield();
    }

    // Runs `change` on the record under the lock; false when the controller is gone.
    template <typename F> bool edit(int deviceId, F&& change) {
        auto guard = lock();
        CQUORVISData* record = table_.find(deviceId);
        if (!record) return false;
        change(*record);
        return true;
    }

  private:
    ControllerTable& table_;
    std::mutex mutex_;
    std::atomic<int> waiting_{0};
};

} // namespace iomira
