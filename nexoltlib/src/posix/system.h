// The operating-system services the transport needs: the IPv4 address table, UDP sockets,
// readiness waits and a millisecond clock. Errors are errno values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nexolt::sys {

struct AddressRow {
    unsigned index;
    uint32_t address; // network byte order
    std::string text;
};

// IPv4 rows of the interfaces that are up, in the system's order; 0 or an errno value.
int read_address_rows(std::vector<AddressRow>& rows);

struct Endpoint {
    uint32_t address; // network byte order
    uint16_t port;    // host byte order
};

int udp_open(bool broadcast, int& fd);
int udp_bind(int fd, Endpoint local);
// Asks for the index of the interface each datagram arrives on (see udp_receive).
int udp_report_arrival(int fd);
int udp_send(int fd, Endpoint destination, const uint8_t* data, size_t length);
// Length read, or -1 when nothing could be read. arrival_index is the interface the datagram
// came in on when the socket reports it, else 0.
long udp_receive(int fd, uint8_t* buffer, size_t size, Endpoint& source, unsigned& arrival_index);
void close_socket(int fd);

// Index of the first readable descriptor, -1 on time-out; error holds errno on failure.
int wait_readable(const std::vector<int>& fds, int timeout_ms, int& error);

uint64_t now_ms();
void pause_ms(int ms);

} // namespace nexolt::sys
