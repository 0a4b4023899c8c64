#include "connection.h"

#include <cerrno>

#include "decoder.h"
#include "guard.h"
#include "registry.h"
#include "resolver.h"
#include "watchdog.h"

namespace corvel {
namespace {

// A request group that the peer does not read for this long is a dead connection.
constexpr size_t MAX_PENDING_SEND = 64 * 1024;

// Takes ownership of the socket: it is closed when it cannot be bound.
void attach(const EntryPtr& entry, platform::Socket socket, SocketRole role, bool want_write) {
    uint64_t token;
    try {
        token = Registry::instance().bind_socket(entry, role);
    } catch (...) {
        platform::close_socket(socket);
        throw;
    }
    if (role == SocketRole::Accepted) {
        entry->accepted = socket;
        entry->accepted_token = token;
    } else {
        entry->socket = socket;
        entry->socket_token = token;
    }
    entry->write_watched = want_write;
    platform::watch(socket, token, true, want_write);
}

void detach(platform::Socket& socket, uint64_t& token) {
    if (socket == platform::INVALID_SOCKET_HANDLE) return;
    platform::unwatch(socket);
    platform::close_socket(socket);
    Registry::instance().unbind_socket(token);
    socket = platform::INVALID_SOCKET_HANDLE;
    token = 0;
}

void set_write_interest(DeviceEntry& entry, bool wanted) {
    if (entry.write_watched == wanted || entry.data_socket() == platform::INVALID_SOCKET_HANDLE)
        return;
    entry.write_watched = wanted;
    platform::watch(entry.data_socket(), entry.data_token(), true, wanted);
}

// Puts the entry back to "nothing received, nothing to send". A listening server keeps its
// listening socket and state.
void reset_entry(DeviceEntry& entry) {
    if (!(entry.is_server() && entry.state == TCP_LISTEN)) entry.set_state(TCP_CLOSED);
    entry.last_error = 0;
    entry.send_buffer.clear();
    entry.write_watched = false;
    entry.gathering = false;
    entry.receive_begin = entry.receive_end = 0;
    entry.reassembler.reset();
    entry.values.reset_for_new_connection();
    entry.sequence.reset();
    entry.answers.clear();
    ++entry.generation;
}

void fail_connection(DeviceEntry& entry, int32_t error, int32_t event, Outbox& outbox) {
    close_connection(entry);
    entry.set_state(TCP_ERROR);
    entry.last_error = error;
    outbox.connection(entry.window, entry.key, error, event);
}

// A server's session ends without its listener: it waits for the next client.
void drop_accepted_client(DeviceEntry& entry) {
    detach(entry.accepted, entry.accepted_token);
    entry.client_connected = false;
    entry.set_state(TCP_LISTEN);
    reset_entry(entry);
}

// The peer ended the connection in order: a client is closed, a server listens again.
void peer_closed(DeviceEntry& entry, Outbox& outbox) {
    if (entry.is_server())
        drop_accepted_client(entry);
    else
        close_connection(entry);
    outbox.connection(entry.window, entry.key, 0, CORVEL_FD_CLOSE);
}

// Errors that mean the connection itself broke, reported as a close with an error.
bool is_connection_loss(int error) {
    switch (error) {
    case ECONNRESET:
    case ECONNABORTED:
    case ETIMEDOUT:
    case EPIPE:
    case ENETDOWN:
    case ENETUNREACH:
    case EHOSTUNREACH:
        return true;
    default:
        return false;
    }
}

void receive_failed(DeviceEntry& entry, int error, Outbox& outbox) {
    if (is_connection_loss(error)) {
        fail_connection(entry, error, CORVEL_FD_CLOSE, outbox);
        return;
    }
    close_connection(entry);
    outbox.connection(entry.window, entry.key, error, CORVEL_FD_READ);
}

bool flush_send_buffer(DeviceEntry& entry, int& error) {
    long sent = platform::send_some(entry.data_socket(), entry.send_buffer.data(),
                                    entry.send_buffer.size(), error);
    if (sent < 0) {
        if (!platform::would_block(error)) return false;
        sent = 0;
    }
    entry.send_buffer.erase(entry.send_buffer.begin(), entry.send_buffer.begin() + sent);
    set_write_interest(entry, !entry.send_buffer.empty());
    return true;
}

void on_connect_result(DeviceEntry& entry, Outbox& outbox) {
    if (int error = platform::pending_error(entry.socket)) {
        fail_connection(entry, error, CORVEL_FD_CONNECT, outbox);
        return;
    }
    entry.set_state(TCP_ESTABLISHED);
    outbox.connection(entry.window, entry.key, 0, CORVEL_FD_CONNECT);
}

void on_writable(DeviceEntry& entry, Outbox& outbox) {
    if (entry.send_buffer.empty()) {
        set_write_interest(entry, false);
        return;
    }
    int error = 0;
    if (!flush_send_buffer(entry, error)) fail_connection(entry, error, CORVEL_FD_WRITE, outbox);
}

// One client at a time: a newcomer is accepted and closed at once. Whatever goes wrong with
// it (even the accept itself) leaves the attached session alone.
void turn_away_newcomer(platform::Socket listener) {
    platform::Socket newcomer;
    if (platform::accept_client(listener, newcomer) == 0) platform::close_socket(newcomer);
}

void on_accept(const EntryPtr& entry, Outbox& outbox) {
    if (entry->client_connected) {
        turn_away_newcomer(entry->socket);
        return;
    }
    platform::Socket client;
    if (const int error = platform::accept_client(entry->socket, client)) {
        if (platform::would_block(error)) return;
        // The listener is closed too, so that the caller's next connect starts afresh.
        fail_connection(*entry, error, CORVEL_FD_ACCEPT, outbox);
        return;
    }
    // A socket that cannot be set up is dropped alone; the listener stays for the next try.
    if (const int error = platform::enable_keepalive(client)) {
        platform::close_socket(client);
        entry->set_state(TCP_ERROR);
        entry->last_error = error;
        outbox.connection(entry->window, entry->key, error, CORVEL_FD_ACCEPT);
        return;
    }
    attach(entry, client, SocketRole::Accepted, false);
    entry->client_connected = true;
    entry->set_state(TCP_ESTABLISHED);
    outbox.connection(entry->window, entry->key, 0, CORVEL_FD_ACCEPT);
}

// Reads once from the data socket into the entry's receive buffer, unless bytes from an
// earlier read are still waiting there. Returns false when nothing is left to decode.
bool fill_receive_buffer(DeviceEntry& entry, Outbox& outbox) {
    if (entry.receive_begin < entry.receive_end) return true;
    int error = 0;
    const long received = platform::receive_some(entry.data_socket(), entry.receive_buffer.data(),
                                                 entry.receive_buffer.size(), error);
    if (received == 0) {
        peer_closed(entry, outbox);
        return false;
    }
    if (received < 0) {
        if (!platform::would_block(error)) receive_failed(entry, error, outbox);
        return false;
    }
    entry.receive_begin = 0;
    entry.receive_end = static_cast<size_t>(received);
    return true;
}

void send_di_change_enable(DeviceEntry& entry, int port) {
    std::vector<uint8_t> frame;
    FrameWriter writer(frame, entry.sequence, entry.unit_id);
    writer.write_coil(TAG_DI_CHANGE, static_cast<uint16_t>(RLX_DI_CHANGE_ENABLE_BASE + port), 0xFF);
    int32_t ignored = 0;
    send_request(entry, frame, ignored);
}

// Advances the reassembly over the waiting bytes until one frame is complete (or the bytes
// run out) and decodes it. Returns true while bytes remain for another frame.
bool decode_next_frame(DeviceEntry& entry, Outbox& outbox) {
    while (entry.receive_begin < entry.receive_end) {
        Reassembler::Event event;
        entry.receive_begin +=
            entry.reassembler.feed(entry.receive_buffer.data() + entry.receive_begin,
                                   entry.receive_end - entry.receive_begin, event);
        if (event == Reassembler::Event::None) continue;
        entry.values.last_tag = entry.reassembler.tag();
        if (event == Reassembler::Event::BadLength) {
            outbox.data(entry.window, entry.key, MB_BAD_LENGTH);
        } else {
            const uint8_t* body = entry.reassembler.body();
            const size_t length = entry.reassembler.body_length();
            // An answer that no request waits for is dropped unread: a peer flooding answers
            // nobody asked for costs no decoding and no notification.
            if (is_answer_frame(body, length) && !entry.answers.waiting()) {
                ++entry.dropped_answers;
                continue;
            }
            const DecodeResult result =
                decode_body(body, length, entry.reassembler.tag(), entry.values);
            if (answers_request(body, length, result))
                entry.answers.answer_received(MonotonicClock::now());
            if (result.enable_di_change_port >= 0)
                send_di_change_enable(entry, result.enable_di_change_port);
            if (result.code != NO_NOTIFICATION) outbox.data(entry.window, entry.key, result.code);
        }
        break;
    }
    return entry.receive_begin < entry.receive_end;
}

void report_connect_failure(DeviceEntry& entry, int32_t error, Outbox& outbox) {
    entry.set_state(TCP_ERROR);
    entry.last_error = error;
    outbox.connection(entry.window, entry.key, error, CORVEL_FD_CONNECT);
}

// A lookup's result belongs to the connect that started it: any reset since (disconnect,
// delete, a new connect) makes it stale.
bool awaits_lookup(const DeviceEntry& entry, uint64_t generation) {
    return !entry.deleted && entry.generation == generation && entry.state == TCP_CONNECTING &&
           entry.socket == platform::INVALID_SOCKET_HANDLE;
}

// On the dispatcher's thread: connects to the address found, or reports the lookup's failure
// as any failed connect is reported.
void finish_lookup(const std::weak_ptr<DeviceEntry>& weak, uint64_t generation, int code,
                   const platform::Address& address) {
    const EntryPtr entry = weak.lock();
    if (!entry) return;
    Outbox outbox;
    {
        std::lock_guard lock(entry->mutex);
        if (!awaits_lookup(*entry, generation)) return;
        platform::Socket socket;
        if (code == 0) code = platform::start_connect(address, socket);
        if (code == 0) {
            try {
                attach(entry, socket, SocketRole::Client, true);
            } catch (...) {
                code = current_exception_code();
            }
        }
        if (code != 0) report_connect_failure(*entry, code, outbox);
    }
    outbox.deliver();
}

// The name is looked up on a resolver thread, so that no caller (the polling thread least of
// all) waits for a slow name server; the entry is connecting meanwhile.
void start_lookup(const EntryPtr& entry) {
    const std::weak_ptr<DeviceEntry> weak = entry;
    const uint64_t generation = entry->generation;
    Resolver::instance().submit(
        entry->host, entry->port,
        [weak, generation] {
            const EntryPtr alive = weak.lock();
            if (!alive) return false;
            std::lock_guard lock(alive->mutex);
            return awaits_lookup(*alive, generation);
        },
        [weak, generation](int code, const platform::Address& address) {
            finish_lookup(weak, generation, code, address);
        });
    entry->set_state(TCP_CONNECTING);
}

// Starts the connect, the lookup or the listening of a closed entry; 0 or an error code.
int open_connection(const EntryPtr& entry) {
    platform::Socket socket;
    platform::Address address;
    int result;
    switch (entry->mode) {
    case CORVEL_MODE_CLIENT:
        // A numeric address needs no lookup: it is connected to (or fails) at once.
        result = platform::resolve(entry->host, entry->port, true, address);
        if (result == platform::NEEDS_LOOKUP) {
            start_lookup(entry);
            return 0;
        }
        if (result == 0) result = platform::start_connect(address, socket);
        break;
    case CORVEL_MODE_SERVER_IPV4:
    case CORVEL_MODE_SERVER_IPV6:
        result =
            platform::start_listen(entry->mode == CORVEL_MODE_SERVER_IPV6, entry->port, socket);
        break;
    default:
        result = EINVAL;
        break;
    }
    if (result != 0) return result;
    if (entry->is_server()) {
        attach(entry, socket, SocketRole::Listener, false);
        entry->set_state(TCP_LISTEN);
    } else {
        attach(entry, socket, SocketRole::Client, true);
        entry->set_state(TCP_CONNECTING);
    }
    return 0;
}

bool is_current(const DeviceEntry& entry, SocketRole role, uint64_t token) {
    if (entry.deleted) return false;
    return role == SocketRole::Accepted ? entry.accepted_token == token
                                        : entry.socket_token == token;
}

// Decodes frame by frame, delivering each frame's notification before decoding the next, so
// that the getters show that frame's values while its notification runs.
void receive(const EntryPtr& entry, SocketRole role, uint64_t token) {
    uint64_t generation;
    {
        Outbox outbox;
        bool more;
        {
            std::lock_guard lock(entry->mutex);
            if (!is_current(*entry, role, token)) return;
            generation = entry->generation;
            more = fill_receive_buffer(*entry, outbox);
        }
        outbox.deliver();
        if (!more) return;
    }
    for (;;) {
        Outbox outbox;
        bool more;
        {
            std::lock_guard lock(entry->mutex);
            if (entry->deleted || entry->generation != generation) return;
            more = decode_next_frame(*entry, outbox);
        }
        outbox.deliver();
        if (!more) return;
    }
}

} // namespace

int32_t start_connection(const EntryPtr& entry, int32_t& error, Outbox& outbox) {
    if (entry->state != TCP_CLOSED && entry->state != TCP_ERROR) return CORVEL_WRONG_STATE;
    close_connection(*entry); // whatever a failed attempt may have left
    int result;
    try {
        result = open_connection(entry);
    } catch (...) {
        result = current_exception_code();
    }
    if (result != 0) {
        error = result;
        report_connect_failure(*entry, result, outbox);
        return CORVEL_SOCKET_ERROR;
    }
    return CORVEL_OK;
}

void close_connection(DeviceEntry& entry) {
    detach(entry.accepted, entry.accepted_token);
    detach(entry.socket, entry.socket_token);
    entry.client_connected = false;
    entry.set_state(TCP_CLOSED);
    reset_entry(entry);
}

int32_t send_request(DeviceEntry& entry, const std::vector<uint8_t>& frames, int32_t& error) {
    if (frames.empty()) return CORVEL_OK;
    // A group still in flight is completed first: starting a new one in its middle would
    // put a torn frame on the wire.
    if (entry.send_buffer.size() + frames.size() > MAX_PENDING_SEND) {
        close_connection(entry);
        error = ENOBUFS;
        return CORVEL_SOCKET_ERROR;
    }
    entry.send_buffer.insert(entry.send_buffer.end(), frames.begin(), frames.end());
    watchdog::requests_sent(entry, count_frames(frames.data(), frames.size()));
    if (entry.write_watched || entry.gathering) return CORVEL_OK;
    int send_error = 0;
    if (!flush_send_buffer(entry, send_error)) {
        close_connection(entry);
        error = send_error;
        return CORVEL_SOCKET_ERROR;
    }
    return CORVEL_OK;
}

int32_t send_gathered(DeviceEntry& entry, int32_t& error) {
    entry.gathering = false;
    if (entry.state != TCP_ESTABLISHED || entry.write_watched || entry.send_buffer.empty())
        return CORVEL_OK;
    int send_error = 0;
    if (flush_send_buffer(entry, send_error)) return CORVEL_OK;
    close_connection(entry);
    error = send_error;
    return CORVEL_SOCKET_ERROR;
}

void fail_unanswered(DeviceEntry& entry, Outbox& outbox) {
    if (!entry.is_server()) {
        fail_connection(entry, ETIMEDOUT, CORVEL_FD_CLOSE, outbox);
        return;
    }
    drop_accepted_client(entry);
    entry.last_error = ETIMEDOUT;
    outbox.connection(entry.window, entry.key, ETIMEDOUT, CORVEL_FD_CLOSE);
}

void handle_socket_event(const EntryPtr& entry, SocketRole role, uint64_t token,
                         const platform::ReadyEvent& event) {
    bool read = false;
    Outbox outbox;
    {
        std::lock_guard lock(entry->mutex);
        if (!is_current(*entry, role, token)) return;
        if (role == SocketRole::Listener) {
            on_accept(entry, outbox);
        } else {
            if (entry->state == TCP_CONNECTING && (event.writable || event.failed))
                on_connect_result(*entry, outbox);
            if (entry->state == TCP_ESTABLISHED && event.writable) on_writable(*entry, outbox);
            read = entry->state == TCP_ESTABLISHED && (event.readable || event.failed);
        }
    }
    outbox.deliver();
    if (read) receive(entry, role, token);
}

} // namespace corvel
