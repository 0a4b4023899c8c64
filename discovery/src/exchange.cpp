#include "exchange.h"

#include "nexoltlib/src/posix/system.h"

#include <algorithm>
#include <array>

namespace discovery {

namespace {

namespace sys = nexolt::sys;

constexpr uint32_t kLimitedBroadcast = 0xFFFFFFFFu;
constexpr size_t kMaxInterfaces = 64;

bool is_loopback(uint32_t address) {
    return (reinterpret_cast<const uint8_t*>(&address)[0]) == 127;
}

// First address of every interface index that can carry a broadcast.
std::vector<uint32_t> broadcast_addresses(const std::vector<sys::AddressRow>& rows,
                                          uint32_t local) {
    std::vector<uint32_t> out;
    std::vector<unsigned> seen;
    for (const auto& row : rows) {
        if (row.address == 0 || is_loopback(row.address) || out.size() == kMaxInterfaces) continue;
        if (std::find(seen.begin(), seen.end(), row.index) != seen.end()) continue;
        seen.push_back(row.index);
        if (local == 0 || row.address == local) out.push_back(row.address);
    }
    return out;
}

bool has_address(const std::vector<sys::AddressRow>& rows, uint32_t local) {
    return std::any_of(rows.begin(), rows.end(),
                       [&](const sys::AddressRow& row) { return row.address == local; });
}

} // namespace

int Exchange::open_bound(uint32_t address, bool broadcast) {
    int fd = -1;
    if (int error = sys::udp_open(broadcast, fd)) return error;
    sockets_.push_back(fd);
    return sys::udp_bind(fd, {address, 0});
}

int Exchange::open_broadcast(uint32_t local) {
    close();
    broadcast_ = true;
    std::vector<sys::AddressRow> rows;
    if (int error = sys::read_address_rows(rows)) return error;
    std::vector<uint32_t> addresses = broadcast_addresses(rows, local);
    if (addresses.empty()) return kNoInterface;
    for (uint32_t address : addresses)
        if (int error = open_bound(address, true)) return close(), error;
    return 0;
}

int Exchange::open_unicast(uint32_t local) {
    close();
    broadcast_ = false;
    if (local != 0) {
        std::vector<sys::AddressRow> rows;
        if (int error = sys::read_address_rows(rows)) return error;
        if (!has_address(rows, local)) return kNoInterface;
    }
    if (int error = open_bound(local, false)) return close(), error;
    return 0;
}

void Exchange::close() {
    for (int fd : sockets_)
        sys::close_socket(fd);
    sockets_.clear();
}

int Exchange::send(uint32_t address, uint16_t port, const std::vector<uint8_t>& frame) {
    int error = 0;
    bool sent = false;
    for (int fd : sockets_) {
        int result = sys::udp_send(fd, {broadcast_ ? kLimitedBroadcast : address, port},
                                   frame.data(), frame.size());
        sent |= result == 0;
        if (result) error = result;
    }
    return sent ? 0 : error;
}

int Exchange::receive(int wait_ms, const Taker& take) {
    std::array<uint8_t, kMaxDatagram> buffer;
    uint64_t deadline = sys::now_ms() + uint64_t(std::max(wait_ms, 0));
    for (;;) {
        int left = int(std::max<int64_t>(int64_t(deadline) - int64_t(sys::now_ms()), 0));
        int error = 0;
        int ready = sys::wait_readable(sockets_, left, error);
        if (error) return error;
        if (ready < 0) return 0;
        sys::Endpoint source{};
        unsigned arrival = 0;
        long n = sys::udp_receive(sockets_[size_t(ready)], buffer.data(), buffer.size(), source,
                                  arrival);
        if (n >= 0 && take(buffer.data(), size_t(n), source.address)) return 0;
    }
}

} // namespace discovery
