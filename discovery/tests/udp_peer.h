// A device on a loopback UDP port of its own that answers each request with bytes the test
// chose (the request's sequence copied into bytes 6 and 7), on a thread, for a bounded time.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace discovery::test {

using Bytes = std::vector<uint8_t>;
// The answers to one request; none to stay silent.
using Responder = std::function<std::vector<Bytes>(const Bytes& request)>;

class UdpPeer {
  public:
    // Binds address:port (network-order address; port 0: ephemeral) and starts answering.
    UdpPeer(uint32_t address, uint16_t port, Responder responder);
    ~UdpPeer();
    uint16_t port() const { return port_; }
    bool ok() const { return fd_ >= 0; }
    int requests() const { return requests_; }
    std::vector<Bytes> received() const;

  private:
    void run();

    int fd_ = -1;
    uint16_t port_ = 0;
    Responder responder_;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    mutable std::mutex lock_;
    std::vector<Bytes> received_;
    std::thread thread_;
};

// Copies the sequence of request into answer (bytes 6 and 7 of both protocols).
Bytes with_sequence_of(const Bytes& request, Bytes answer);
// "4B 53 ..." to bytes.
Bytes hex(const char* text);

} // namespace discovery::test
