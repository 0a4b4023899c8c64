// A device on an ephemeral loopback port that keeps every request datagram and answers the
// first with a bare reply header, so that the requests an operation sends can be compared
// with frames written out by hand.
#pragma once

#include "nexoltlib/nexoltlib.h"

#include <arpa/inet.h>

#include <cstdint>
#include <thread>
#include <vector>

namespace nexolt::test {

using Bytes = std::vector<uint8_t>;

inline const uint8_t kDeviceMac[6] = {0x00, 0x30, 0xF9, 0x12, 0x34, 0x56};
inline const uint32_t kLoopback = htonl(INADDR_LOOPBACK);

class CapturingDevice {
  public:
    CapturingDevice();
    ~CapturingDevice();
    uint16_t port() const { return port_; }

    // Starts listening until count datagrams came in or 5 s passed.
    void expect(size_t count);
    std::vector<Bytes> received();

  private:
    void run(size_t count);
    void answer(const uint8_t* request, const void* to);

    int fd_ = -1;
    uint16_t port_ = 0;
    std::thread thread_;
    std::vector<Bytes> got_;
};

// Lists the device (product id 32 at loopback) as a unicast search would have: list 1, with
// the given cipher flag, capability bits and raw env. Returns its record.
lib_env known_device(bool enciphers, uint16_t capabilities = 0, const Bytes& raw_env = {});

} // namespace nexolt::test
