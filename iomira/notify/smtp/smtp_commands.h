#pragma once

#include <cstdint>

namespace iomira::smtp {

// One protocol step of a mail conversation; the value is its row in the command table.
enum class SmtpStep {
    Greeting = 0,
    Ehlo,
    AuthPlain,
    AuthLogin,
    AuthCramMd5,
    AuthDigestMd5,
    DigestResponse,
    UserName,
    Password,
    MailFrom,
    RcptTo,
    Data,
    DataBlock,
    EndOfData,
    Quit,
    StartTls,
};

// The limits and the one accepted reply of a step. A reply code of 0 means the step expects
// no reply; any other code than `reply` fails the step with `error`.
struct SmtpCommand {
    int sendTimeoutS;
    int receiveTimeoutS;
    int reply;
    int32_t error;
};

const SmtpCommand& commandFor(SmtpStep step);

// Establishing the TCP connection and each TLS handshake are bounded separately.
inline constexpr int kConnectTimeoutS = 60;
inline constexpr int kHandshakeTimeoutS = 60;

} // namespace iomira::smtp
