// Runs a function on a registered entry with its lock held, then delivers the notifications
// it produced with the lock released. Unknown keys (and entries deleted meanwhile) give -1.
#pragma once

#include <mutex>
#include <type_traits>

#include "notification.h"
#include "registry.h"

namespace corvel {

template <class Function> int32_t with_entry(int32_t key, Function&& function) {
    EntryPtr entry = Registry::instance().find(key);
    if (!entry) return CORVEL_UNKNOWN_DEVICE;
    Outbox outbox;
    int32_t result;
    {
        std::lock_guard lock(entry->mutex);
        if (entry->deleted) return CORVEL_UNKNOWN_DEVICE;
        if constexpr (std::is_invocable_v<Function, const EntryPtr&, Outbox&>)
            result = function(entry, outbox);
        else if constexpr (std::is_invocable_v<Function, DeviceEntry&, Outbox&>)
            result = function(*entry, outbox);
        else
            result = function(*entry);
    }
    outbox.deliver();
    return result;
}

} // namespace corvel
