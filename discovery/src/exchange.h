// The sockets of one search or read: one per usable local IPv4 interface for a broadcast, one
// for a unicast, all closed with the object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace discovery {

// Returned by open_* when no local interface fits the local address asked for.
inline constexpr int kNoInterface = -1;
inline constexpr size_t kMaxDatagram = 2048;

// Takes one datagram (source address in network order); true ends the wait.
using Taker = std::function<bool(const uint8_t* data, size_t length, uint32_t source)>;

class Exchange {
  public:
    Exchange() = default;
    Exchange(const Exchange&) = delete;
    Exchange& operator=(const Exchange&) = delete;
    ~Exchange() { close(); }

    // One socket per non-loopback interface (only the one with address local when it is not
    // 0), bound to its address: 0, an errno value or kNoInterface.
    int open_broadcast(uint32_t local);
    // One socket bound to local (0: any address): 0, an errno value or kNoInterface.
    int open_unicast(uint32_t local);
    void close();

    // Sends frame to address:port (network-order address; the broadcast sockets send to
    // 255.255.255.255) through every socket. 0 when any send went out, else the last errno.
    int send(uint32_t address, uint16_t port, const std::vector<uint8_t>& frame);
    // Hands every datagram to take until it returns true or wait_ms pass: 0 or an errno value.
    int receive(int wait_ms, const Taker& take);

  private:
    int open_bound(uint32_t address, bool broadcast);

    std::vector<int> sockets_;
    bool broadcast_ = false;
};

} // namespace discovery
