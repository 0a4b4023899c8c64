// The answer watchdog: a connection whose oldest unanswered request has waited the answer
// timeout fails. One deadline timer serves every connection; it is set only when a wait
// starts, goes off at the earliest deadline asked for, and is set again after each check
// only while some request still waits.
#pragma once

#include <cstddef>
#include <cstdint>

#include "device_entry.h"

namespace corvel::watchdog {

int32_t timeout_ms();
// 0 turns the watchdog off; a new time is applied at once to the requests already waiting.
void set_timeout_ms(int32_t ms);

// With the entry locked: request frames were put into its send buffer.
void requests_sent(DeviceEntry& entry, size_t frames);

// On the dispatcher's thread, when the deadline timer went off: fails the connections that
// waited too long and sets the timer for the earliest deadline left.
void check_deadlines();

} // namespace corvel::watchdog
