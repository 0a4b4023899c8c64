#pragma once

#include "notify/smtp/smtp_deadline.h"
#include "notify/smtp/smtp_socket.h"
#include "notify/smtp/smtp_tls.h"

#include <memory>
#include <string>
#include <string_view>

namespace iomira::smtp {

// The longest reply the client takes: its 10,240-byte receive buffer keeps one byte free.
inline constexpr size_t kReplyLimit = 10239;

// The mail client's connection: plain TCP, or TLS from the first byte or after STARTTLS.
// Sends whole texts and receives whole replies, each before its deadline. Every failure is
// thrown as ECSmtp; an I/O failure also marks the connection out of step, so that the client
// closes it without trying a QUIT the server would never see answered.
class SmtpTransport {
  public:
    void connect(const std::string& host, uint16_t port, const Deadline& deadline);

    // Creates the TLS context before the conversation starts (414).
    void prepareTls();
    // Switches the connection to TLS (context made by prepareTls).
    void startTls(std::string_view serverName, const Deadline& deadline);

    // Sends all of `text`: 411 for an empty text, 402 at the deadline, 109, 102, 414.
    void send(std::string_view text, const Deadline& deadline);
    // Receives until a complete reply has arrived and returns everything received, exactly as
    // it came. 402 at the deadline, 400 at the server's close, 408 past kReplyLimit bytes,
    // 103 and 414 for read failures, 109.
    std::string receiveReply(const Deadline& deadline);

    std::string peerAddress() const { return socket_.peerAddress(); }
    bool isOpen() const { return socket_.isOpen(); }
    // Open and neither timed out nor broken: a further command would be understood.
    bool inStep() const { return socket_.isOpen() && inStep_; }
    void close();

  private:
    void sendPlain(std::string_view text, const Deadline& deadline);
    void receivePlain(std::string& received, const Deadline& deadline);
    void receiveTls(std::string& received, const Deadline& deadline);
    bool usingTls() const { return tls_ && tls_->established(); }

    // Declared before tls_: the TLS layer refers to the socket until it is destroyed.
    SmtpSocket socket_;
    std::unique_ptr<SmtpTls> tls_;
    bool inStep_ = false;
};

} // namespace iomira::smtp
