// A device answering search and read requests over UDP, for exchanges with the transport.
// It runs on its own thread, optionally inside another network namespace.
#pragma once

#include "nexoltlib/nexoltlib.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace nexolt::test {

struct FakeDeviceConfig {
    lib_env env{};
    uint8_t mac[6] = {0x00, 0x30, 0xF9, 0x12, 0x34, 0x56};
    bool cipher = false;
    uint16_t capabilities = 0x0001;
    size_t fragment_size = 0;       // > 0: answer in fragments of this many payload bytes
    size_t skipped_fragments = 0;   // leaves out the first fragments of every answer
    bool damaged = false;           // the last payload byte flipped: the CRC fails
    uint32_t bind_address = 0;      // network byte order; 0 is every address
    std::vector<uint16_t> ports{0}; // 0: an ephemeral port
    std::string netns;              // network namespace to enter, empty for the current one
};

class FakeDevice {
  public:
    explicit FakeDevice(FakeDeviceConfig config) : config_(std::move(config)) {}
    ~FakeDevice() { stop(); }

    // Opens the sockets (inside the namespace) and starts answering; false on failure.
    bool start();
    void stop();
    uint16_t port(size_t i = 0) const { return bound_ports_.at(i); }
    int requests() const { return requests_; }

  private:
    void run();
    bool open_sockets();
    void answer(int fd, const uint8_t* request, size_t length, const void* peer);

    FakeDeviceConfig config_;
    std::vector<int> sockets_;
    std::vector<uint16_t> bound_ports_;
    int stop_pipe_[2] = {-1, -1};
    std::thread thread_;
    std::atomic<int> requests_{0};
    std::atomic<int> started_{0}; // 1 ready, -1 failed
};

} // namespace nexolt::test
