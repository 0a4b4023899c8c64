// Registration, connection and the dispatcher.
#include "connection.h"
#include "entry_access.h"
#include "guard.h"
#include "resolver.h"
#include "text.h"
#include "watchdog.h"

namespace corvel {
namespace {

constexpr size_t MAX_HOST_CHARS = 256;

void configure(DeviceEntry& entry, const char16_t* host, int32_t mode, int32_t port,
               int32_t unit_id, int32_t input_base, int32_t output_base) {
    // The text first: it is the one step that can fail, and then nothing has changed.
    std::string text =
        mode == CORVEL_MODE_CLIENT ? narrow_host(host, MAX_HOST_CHARS) : std::string();
    entry.mode = mode;
    entry.host = std::move(text);
    entry.port = port;
    entry.unit_id = static_cast<uint8_t>(unit_id);
    entry.input_base = static_cast<uint16_t>(input_base);
    entry.output_base = static_cast<uint16_t>(output_base);
}

// Loading the library prepares the dispatcher; unloading closes every entry, as the hidden
// window's destruction did.
struct Library {
    Library() {
        Registry::instance();
        platform::poller_descriptor();
    }
    ~Library() {
        for (const EntryPtr& entry : Registry::instance().remove_all()) {
            std::lock_guard lock(entry->mutex);
            close_connection(*entry);
            entry->deleted = true;
        }
    }
};
Library library;

void handle_ready_event(const platform::ReadyEvent& event) {
    if (event.token == platform::WAKE_TOKEN) {
        Resolver::instance().run_finished();
        return;
    }
    if (event.token == platform::TIMER_TOKEN) {
        watchdog::check_deadlines();
        return;
    }
    EntryPtr entry;
    SocketRole role;
    if (Registry::instance().lookup_socket(event.token, entry, role))
        handle_socket_event(entry, role, event.token, event);
}

} // namespace
} // namespace corvel

using namespace corvel;

extern "C" {

int corvel_event_fd(void) {
    return platform::poller_descriptor();
}

int corvel_dispatch(int timeout_ms) {
    constexpr int CAPACITY = 64; // events handled per wakeup
    platform::ReadyEvent events[CAPACITY];
    const int count = platform::wait_ready(events, CAPACITY, timeout_ms);
    for (int i = 0; i < count; ++i) {
        // An event whose handling fails (out of memory) is dropped; the others still run.
        guarded(nullptr, [&] {
            handle_ready_event(events[i]);
            return CORVEL_OK;
        });
    }
    return count;
}

int32_t add_device(corvel_window* window, int32_t key, const char16_t* host, int32_t mode,
                   int32_t port, int32_t unit_id, int32_t input_base, int32_t output_base) {
    return guarded(nullptr, [&] {
        const EntryPtr entry = std::make_shared<DeviceEntry>();
        entry->key = key;
        entry->window = window;
        configure(*entry, host, mode, port, unit_id, input_base, output_base);
        return Registry::instance().insert(entry) ? CORVEL_OK : CORVEL_UNKNOWN_DEVICE;
    });
}

int32_t update_device(int32_t key, const char16_t* host, int32_t mode, int32_t port,
                      int32_t unit_id, int32_t input_base, int32_t output_base) {
    return guarded(nullptr, [&] {
        return with_entry(key, [&](DeviceEntry& entry) -> int32_t {
            if (entry.state == TCP_ESTABLISHED) return CORVEL_SOCKET_ERROR;
            configure(entry, host, mode, port, unit_id, input_base, output_base);
            entry.values.inputs = entry.values.outputs = entry.values.pulse_flags = 0;
            entry.values.single_register = 0;
            entry.reassembler.reset();
            entry.receive_begin = entry.receive_end = 0;
            return CORVEL_OK;
        });
    });
}

int32_t delete_device(int32_t key) {
    return guarded(nullptr, [&] {
        EntryPtr entry = Registry::instance().remove(key);
        if (!entry) return CORVEL_UNKNOWN_DEVICE;
        std::lock_guard lock(entry->mutex);
        close_connection(*entry);
        entry->deleted = true;
        return CORVEL_OK;
    });
}

int32_t connect_device(int32_t key, int32_t* error) {
    return guarded(error, [&] {
        return with_entry(key, [&](const EntryPtr& entry, Outbox& outbox) -> int32_t {
            int32_t code = 0;
            const int32_t result = start_connection(entry, code, outbox);
            if (error && result == CORVEL_SOCKET_ERROR) *error = code;
            return result;
        });
    });
}

int32_t disconnect_device(int32_t key) {
    return guarded(nullptr, [&] {
        return with_entry(key, [](DeviceEntry& entry) -> int32_t {
            close_connection(entry);
            return CORVEL_OK;
        });
    });
}

} // extern "C"
