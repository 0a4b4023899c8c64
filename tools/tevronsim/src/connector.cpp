#include "connector.h"

#include "net.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace tevronsim {

namespace {
constexpr std::chrono::seconds kRetry(1);
} // namespace

Connector::Connector(EventLoop& loop, std::string host, std::uint16_t port,
                     ConnectHandler on_connect)
    : loop_(loop), host_(std::move(host)), port_(port), on_connect_(std::move(on_connect)) {}

Connector::~Connector() {
    stop();
}

void Connector::start() {
    if (running_) return;
    running_ = true;
    attempt();
}

void Connector::stop() {
    running_ = false;
    if (timer_) loop_.cancel_timer(timer_);
    timer_ = 0;
    abandon_socket();
}

void Connector::lost() {
    if (running_) retry_later();
}

void Connector::abandon_socket() {
    if (fd_ < 0) return;
    loop_.unwatch(fd_);
    ::close(fd_);
    fd_ = -1;
}

void Connector::retry_later() {
    if (timer_) return;
    timer_ = loop_.add_timer(kRetry, [this] {
        timer_ = 0;
        attempt();
    });
}

void Connector::attempt() {
    if (!running_ || fd_ >= 0) return;
    std::string error;
    auto ai = resolve(host_, port_, false, error);
    if (!ai) return retry_later();
    fd_ = ::socket(ai->ai_family, ai->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai->ai_protocol);
    if (fd_ < 0) return retry_later();
    int rc = ::connect(fd_, ai->ai_addr, ai->ai_addrlen);
    if (rc != 0 && errno != EINPROGRESS && errno != EINTR) {
        abandon_socket();
        return retry_later();
    }
    loop_.watch(fd_, POLLOUT, [this](short) { on_writable(); });
}

void Connector::on_writable() {
    int error = 0;
    socklen_t len = sizeof error;
    if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &len) != 0 || error != 0) {
        abandon_socket();
        return retry_later();
    }
    int fd = fd_;
    loop_.unwatch(fd_);
    fd_ = -1;
    on_connect_(fd);
}

} // namespace tevronsim
