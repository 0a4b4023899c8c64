#pragma once

#include "notify/smtp/smtp_deadline.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace iomira::smtp {

// Outcome of one non-blocking send or receive: bytes moved, 0 for a receive at the peer's
// close, or a failure. `wouldBlock` means nothing moved and the caller should wait.
struct IoResult {
    long count = 0;
    bool wouldBlock = false;
    bool failed = false;
};

// The mail client's TCP socket to an IPv4 server, always non-blocking. Failures are thrown as
// ECSmtp with the ids the mail client reports; a failed connect leaves the socket closed.
class SmtpSocket {
  public:
    SmtpSocket() = default;
    ~SmtpSocket() { close(); }
    SmtpSocket(const SmtpSocket&) = delete;
    SmtpSocket& operator=(const SmtpSocket&) = delete;

    // Creates the socket (106), resolves `host` (105), connects within the deadline (104,
    // 108, 109 for a refused or failed connection, 403 when the deadline passes).
    void connect(const std::string& host, uint16_t port, const Deadline& deadline);

    // True when the socket became ready before the deadline, false when it passed;
    // throws 109 when waiting fails.
    bool waitReadable(const Deadline& deadline) const;
    bool waitWritable(const Deadline& deadline) const;

    IoResult sendSome(const char* data, size_t size) const;
    IoResult receiveSome(char* data, size_t size) const;

    // The server's address in dotted form, empty when it cannot be determined.
    std::string peerAddress() const;

    bool isOpen() const { return handle_ >= 0; }
    void close();

  private:
    bool waitFor(short events, const Deadline& deadline) const;
    void resolveAndStart(const std::string& host, uint16_t port);

    int handle_ = -1;
};

} // namespace iomira::smtp
