#include "listener.h"

#include "net.h"

#include <netinet/in.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tevronsim {

namespace {
constexpr int kAcceptsPerWakeup = 16;

std::uint16_t bound_port(int fd) {
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) return 0;
    if (addr.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6*>(&addr)->sin6_port);
    return ntohs(reinterpret_cast<sockaddr_in*>(&addr)->sin_port);
}
} // namespace

Listener::Listener(EventLoop& loop, AcceptHandler on_accept)
    : loop_(loop), on_accept_(std::move(on_accept)) {}

Listener::~Listener() {
    close();
}

std::string Listener::open(const std::string& host, std::uint16_t port) {
    std::string error;
    auto ai = resolve(host, port, true, error);
    if (!ai) return error;
    int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC, ai->ai_protocol);
    if (fd < 0) return std::string("socket: ") + std::strerror(errno);
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (ai->ai_family == AF_INET6) setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on);
    if (::bind(fd, ai->ai_addr, ai->ai_addrlen) != 0 || ::listen(fd, 8) != 0 ||
        !set_nonblocking(fd)) {
        error = format_endpoint(host, port) + ": " + std::strerror(errno);
        ::close(fd);
        return error;
    }
    fd_ = fd;
    port_ = bound_port(fd);
    loop_.watch(fd_, POLLIN, [this](short) { accept_all(); });
    return "";
}

void Listener::close() {
    if (fd_ < 0) return;
    loop_.unwatch(fd_);
    ::close(fd_);
    fd_ = -1;
}

void Listener::accept_all() {
    for (int i = 0; i < kAcceptsPerWakeup && fd_ >= 0; ++i) {
        int fd = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            return; // EAGAIN, or a shortage that the next wakeup retries
        }
        on_accept_(fd);
    }
}

} // namespace tevronsim
