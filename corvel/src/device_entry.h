// One registered controller: its configuration, sockets, buffers and received values.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "answer_wait.h"
#include "corvel/corvel.h"
#include "frame.h"
#include "platform.h"
#include "reassembler.h"
#include "received_values.h"

namespace corvel {

enum class SocketRole { Client, Listener, Accepted };

struct DeviceEntry {
    // Guards every field below. Never held while a window procedure runs.
    std::mutex mutex;
    bool deleted = false;
    // Bumped by every reset, so work begun before a reset does not touch the new connection.
    uint64_t generation = 0;

    int32_t key = 0;
    corvel_window* window = nullptr;
    std::string host; // narrow text, client mode only
    int32_t mode = CORVEL_MODE_CLIENT;
    int32_t port = 0;
    uint8_t unit_id = 0;
    uint16_t input_base = 0;
    uint16_t output_base = 0;

    platform::Socket socket = platform::INVALID_SOCKET_HANDLE; // client, or listener
    uint64_t socket_token = 0;
    platform::Socket accepted = platform::INVALID_SOCKET_HANDLE; // server mode's client
    uint64_t accepted_token = 0;
    bool client_connected = false;
    int32_t state = TCP_CLOSED; // changed only through set_state
    int32_t last_error = 0;

    std::vector<uint8_t> send_buffer; // the unsent part of the request groups
    bool write_watched = false;
    bool gathering = false; // requests wait in send_buffer for corvel_send_gathered
    std::array<uint8_t, 4096> receive_buffer{};
    size_t receive_begin = 0;
    size_t receive_end = 0;
    Reassembler reassembler;
    SequenceCounters sequence;
    ReceivedValues values;
    AnswerWait answers;           // the requests sent and not answered yet
    uint64_t dropped_answers = 0; // answers that arrived with no request waiting, since creation

    // Every change of a connection's state is counted for corvel_state_changes.
    void set_state(int32_t new_state) {
        state = new_state;
        state_changes.fetch_add(1, std::memory_order_release);
    }
    static inline std::atomic<uint32_t> state_changes{0};

    bool is_server() const { return mode != CORVEL_MODE_CLIENT; }
    platform::Socket data_socket() const { return is_server() ? accepted : socket; }
    uint64_t data_token() const { return is_server() ? accepted_token : socket_token; }
};

using EntryPtr = std::shared_ptr<DeviceEntry>;

} // namespace corvel
