#pragma once

#include "notify/smtp/smtp_deadline.h"

#include <cstddef>
#include <string_view>

typedef struct ssl_ctx_st SSL_CTX;
typedef struct ssl_st SSL;

namespace iomira::smtp {

class SmtpSocket;

// TLS over the mail client's socket: a version-negotiating client that does not check the
// server's certificate (mail servers on private networks rarely have one a client could check).
// Failures are thrown as ECSmtp: 414 for TLS errors, 109 and 402 for waits.
class SmtpTls {
  public:
    // Creates the client context; throws 414.
    SmtpTls();
    ~SmtpTls();
    SmtpTls(const SmtpTls&) = delete;
    SmtpTls& operator=(const SmtpTls&) = delete;

    // Runs the handshake on `socket` until it completes or the deadline passes. `serverName`
    // is offered for name-based hosting when it is a host name.
    void handshake(SmtpSocket& socket, std::string_view serverName, const Deadline& deadline);
    bool established() const { return ssl_ != nullptr && established_; }

    // Writes all of `data` before the deadline.
    void write(std::string_view data, const Deadline& deadline);

    enum class ReadStatus { Data, WantRead, WantWrite, Closed };
    // One read of at most `size` bytes; `count` is set for Data. Throws 414 on TLS errors.
    ReadStatus read(char* buffer, size_t size, size_t& count);
    // Decrypted bytes waiting in the TLS layer, which the socket no longer shows as readable.
    size_t pending() const;

    // Sends the close notification when the session is still healthy; never blocks.
    void shutdown();

  private:
    void waitFor(int sslError, const Deadline& deadline) const;

    SSL_CTX* context_ = nullptr;
    SSL* ssl_ = nullptr;
    SmtpSocket* socket_ = nullptr;
    bool established_ = false;
};

} // namespace iomira::smtp
