// Test helpers: a window that records notifications, a dispatcher pump, and a raw loopback
// peer that shows exactly which bytes Corvel put on the wire.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "corvel/corvel.h"

namespace corvel_test {

struct Notice {
    uint32_t message;
    int32_t key;
    intptr_t lparam;
};

struct Recorder : corvel_window {
    std::vector<Notice> notices;
    std::function<void(const Notice&)> on_notice; // runs inside the window procedure

    Recorder();
    bool has(uint32_t message, intptr_t lparam) const;
    size_t count(uint32_t message, intptr_t lparam) const;
    std::vector<intptr_t> data_codes() const;
};

// Dispatches until the condition holds or the time runs out.
bool pump_until(const std::function<bool()>& condition, int timeout_ms = 3000);
// Dispatches for a while, for checks that something does not happen.
void pump_for(int milliseconds);

using Bytes = std::vector<uint8_t>;
Bytes hex(const std::string& text); // "2D 00 00 ..." -> bytes

// A listening socket that lets little in before the peer's reading stops the sender: a small
// segment size and receive buffer, set before listen() so the accepted socket has them.
struct SmallWindow {
    int receive_buffer;
    int max_segment;
};

class RawPeer {
  public:
    explicit RawPeer(bool ipv6 = false); // listens on loopback, ephemeral port
    explicit RawPeer(SmallWindow window);
    ~RawPeer();
    int port() const { return port_; }
    bool accept_client(int timeout_ms = 3000); // pumps Corvel while waiting
    Bytes read_exact(size_t count, int timeout_ms = 3000);
    bool nothing_more(int wait_ms = 50);
    // Reads without dispatching until nothing more comes for quiet_ms (at most limit_ms).
    Bytes read_quietly(int quiet_ms, int limit_ms = 3000);
    // Reads (dispatching) until the other side closes; false when it did not in time.
    bool read_until_closed(Bytes& bytes, int timeout_ms = 3000);
    bool has_data() const; // without dispatching
    int client_socket() const { return client_; }
    void write(const Bytes& bytes);
    void close_client();
    void reset_client(); // sends RST instead of FIN

  private:
    void listen_on_loopback(bool ipv6, const SmallWindow* window);

    int listener_ = -1;
    int client_ = -1;
    int port_ = 0;
};

// A host name that fails to resolve without any query leaving the machine (its first label
// is longer than a DNS label may be).
extern const char16_t* const UNRESOLVABLE_HOST;

// Connects to a Corvel server entry from the test (the controller side of server mode).
int connect_to(int port, bool ipv6 = false);

// A loopback port on which nothing listens.
int closed_port();

// Registers key as a client of a RawPeer and brings it to TCP_ESTABLISHED.
bool connect_client(Recorder& window, int32_t key, RawPeer& peer, int input_base = 0,
                    int output_base = 0, int unit_id = 1);

// Sends `count` input reads and takes them off the wire at the peer, so that the next `count`
// answers the peer writes are awaited: Corvel drops answers that no request waits for.
bool await_answers(int32_t key, RawPeer& peer, int count);

} // namespace corvel_test
