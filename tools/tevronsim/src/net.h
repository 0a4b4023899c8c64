#pragma once
// Socket helpers shared by the listening and connecting endpoints.

#include <netdb.h>
#include <sys/socket.h>

#include <cstdint>
#include <memory>
#include <string>

namespace tevronsim {

struct AddrInfoDeleter {
    void operator()(addrinfo* ai) const { freeaddrinfo(ai); }
};
using AddrInfoPtr = std::unique_ptr<addrinfo, AddrInfoDeleter>;

// Resolves a numeric or named host for a stream socket; error holds the resolver's text.
AddrInfoPtr resolve(const std::string& host, std::uint16_t port, bool passive, std::string& error);
bool set_nonblocking(int fd);
// "127.0.0.1:502" or "[::1]:502".
std::string format_endpoint(const std::string& host, std::uint16_t port);
// The address of a connected socket's peer, as format_endpoint writes it.
std::string peer_text(int fd);
// Splits "host:port" or "[v6]:port"; false for a malformed text.
bool split_endpoint(const std::string& text, std::string& host, long& port);

} // namespace tevronsim
