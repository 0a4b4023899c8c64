#include "device_management_responder.h"

#include "device_file.h"
#include "net.h"
#include "substitute_answers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tevronsim {

namespace {

constexpr int kDatagramsPerWakeup = 32;

struct Arrival {
    std::uint32_t local = 0; // the address it was sent to (the interface's for a broadcast)
    int interface = 0;
};

// Reads one datagram and where it arrived, so a device bound to every address can still
// report its own address and answer out of the same interface.
long receive(int fd, std::uint8_t* buffer, std::size_t size, sockaddr_in& peer, Arrival& at) {
    iovec iov{buffer, size};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
    msghdr msg{};
    msg.msg_name = &peer;
    msg.msg_namelen = sizeof peer;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    ssize_t n = ::recvmsg(fd, &msg, MSG_DONTWAIT);
    if (n < 0) return -1;
    at = {};
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
        if (c->cmsg_level != IPPROTO_IP || c->cmsg_type != IP_PKTINFO) continue;
        const auto* info = reinterpret_cast<const in_pktinfo*>(CMSG_DATA(c));
        at = {info->ipi_spec_dst.s_addr, info->ipi_ifindex};
    }
    return long(n);
}

// A broadcast reply names its interface: the namespace may have no route to choose one by.
void send_broadcast(int fd, const Datagram& d, std::uint16_t port, int interface) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    to.sin_port = port;
    iovec iov{const_cast<std::uint8_t*>(d.data()), d.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr msg{};
    msg.msg_name = &to;
    msg.msg_namelen = sizeof to;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&msg);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_PKTINFO;
    c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    reinterpret_cast<in_pktinfo*>(CMSG_DATA(c))->ipi_ifindex = interface;
    ::sendmsg(fd, &msg, 0);
}

// The configuration as the device reports it: with the Modbus/TCP port its listener really
// took when the device file asked for any free one.
DeviceConfig reported_config(const DeviceHost& host) {
    DeviceConfig config = host.device().config();
    std::string endpoint = host.endpoint_text();
    long port = 0;
    if (config.endpoint.port == 0 &&
        parse_integer(endpoint.substr(endpoint.rfind(':') + 1), 1, 65535, port))
        config.endpoint.port = std::uint16_t(port);
    return config;
}

} // namespace

DeviceManagementResponder::DeviceManagementResponder(Simulator& sim, RequestLog& log,
                                                     ManagementConfig config)
    : sim_(sim), log_(log), config_(std::move(config)) {
    for (const auto& [name, settings] : config_.devices)
        devices_.emplace(name, ManagedDevice(name, settings));
}

DeviceManagementResponder::~DeviceManagementResponder() {
    for (int fd : sockets_) {
        if (fd < 0) continue;
        sim_.loop().unwatch(fd);
        ::close(fd);
    }
}

std::string DeviceManagementResponder::open_socket(std::uint16_t port, int& fd,
                                                   std::uint16_t& bound) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    if (inet_pton(AF_INET, config_.host.c_str(), &a.sin_addr) != 1)
        return "management: '" + config_.host + "' is not an IPv4 address";
    fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    int on = 1;
    if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) != 0 ||
        ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0 ||
        ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
        return "management: " + format_endpoint(config_.host, port) + ": " + std::strerror(errno);
    socklen_t length = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
    bound = ntohs(a.sin_port);
    sim_.loop().watch(fd, POLLIN, [this, fd](short) { on_readable(fd); });
    return "";
}

std::string DeviceManagementResponder::start() {
    std::string error = open_socket(config_.port, sockets_[0], ports_[0]);
    if (error.empty())
        error =
            open_socket(config_.port ? std::uint16_t(config_.port + 2) : 0, sockets_[1], ports_[1]);
    if (error.empty()) error = open_socket(kestrel_port(config_), sockets_[2], ports_[2]);
    return error;
}

std::string DeviceManagementResponder::line() const {
    return "management " + format_endpoint(config_.host, ports_[0]) + " " +
           format_endpoint(config_.host, ports_[1]);
}

std::string DeviceManagementResponder::kestrel_line() const {
    return "kestrel " + format_endpoint(config_.host, ports_[2]);
}

void DeviceManagementResponder::on_readable(int fd) {
    std::uint8_t buffer[NEXOLT_MAX_PAYLOAD];
    for (int i = 0; i < kDatagramsPerWakeup; ++i) {
        sockaddr_in peer{};
        Arrival at;
        long n = receive(fd, buffer, sizeof buffer, peer, at);
        if (n < 0) return;
        dispatch(fd, std::span<const std::uint8_t>(buffer, std::size_t(n)), peer, at.local,
                 at.interface);
    }
}

void DeviceManagementResponder::dispatch(int fd, std::span<const std::uint8_t> request,
                                         const sockaddr_in& peer, std::uint32_t local,
                                         int interface) {
    bool kestrel = fd == sockets_[2];
    bool tkb11 = !kestrel && is_tkb11_frame(request);
    for (const auto& host : sim_.hosts()) {
        auto device = devices_.find(host->device().name());
        if (device == devices_.end()) continue;
        const ManagementSettings& settings = device->second.settings();
        DeviceConfig config = reported_config(*host);
        std::vector<Datagram> replies;
        std::string members;
        if (kestrel || tkb11) {
            auto outcome = kestrel ? kestrel_answer(config, settings, request, local)
                                   : tkb11_answer(config, settings, request, local);
            if (!outcome) continue;
            replies = std::move(outcome->replies);
            members = std::move(outcome->log);
        } else {
            ManagementOutcome outcome = device->second.handle(config, request, local, peer);
            if (!outcome.addressed) continue;
            replies = std::move(outcome.replies);
            members = std::move(outcome.log);
        }
        log_.write_members(members);
        send_replies(fd, replies, peer, interface, settings.answer_by_broadcast);
    }
}

void DeviceManagementResponder::send_replies(int fd, const std::vector<Datagram>& replies,
                                             const sockaddr_in& peer, int interface,
                                             bool broadcast) {
    for (const auto& d : replies) {
        if (broadcast)
            send_broadcast(fd, d, peer.sin_port, interface);
        else
            ::sendto(fd, d.data(), d.size(), 0, reinterpret_cast<const sockaddr*>(&peer),
                     sizeof peer);
    }
}

} // namespace tevronsim
