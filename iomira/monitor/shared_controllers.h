#pragma once

#include "core/controller_table.h"

#include <mutex>

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
    std::unique_lock<std::mutex> lock() { return std::unique_lock<std::mutex>(mutex_); }

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
};

} // namespace iomira
