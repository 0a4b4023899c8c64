#include "udp_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace discovery::test {

namespace {
constexpr auto kLifetime = std::chrono::seconds(30);
}

UdpPeer::UdpPeer(uint32_t address, uint16_t port, Responder responder)
    : responder_(std::move(responder)) {
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = address;
    a.sin_port = htons(port);
    socklen_t length = sizeof a;
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) != 0) {
        close(fd);
        return;
    }
    fd_ = fd;
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { run(); });
}

UdpPeer::~UdpPeer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (fd_ >= 0) close(fd_);
}

std::vector<Bytes> UdpPeer::received() const {
    std::lock_guard guard(lock_);
    return received_;
}

void UdpPeer::run() {
    auto end = std::chrono::steady_clock::now() + kLifetime;
    while (!stop_ && std::chrono::steady_clock::now() < end) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0) continue;
        Bytes request(4096);
        sockaddr_in from{};
        socklen_t length = sizeof from;
        ssize_t n = recvfrom(fd_, request.data(), request.size(), 0,
                             reinterpret_cast<sockaddr*>(&from), &length);
        if (n < 0) continue;
        request.resize(size_t(n));
        {
            std::lock_guard guard(lock_);
            received_.push_back(request);
        }
        ++requests_;
        for (const Bytes& answer : responder_(request))
            sendto(fd_, answer.data(), answer.size(), 0, reinterpret_cast<sockaddr*>(&from),
                   length);
    }
}

Bytes with_sequence_of(const Bytes& request, Bytes answer) {
    if (request.size() >= 8 && answer.size() >= 8) {
        answer[6] = request[6];
        answer[7] = request[7];
    }
    return answer;
}

Bytes hex(const char* text) {
    Bytes out;
    char* end = nullptr;
    for (const char* p = text; *p; p = end) {
        unsigned long value = std::strtoul(p, &end, 16);
        if (end == p) break;
        out.push_back(uint8_t(value));
    }
    return out;
}

} // namespace discovery::test
