// The sockets of one operation: the interface table, two sockets per interface, sending
// with pauses and the waiting loop. Sockets live only for one operation.
// A broadcast operation also listens on every address: a device in another subnet answers
// to the broadcast address, which a socket bound to an interface address never receives.
#pragma once

#include "posix/system.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace nexolt {

inline constexpr size_t kMaxInterfaces = 64;

struct InterfaceEntry {
    int socket_a = -1;
    int socket_b = -1;
    sys::Endpoint destination_a{};
    sys::Endpoint destination_b{};
    unsigned index = 0;
    uint32_t address = 0; // network byte order
    std::string address_text;
};

enum TransportMode { kBroadcast = 0, kUnicast = 1 };

struct TransportTarget {
    int mode = kBroadcast;
    uint32_t address = 0; // unicast target, network byte order
    uint16_t port = 0;    // 0: 50005 for socket A, 50007 for socket B
    uint32_t local = 0;   // local interface filter, 0 for every interface
};

// One received datagram, with the interface it came through.
using ReplySink = std::function<void(const uint8_t* data, size_t length, sys::Endpoint source,
                                     const InterfaceEntry& via)>;

class Transport {
  public:
    ~Transport() { close(); }

    // Opens both sockets on every interface: 0, an errno value or NEXOLT_ERR_NO_INTERFACE.
    int open(const TransportTarget& target);
    // Opens sockets only on the interface whose address is interface_text.
    int open_for_device(const TransportTarget& target, const std::string& interface_text);
    void close();

    // Socket A twice, then socket B once, 10 ms apart, on every entry (or the first only).
    int send_search(const std::vector<uint8_t>& frame, bool first_only);
    // Twice through the chosen entry's socket B (via_b) or socket A, 10 ms after each.
    int send_to_device(const std::vector<uint8_t>& frame, bool via_b);
    // Each datagram sends times in a row, 10 ms after each, through the same socket as
    // send_to_device.
    int send_fragments(const std::vector<std::vector<uint8_t>>& datagrams, bool via_b, int sends);

    // Reads datagrams until the window passes or finished() says so. 0 or an errno value.
    int wait(int timeout_ms, int window_ms, const ReplySink& sink,
             const std::function<bool()>& finished);

    const std::vector<InterfaceEntry>& entries() const { return open_; }

  private:
    struct Watched {
        int fd;
        const InterfaceEntry* owner; // nullptr: a socket on every address
    };

    int open_entries(const TransportTarget& target, std::vector<InterfaceEntry> entries);
    int open_any_address();
    void choose_device_socket(bool via_b);
    std::vector<Watched> watched() const;
    const InterfaceEntry* arrival_entry(unsigned index) const;
    int send_twice_with_pause(int fd, sys::Endpoint destination, const std::vector<uint8_t>& frame);

    std::vector<InterfaceEntry> open_;
    int any_a_ = -1; // broadcast mode: ports A and B on every address
    int any_b_ = -1;
    int device_socket_ = -1; // for a known device, the socket watched (with its port's any_)
    int device_any_ = -1;
};

// Reads the interface table from the system. Returns 0, an errno value or -903.
int refresh_interfaces(uint32_t local_filter, std::vector<InterfaceEntry>& entries);
// The entry whose address text equals address_text exactly, or nullptr.
const InterfaceEntry* find_interface(const std::vector<InterfaceEntry>& entries,
                                     const std::string& address_text);

} // namespace nexolt
