#include "common/loopback_ports.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace iomira::test {

namespace {

// A socket bound to 127.0.0.1 on a port the system picks; returns it and fills the port.
int boundLoopbackSocket(int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("no loopback port");
    port = ntohs(address.sin_port);
    return fd;
}

} // namespace

LoopbackListener::LoopbackListener() {
    fd_ = boundLoopbackSocket(port_);
    if (listen(fd_, 8) != 0) throw std::runtime_error("cannot listen on loopback");
}

LoopbackListener::~LoopbackListener() {
    close(fd_);
}

bool LoopbackListener::acceptOne() {
    const int peer = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (peer < 0) return false;
    close(peer);
    return true;
}

int refusedLoopbackPort() {
    int port = 0;
    close(boundLoopbackSocket(port));
    return port;
}

} // namespace iomira::test
