// The answer watchdog's interface: how long a connection's oldest request has waited, and the
// time after which it fails the connection.
#include <algorithm>

#include "entry_access.h"
#include "guard.h"
#include "watchdog.h"

using namespace corvel;

extern "C" {

uint32_t corvel_state_changes(void) {
    return DeviceEntry::state_changes.load(std::memory_order_acquire);
}

int32_t get_unanswered_ms(int32_t key) {
    return guarded(nullptr, [&] {
        return with_entry(key, [](DeviceEntry& entry) -> int32_t {
            const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
                entry.answers.waited(MonotonicClock::now()));
            return static_cast<int32_t>(std::min<int64_t>(waited.count(), INT32_MAX));
        });
    });
}

int32_t get_dropped_answer_count(int32_t key) {
    return guarded(nullptr, [&] {
        return with_entry(key, [](DeviceEntry& entry) -> int32_t {
            return static_cast<int32_t>(std::min<uint64_t>(entry.dropped_answers, INT32_MAX));
        });
    });
}

int32_t corvel_set_answer_timeout(int32_t ms) {
    if (ms < 0) return CORVEL_OUT_OF_RANGE;
    watchdog::set_timeout_ms(ms);
    return CORVEL_OK;
}

} // extern "C"
