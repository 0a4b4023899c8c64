#include "transport.h"

#include "nexoltlib/nexoltlib.h"

#include <array>

namespace nexolt {

namespace {

constexpr uint32_t kLimitedBroadcast = 0xFFFFFFFFu;
constexpr int kSendPauseMs = 10;

int open_socket_pair(InterfaceEntry& entry, const TransportTarget& target) {
    bool broadcast = target.mode == kBroadcast;
    if (int error = sys::udp_open(broadcast, entry.socket_a)) return error;
    if (int error = sys::udp_open(broadcast, entry.socket_b)) return error;
    // Without a filter a unicast exchange answers on whatever interface routes to the target.
    bool bind_interface = broadcast || target.local != 0;
    uint32_t local = bind_interface ? entry.address : 0;
    if (int error = sys::udp_bind(entry.socket_a, {local, NEXOLT_PORT_A})) return error;
    if (int error = sys::udp_bind(entry.socket_b, {local, NEXOLT_PORT_B})) return error;
    uint32_t destination = broadcast ? kLimitedBroadcast : target.address;
    entry.destination_a = {destination, target.port ? target.port : uint16_t(NEXOLT_PORT_A)};
    entry.destination_b = {destination, target.port ? target.port : uint16_t(NEXOLT_PORT_B)};
    return 0;
}

int open_any_address_socket(uint16_t port, int& fd) {
    if (int error = sys::udp_open(true, fd)) return error;
    if (int error = sys::udp_report_arrival(fd)) return error;
    return sys::udp_bind(fd, {0, port});
}

} // namespace

int Transport::open(const TransportTarget& target) {
    close();
    std::vector<InterfaceEntry> entries;
    if (int error = refresh_interfaces(target.local, entries)) return error;
    return open_entries(target, std::move(entries));
}

int Transport::open_for_device(const TransportTarget& target, const std::string& interface_text) {
    close();
    std::vector<InterfaceEntry> entries;
    if (int error = refresh_interfaces(target.local, entries)) return error;
    const InterfaceEntry* entry = find_interface(entries, interface_text);
    if (!entry) return NEXOLT_ERR_NO_INTERFACE;
    return open_entries(target, {*entry});
}

int Transport::open_entries(const TransportTarget& target, std::vector<InterfaceEntry> entries) {
    open_ = std::move(entries);
    for (auto& entry : open_) {
        if (int error = open_socket_pair(entry, target)) {
            close();
            return error;
        }
    }
    if (target.mode != kBroadcast) return 0;
    if (int error = open_any_address()) {
        close();
        return error;
    }
    return 0;
}

int Transport::open_any_address() {
    if (int error = open_any_address_socket(NEXOLT_PORT_A, any_a_)) return error;
    return open_any_address_socket(NEXOLT_PORT_B, any_b_);
}

void Transport::close() {
    for (auto& entry : open_) {
        sys::close_socket(entry.socket_a);
        sys::close_socket(entry.socket_b);
    }
    open_.clear();
    sys::close_socket(any_a_);
    sys::close_socket(any_b_);
    any_a_ = any_b_ = device_socket_ = device_any_ = -1;
}

int Transport::send_search(const std::vector<uint8_t>& frame, bool first_only) {
    for (auto& entry : open_) {
        sys::udp_send(entry.socket_a, entry.destination_a, frame.data(), frame.size());
        sys::pause_ms(kSendPauseMs);
        sys::udp_send(entry.socket_a, entry.destination_a, frame.data(), frame.size());
        sys::pause_ms(kSendPauseMs);
        // Only the last of the three sends decides: the others are redundancy.
        if (int error =
                sys::udp_send(entry.socket_b, entry.destination_b, frame.data(), frame.size()))
            return error;
        if (first_only) break;
    }
    return 0;
}

int Transport::send_twice_with_pause(int fd, sys::Endpoint destination,
                                     const std::vector<uint8_t>& frame) {
    sys::udp_send(fd, destination, frame.data(), frame.size());
    sys::pause_ms(kSendPauseMs);
    int error = sys::udp_send(fd, destination, frame.data(), frame.size());
    sys::pause_ms(kSendPauseMs);
    return error;
}

void Transport::choose_device_socket(bool via_b) {
    const InterfaceEntry& entry = open_.front();
    device_socket_ = via_b ? entry.socket_b : entry.socket_a;
    device_any_ = via_b ? any_b_ : any_a_;
}

int Transport::send_to_device(const std::vector<uint8_t>& frame, bool via_b) {
    if (open_.empty()) return NEXOLT_ERR_NO_INTERFACE;
    InterfaceEntry& entry = open_.front();
    choose_device_socket(via_b);
    return send_twice_with_pause(device_socket_, via_b ? entry.destination_b : entry.destination_a,
                                 frame);
}

int Transport::send_fragments(const std::vector<std::vector<uint8_t>>& datagrams, bool via_b,
                              int sends) {
    if (open_.empty()) return NEXOLT_ERR_NO_INTERFACE;
    InterfaceEntry& entry = open_.front();
    choose_device_socket(via_b);
    for (const auto& datagram : datagrams)
        for (int i = 0; i < sends; ++i) {
            int error =
                sys::udp_send(device_socket_, via_b ? entry.destination_b : entry.destination_a,
                              datagram.data(), datagram.size());
            if (error) return error;
            sys::pause_ms(kSendPauseMs);
        }
    return 0;
}

std::vector<Transport::Watched> Transport::watched() const {
    std::vector<Watched> out;
    for (const auto& entry : open_)
        for (int fd : {entry.socket_a, entry.socket_b})
            if (device_socket_ < 0 || fd == device_socket_) out.push_back({fd, &entry});
    for (int fd : {any_a_, any_b_})
        if (fd >= 0 && (device_socket_ < 0 || fd == device_any_)) out.push_back({fd, nullptr});
    return out;
}

const InterfaceEntry* Transport::arrival_entry(unsigned index) const {
    for (const auto& entry : open_)
        if (entry.index == index) return &entry;
    return nullptr;
}

int Transport::wait(int timeout_ms, int window_ms, const ReplySink& sink,
                    const std::function<bool()>& finished) {
    std::vector<Watched> sockets = watched();
    std::vector<int> fds;
    for (const auto& w : sockets)
        fds.push_back(w.fd);
    static std::array<uint8_t, NEXOLT_MAX_PAYLOAD> buffer;
    uint64_t start = sys::now_ms();
    for (;;) {
        int error = 0;
        int ready = sys::wait_readable(fds, timeout_ms, error);
        if (error) return error;
        if (ready < 0) return 0;
        const Watched& from = sockets[size_t(ready)];
        sys::Endpoint source{};
        unsigned arrival = 0;
        long n = sys::udp_receive(from.fd, buffer.data(), buffer.size(), source, arrival);
        // What the sockets on every address hear counts only on an interface of this operation.
        const InterfaceEntry* via = from.owner ? from.owner : arrival_entry(arrival);
        if (n > 0 && via) sink(buffer.data(), size_t(n), source, *via);
        if (finished && finished()) return 0;
        if (sys::now_ms() - start >= uint64_t(window_ms)) return 0;
    }
}

} // namespace nexolt
