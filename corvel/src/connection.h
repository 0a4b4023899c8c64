// The connection state machine of one entry: connecting, listening, accepting, sending and
// receiving, driven by the request functions and by the dispatcher's socket events.
#pragma once

#include <vector>

#include "device_entry.h"
#include "notification.h"

namespace corvel {

// These take the entry locked.
int32_t start_connection(const EntryPtr& entry, int32_t& error, Outbox& outbox);
void close_connection(DeviceEntry& entry); // as disconnect_device: TCP_CLOSED, values reset
int32_t send_request(DeviceEntry& entry, const std::vector<uint8_t>& frames, int32_t& error);
// Writes what waited since corvel_gather_sends; a failed write closes the connection, as a
// request's own failed write does.
int32_t send_gathered(DeviceEntry& entry, int32_t& error);
// A request waited too long for its answer: a client fails with ETIMEDOUT, a server drops its
// client and listens again.
void fail_unanswered(DeviceEntry& entry, Outbox& outbox);

// Called by the dispatcher without any lock held.
void handle_socket_event(const EntryPtr& entry, SocketRole role, uint64_t token,
                         const platform::ReadyEvent& event);

} // namespace corvel
