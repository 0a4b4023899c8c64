#include "capturing_device.h"

#include "device_lists.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

namespace nexolt::test {

CapturingDevice::CapturingDevice() {
    fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = kLoopback;
    socklen_t size = sizeof local;
    if (bind(fd_, reinterpret_cast<sockaddr*>(&local), size) == 0 &&
        getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &size) == 0)
        port_ = ntohs(local.sin_port);
}

CapturingDevice::~CapturingDevice() {
    if (thread_.joinable()) thread_.join();
    close(fd_);
}

void CapturingDevice::expect(size_t count) {
    thread_ = std::thread([this, count] { run(count); });
}

std::vector<Bytes> CapturingDevice::received() {
    thread_.join();
    return got_;
}

void CapturingDevice::run(size_t count) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    uint8_t buffer[10000];
    while (got_.size() < count && std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        sockaddr_in from{};
        socklen_t size = sizeof from;
        ssize_t n =
            recvfrom(fd_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &size);
        if (n < 32) continue;
        got_.emplace_back(buffer, buffer + n);
        if (got_.size() == 1) answer(buffer, &from);
    }
}

void CapturingDevice::answer(const uint8_t* request, const void* to) {
    uint8_t reply[32] = {0x2A, 0x76, 0x4E, 0x01, 0x33, 0x82}; // reply, unicast
    reply[6] = request[6];                                    // command
    std::memcpy(reply + 10, request + 10, 6);                 // MAC
    reply[17] = 1;                                            // firmware 1.2
    reply[18] = 2;
    std::memcpy(reply + 20, request + 20, 2); // sequence
    sendto(fd_, reply, sizeof reply, 0, static_cast<const sockaddr*>(to), sizeof(sockaddr_in));
}

lib_env known_device(bool enciphers, uint16_t capabilities, const Bytes& raw_env) {
    clear_device_lists();
    DeviceEntry entry;
    std::memcpy(entry.mac, kDeviceMac, 6);
    std::memcpy(entry.env.mac, kDeviceMac, 6);
    entry.env.device_address = kLoopback;
    entry.env.product_id = 32;
    entry.decoded = true;
    entry.unicast = true;
    entry.cipher = enciphers;
    entry.capabilities = capabilities;
    entry.interface_address = "127.0.0.1";
    entry.raw_env = raw_env;
    store_device(1, entry);
    return entry.env;
}

} // namespace nexolt::test
