// What Corvel needs from the operating system: non-blocking TCP sockets and a readiness
// poller whose descriptor the caller can watch. One implementation per system under posix/
// (and later win/).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace corvel::platform {

using Socket = int;
constexpr Socket INVALID_SOCKET_HANDLE = -1;

bool would_block(int error);

// A socket address copied out of the resolver's list.
struct Address {
    int family = 0;
    int type = 0;
    int protocol = 0;
    uint32_t length = 0;
    alignas(8) uint8_t bytes[128]{}; // room for any socket address
};

// resolve's answer when numeric_only is set and the host is a name.
constexpr int NEEDS_LOOKUP = INT32_MIN;

// The first TCP address of host:port. With numeric_only a host that would need a name lookup
// gives NEEDS_LOOKUP at once; otherwise a lookup may take as long as the name servers do.
// Returns 0, an errno value, or the resolver's (negative) code.
int resolve(const std::string& host, int port, bool numeric_only, Address& address);

// Creates a non-blocking TCP socket with keep-alive for the address and starts connecting.
// Returns 0 when the connect is under way or done, otherwise an errno value; on failure
// nothing stays open.
int start_connect(const Address& address, Socket& socket);

// A listening socket (backlog 1) on every local address of the family, IPv6 only when ipv6.
int start_listen(bool ipv6, int port, Socket& socket);

// Returns 0 with a new non-blocking socket, or an errno value.
int accept_client(Socket listener, Socket& client);

// TCP keep-alive with 10 s idle time and 1 s interval; 0 or an errno value.
int enable_keepalive(Socket socket);

// Bytes written (0 or more), or -1 with error set.
long send_some(Socket socket, const uint8_t* data, size_t size, int& error);

// Bytes read, 0 when the peer closed, or -1 with error set.
long receive_some(Socket socket, uint8_t* data, size_t size, int& error);

// The error that ended an asynchronous connect, or 0.
int pending_error(Socket socket);

void close_socket(Socket socket);

// The readiness poller: level-triggered, one token per watched socket.
// WAKE_TOKEN is no socket's: it reports that another thread called wake(). TIMER_TOKEN is
// no socket's either: it reports that the deadline timer went off.
constexpr uint64_t WAKE_TOKEN = 0;
constexpr uint64_t TIMER_TOKEN = UINT64_MAX;
struct ReadyEvent {
    uint64_t token;
    bool readable;
    bool writable;
    bool failed; // error or hang-up reported by the system
};

int poller_descriptor();
void watch(Socket socket, uint64_t token, bool want_read, bool want_write);
void unwatch(Socket socket);
// Makes the next (or the current) wait_ready report WAKE_TOKEN; safe from any thread.
void wake();
// The deadline timer: one shot, reported once by wait_ready as TIMER_TOKEN. Setting it again
// replaces the earlier time; safe from any thread.
void set_timer(std::chrono::nanoseconds delay);
void stop_timer();
// Waits at most timeout_ms (negative: without limit); returns the number of events filled,
// or a negative errno.
int wait_ready(ReadyEvent* events, int capacity, int timeout_ms);

} // namespace corvel::platform
