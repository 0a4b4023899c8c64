#include "net.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>

#include <cstdlib>

namespace tevronsim {

AddrInfoPtr resolve(const std::string& host, std::uint16_t port, bool passive, std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    if (passive) hints.ai_flags = AI_PASSIVE;
    addrinfo* result = nullptr;
    std::string service = std::to_string(port);
    int rc = getaddrinfo(host.c_str(), service.c_str(), &hints, &result);
    if (rc != 0) {
        error = host + ": " + gai_strerror(rc);
        return nullptr;
    }
    return AddrInfoPtr(result);
}

bool set_nonblocking(int fd) {
    int flags = fcntl(fd, F_GETFL, 0);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

std::string format_endpoint(const std::string& host, std::uint16_t port) {
    bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::string peer_text(int fd) {
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) return "?";
    char host[INET6_ADDRSTRLEN] = "?";
    std::uint16_t port = 0;
    if (addr.ss_family == AF_INET6) {
        const auto* a = reinterpret_cast<const sockaddr_in6*>(&addr);
        inet_ntop(AF_INET6, &a->sin6_addr, host, sizeof host);
        port = ntohs(a->sin6_port);
    } else if (addr.ss_family == AF_INET) {
        const auto* a = reinterpret_cast<const sockaddr_in*>(&addr);
        inet_ntop(AF_INET, &a->sin_addr, host, sizeof host);
        port = ntohs(a->sin_port);
    }
    return format_endpoint(host, port);
}

bool split_endpoint(const std::string& text, std::string& host, long& port) {
    std::string rest;
    if (!text.empty() && text[0] == '[') {
        auto close = text.find(']');
        if (close == std::string::npos || close + 1 >= text.size() || text[close + 1] != ':')
            return false;
        host = text.substr(1, close - 1);
        rest = text.substr(close + 2);
    } else {
        auto colon = text.rfind(':');
        if (colon == std::string::npos || text.find(':') != colon) return false;
        host = text.substr(0, colon);
        rest = text.substr(colon + 1);
    }
    if (host.empty() || rest.empty()) return false;
    char* end = nullptr;
    port = std::strtol(rest.c_str(), &end, 10);
    return *end == '\0' && port >= 0 && port <= 65535;
}

} // namespace tevronsim
