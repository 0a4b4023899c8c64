#include "watchdog.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

#include "connection.h"
#include "notification.h"
#include "platform.h"
#include "registry.h"

namespace corvel::watchdog {
namespace {

std::atomic<int32_t> answer_timeout{CORVEL_ANSWER_TIMEOUT_MS};
// A check that cannot even list the entries (out of memory) is tried again this much later.
constexpr std::chrono::milliseconds RETRY_AFTER{250};

// The deadline timer as last set. Request threads only ever bring it forward, so a wait that
// starts while the dispatcher checks the entries is never lost.
class DeadlineTimer {
  public:
    void ask_for(MonotonicClock::time_point deadline) {
        std::lock_guard lock(mutex_);
        if (set_ && at_ <= deadline) return;
        set_ = true;
        at_ = deadline;
        platform::set_timer(deadline - MonotonicClock::now());
    }

    // Called before the entries are checked, so that every wait started after the check
    // began sets the timer again.
    void went_off() {
        std::lock_guard lock(mutex_);
        set_ = false;
        platform::stop_timer();
    }

  private:
    std::mutex mutex_;
    bool set_ = false;
    MonotonicClock::time_point at_{};
};

DeadlineTimer& deadline_timer() {
    static DeadlineTimer timer;
    return timer;
}

// Returns the entry's deadline when it is still to come.
std::optional<MonotonicClock::time_point>
check_entry(DeviceEntry& entry, MonotonicClock::duration limit, Outbox& outbox) {
    if (entry.deleted || !entry.answers.waiting()) return std::nullopt;
    if (entry.answers.waited(MonotonicClock::now()) < limit) return entry.answers.since() + limit;
    fail_unanswered(entry, outbox);
    return std::nullopt;
}

} // namespace

int32_t timeout_ms() {
    return answer_timeout.load(std::memory_order_relaxed);
}

void set_timeout_ms(int32_t ms) {
    answer_timeout.store(ms, std::memory_order_relaxed);
    // The requests already waiting are checked against the new time at once.
    if (ms > 0) deadline_timer().ask_for(MonotonicClock::now());
}

void requests_sent(DeviceEntry& entry, size_t frames) {
    const MonotonicClock::time_point now = MonotonicClock::now();
    if (!entry.answers.requests_sent(frames, now)) return;
    if (const int32_t ms = timeout_ms(); ms > 0)
        deadline_timer().ask_for(now + std::chrono::milliseconds(ms));
}

void check_deadlines() {
    deadline_timer().went_off();
    const int32_t ms = timeout_ms();
    if (ms <= 0) return;
    const std::chrono::milliseconds limit(ms);
    std::optional<MonotonicClock::time_point> earliest;
    std::vector<EntryPtr> entries;
    try {
        entries = Registry::instance().all();
    } catch (...) {
        deadline_timer().ask_for(MonotonicClock::now() + RETRY_AFTER);
        throw;
    }
    for (const EntryPtr& entry : entries) {
        Outbox outbox;
        std::optional<MonotonicClock::time_point> deadline;
        {
            std::lock_guard lock(entry->mutex);
            deadline = check_entry(*entry, limit, outbox);
        }
        outbox.deliver();
        if (deadline && (!earliest || *deadline < *earliest)) earliest = deadline;
    }
    if (earliest) deadline_timer().ask_for(*earliest);
}

} // namespace corvel::watchdog
