#include "fake_device.h"

#include "bytes.h"
#include "frame.h"
#include "rc4.h"
#include "record_builders.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace nexolt::test {

bool FakeDevice::start() {
    if (pipe(stop_pipe_) != 0) return false;
    thread_ = std::thread([this] { run(); });
    while (started_ == 0)
        std::this_thread::yield();
    return started_ == 1;
}

void FakeDevice::stop() {
    if (!thread_.joinable()) return;
    (void)!write(stop_pipe_[1], "x", 1);
    thread_.join();
    for (int fd : sockets_)
        close(fd);
    sockets_.clear();
    close(stop_pipe_[0]);
    close(stop_pipe_[1]);
}

// Network namespaces are per thread: entering one here leaves the test's thread alone.
bool FakeDevice::open_sockets() {
    if (!config_.netns.empty()) {
        int ns = open(("/var/run/netns/" + config_.netns).c_str(), O_RDONLY | O_CLOEXEC);
        if (ns < 0 || setns(ns, CLONE_NEWNET) != 0) return false;
        close(ns);
    }
    for (uint16_t port : config_.ports) {
        int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = config_.bind_address;
        a.sin_port = htons(port);
        if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return false;
        socklen_t length = sizeof a;
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
        sockets_.push_back(fd);
        bound_ports_.push_back(ntohs(a.sin_port));
    }
    return true;
}

void FakeDevice::run() {
    if (!open_sockets()) {
        started_ = -1;
        return;
    }
    started_ = 1;
    std::vector<pollfd> fds{{stop_pipe_[0], POLLIN, 0}};
    for (int fd : sockets_)
        fds.push_back({fd, POLLIN, 0});
    uint8_t buffer[NEXOLT_MAX_PAYLOAD];
    while (poll(fds.data(), fds.size(), 5000) >= 0 && !(fds[0].revents & POLLIN)) {
        for (size_t i = 1; i < fds.size(); ++i) {
            if (!(fds[i].revents & POLLIN)) continue;
            sockaddr_in peer{};
            socklen_t length = sizeof peer;
            ssize_t n = recvfrom(fds[i].fd, buffer, sizeof buffer, 0,
                                 reinterpret_cast<sockaddr*>(&peer), &length);
            if (n >= 32) answer(fds[i].fd, buffer, size_t(n), &peer);
        }
    }
}

void FakeDevice::answer(int fd, const uint8_t* request, size_t, const void* peer) {
    FrameHeader in = read_header(request);
    if (!in.magic_ok() || (in.flags & kFlagReply)) return;
    if (in.command != kCmdSearch && in.command != kCmdRead) return;
    static const uint8_t zero[6] = {};
    if (std::memcmp(in.mac, zero, 6) != 0 && std::memcmp(in.mac, config_.mac, 6) != 0) return;
    ++requests_;

    std::vector<uint8_t> payload = encode(config_.env);
    if (config_.damaged) payload.back() ^= 1;
    uint16_t crc = crc16(payload.data(), int(payload.size()));
    if (config_.cipher) crypt_payload(crc, payload.data(), payload.data(), payload.size());
    size_t piece = config_.fragment_size ? config_.fragment_size : payload.size();
    for (size_t at = 0; at == 0 || at < payload.size(); at += piece) {
        size_t n = std::min(piece, payload.size() - at);
        if (at < piece * config_.skipped_fragments) continue;
        uint8_t header[32] = {};
        std::memcpy(header, kMagic, 4);
        header[4] = kVersion;
        header[5] =
            uint8_t(kFlagReply | (in.flags & kFlagUnicast) | (config_.cipher ? kFlagCipher : 0) |
                    (at + n < payload.size() ? kFlagMoreFragments : 0));
        header[6] = in.command;
        store_u16(header + 8, crc);
        std::memcpy(header + 10, config_.mac, 6);
        header[17] = 1;
        header[18] = 2;
        std::memcpy(header + 20, in.sequence, 2);
        store_u16(header + 22, uint16_t(at));
        store_u16(header + 24, kCapabilityMarker);
        store_u16(header + 26, config_.capabilities);
        std::vector<uint8_t> datagram(header, header + 32);
        datagram.insert(datagram.end(), payload.begin() + long(at), payload.begin() + long(at + n));
        sendto(fd, datagram.data(), datagram.size(), 0, static_cast<const sockaddr*>(peer),
               sizeof(sockaddr_in));
        if (payload.empty()) break;
    }
}

} // namespace nexolt::test
