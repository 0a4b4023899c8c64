#include "../smtp_socket.h"

#include "../smtp_error.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace iomira::smtp {
namespace {

// A dotted IPv4 address as it is, otherwise the first IPv4 address the resolver gives.
bool resolve(const std::string& host, in_addr& address) {
    if (host.empty()) return false;
    if (inet_pton(AF_INET, host.c_str(), &address) == 1) return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return true;
}

bool setNonBlocking(int handle) {
    const int flags = fcntl(handle, F_GETFL, 0);
    return flags >= 0 && fcntl(handle, F_SETFL, flags | O_NONBLOCK) == 0;
}

IoResult fromCall(ssize_t result) {
    if (result >= 0) return IoResult{static_cast<long>(result), false, false};
    const bool wouldBlock = errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    return IoResult{0, wouldBlock, !wouldBlock};
}

} // namespace

void SmtpSocket::connect(const std::string& host, uint16_t port, const Deadline& deadline) {
    close();
    handle_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle_ < 0) throw ECSmtp(SMTP_INVALID_SOCKET);
    try {
        resolveAndStart(host, port);
        if (!waitWritable(deadline)) throw ECSmtp(SMTP_SELECT_TIMEOUT);
        int error = 0;
        socklen_t length = sizeof error;
        if (getsockopt(handle_, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
            throw ECSmtp(SMTP_SELECT_FAILED);
    } catch (const ECSmtp&) {
        close();
        throw;
    }
}

void SmtpSocket::resolveAndStart(const std::string& host, uint16_t port) {
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(port);
    if (!resolve(host, server.sin_addr)) throw ECSmtp(SMTP_UNKNOWN_SERVER);
    if (!setNonBlocking(handle_)) throw ECSmtp(SMTP_NONBLOCKING_FAILED);
    if (::connect(handle_, reinterpret_cast<const sockaddr*>(&server), sizeof server) != 0 &&
        errno != EINPROGRESS)
        throw ECSmtp(SMTP_CONNECT_FAILED);
}

bool SmtpSocket::waitFor(short events, const Deadline& deadline) const {
    for (;;) {
        pollfd entry{handle_, events, 0};
        const int ready = ::poll(&entry, 1, deadline.remainingMs());
        if (ready > 0) return true;
        if (ready == 0) return false;
        if (errno != EINTR) throw ECSmtp(SMTP_SELECT_FAILED);
    }
}

bool SmtpSocket::waitReadable(const Deadline& deadline) const {
    return waitFor(POLLIN, deadline);
}

bool SmtpSocket::waitWritable(const Deadline& deadline) const {
    return waitFor(POLLOUT, deadline);
}

// MSG_NOSIGNAL: a server that has gone away must yield an error, not end the program.
IoResult SmtpSocket::sendSome(const char* data, size_t size) const {
    return fromCall(::send(handle_, data, size, MSG_NOSIGNAL));
}

IoResult SmtpSocket::receiveSome(char* data, size_t size) const {
    return fromCall(::recv(handle_, data, size, 0));
}

std::string SmtpSocket::peerAddress() const {
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    char text[INET_ADDRSTRLEN] = {};
    if (getpeername(handle_, reinterpret_cast<sockaddr*>(&peer), &length) != 0 ||
        peer.sin_family != AF_INET || !inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text))
        return {};
    return text;
}

void SmtpSocket::close() {
    if (handle_ >= 0) ::close(handle_);
    handle_ = -1;
}

} // namespace iomira::smtp
