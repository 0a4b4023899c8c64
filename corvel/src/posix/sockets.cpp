#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include "../platform.h"

namespace corvel::platform {
namespace {

constexpr int KEEPALIVE_IDLE_S = 10;
constexpr int KEEPALIVE_INTERVAL_S = 1;

int set_option(Socket socket, int level, int name, int value) {
    return setsockopt(socket, level, name, &value, sizeof value) == 0 ? 0 : errno;
}

// getaddrinfo's own codes are negative on this system; EAI_SYSTEM means "look at errno".
int resolver_error(int code) {
    return code == EAI_SYSTEM ? errno : code;
}

struct AddressList {
    addrinfo* head = nullptr;
    ~AddressList() {
        if (head) freeaddrinfo(head);
    }
};

int open_socket(int family, int type, int protocol, Socket& socket) {
    socket = ::socket(family, type | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
    if (socket < 0) {
        socket = INVALID_SOCKET_HANDLE;
        return errno;
    }
    if (int error = enable_keepalive(socket)) {
        close_socket(socket);
        socket = INVALID_SOCKET_HANDLE;
        return error;
    }
    return 0;
}

int fail(Socket& socket, int error) {
    close_socket(socket);
    socket = INVALID_SOCKET_HANDLE;
    return error;
}

} // namespace

int enable_keepalive(Socket socket) {
    if (int error = set_option(socket, SOL_SOCKET, SO_KEEPALIVE, 1)) return error;
    if (int error = set_option(socket, IPPROTO_TCP, TCP_KEEPIDLE, KEEPALIVE_IDLE_S)) return error;
    return set_option(socket, IPPROTO_TCP, TCP_KEEPINTVL, KEEPALIVE_INTERVAL_S);
}

bool would_block(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINPROGRESS;
}

int resolve(const std::string& host, int port, bool numeric_only, Address& address) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    hints.ai_flags = numeric_only ? AI_NUMERICHOST : 0;
    AddressList addresses;
    const std::string service = std::to_string(port);
    if (int code = getaddrinfo(host.c_str(), service.c_str(), &hints, &addresses.head))
        return numeric_only && code == EAI_NONAME ? NEEDS_LOOKUP : resolver_error(code);
    const addrinfo* first = addresses.head;
    if (first->ai_addrlen > sizeof address.bytes) return EAFNOSUPPORT;
    address.family = first->ai_family;
    address.type = first->ai_socktype;
    address.protocol = first->ai_protocol;
    address.length = first->ai_addrlen;
    std::memcpy(address.bytes, first->ai_addr, first->ai_addrlen);
    return 0;
}

int start_connect(const Address& address, Socket& socket) {
    if (int error = open_socket(address.family, address.type, address.protocol, socket))
        return error;
    const auto* target = reinterpret_cast<const sockaddr*>(address.bytes);
    int result;
    do {
        result = ::connect(socket, target, address.length);
    } while (result != 0 && errno == EINTR);
    if (result != 0 && !would_block(errno)) return fail(socket, errno);
    return 0;
}

int start_listen(bool ipv6, int port, Socket& socket) {
    socket = INVALID_SOCKET_HANDLE;
    addrinfo hints{};
    hints.ai_family = ipv6 ? AF_INET6 : AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICHOST;
    AddressList addresses;
    const std::string service = std::to_string(port);
    if (int code = getaddrinfo(nullptr, service.c_str(), &hints, &addresses.head))
        return resolver_error(code);
    const addrinfo* first = addresses.head;
    if (int error = open_socket(first->ai_family, first->ai_socktype, first->ai_protocol, socket))
        return error;
    // Listening again on the same port right after a close must not wait for TIME_WAIT, and
    // an IPv4 and an IPv6 server may share one port number.
    if (int error = set_option(socket, SOL_SOCKET, SO_REUSEADDR, 1)) return fail(socket, error);
    if (ipv6)
        if (int error = set_option(socket, IPPROTO_IPV6, IPV6_V6ONLY, 1))
            return fail(socket, error);
    if (bind(socket, addresses.head->ai_addr, addresses.head->ai_addrlen) != 0)
        return fail(socket, errno);
    if (listen(socket, 1) != 0) return fail(socket, errno);
    return 0;
}

int accept_client(Socket listener, Socket& client) {
    do {
        client = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    } while (client < 0 && errno == EINTR);
    if (client < 0) {
        client = INVALID_SOCKET_HANDLE;
        return errno;
    }
    return 0;
}

long send_some(Socket socket, const uint8_t* data, size_t size, int& error) {
    ssize_t sent;
    do {
        sent = ::send(socket, data, size, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0) error = errno;
    return sent;
}

long receive_some(Socket socket, uint8_t* data, size_t size, int& error) {
    ssize_t received;
    do {
        received = ::recv(socket, data, size, 0);
    } while (received < 0 && errno == EINTR);
    if (received < 0) error = errno;
    return received;
}

int pending_error(Socket socket) {
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
    return error;
}

void close_socket(Socket socket) {
    if (socket != INVALID_SOCKET_HANDLE) ::close(socket);
}

} // namespace corvel::platform
