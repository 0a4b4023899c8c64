#include "notify/smtp/smtp_transport.h"

#include "notify/smtp/smtp_error.h"
#include "notify/smtp/smtp_reply.h"

#include <algorithm>

namespace iomira::smtp {
namespace {

constexpr size_t kTlsReadPiece = 1024;

// Runs one I/O action; an ECSmtp from it leaves the connection out of step.
template <typename Action> void guarded(bool& inStep, Action&& action) {
    try {
        action();
    } catch (const ECSmtp&) {
        inStep = false;
        throw;
    }
}

} // namespace

void SmtpTransport::connect(const std::string& host, uint16_t port, const Deadline& deadline) {
    close();
    socket_.connect(host, port, deadline);
    inStep_ = true;
}

void SmtpTransport::prepareTls() {
    if (!tls_) tls_ = std::make_unique<SmtpTls>();
}

void SmtpTransport::startTls(std::string_view serverName, const Deadline& deadline) {
    guarded(inStep_, [&] {
        prepareTls();
        tls_->handshake(socket_, serverName, deadline);
    });
}

void SmtpTransport::send(std::string_view text, const Deadline& deadline) {
    if (text.empty()) throw ECSmtp(SMTP_SENDBUF_IS_EMPTY);
    guarded(inStep_, [&] {
        if (!socket_.waitWritable(deadline)) throw ECSmtp(SMTP_SERVER_NOT_RESPONDING);
        if (usingTls())
            tls_->write(text, deadline);
        else
            sendPlain(text, deadline);
    });
}

void SmtpTransport::sendPlain(std::string_view text, const Deadline& deadline) {
    while (!text.empty()) {
        const IoResult sent = socket_.sendSome(text.data(), text.size());
        if (sent.wouldBlock) {
            if (!socket_.waitWritable(deadline)) throw ECSmtp(SMTP_SERVER_NOT_RESPONDING);
            continue;
        }
        if (sent.failed || sent.count == 0) throw ECSmtp(SMTP_SEND_FAILED);
        text.remove_prefix(static_cast<size_t>(sent.count));
    }
}

std::string SmtpTransport::receiveReply(const Deadline& deadline) {
    std::string received;
    guarded(inStep_, [&] {
        while (!completeReplyCode(received)) {
            if (received.size() >= kReplyLimit) throw ECSmtp(SMTP_LACK_OF_MEMORY);
            if (usingTls())
                receiveTls(received, deadline);
            else
                receivePlain(received, deadline);
        }
    });
    return received;
}

void SmtpTransport::receivePlain(std::string& received, const Deadline& deadline) {
    char buffer[kReplyLimit];
    for (;;) {
        if (!socket_.waitReadable(deadline)) throw ECSmtp(SMTP_SERVER_NOT_RESPONDING);
        const IoResult got = socket_.receiveSome(buffer, kReplyLimit - received.size());
        if (got.wouldBlock) continue;
        if (got.failed) throw ECSmtp(SMTP_RECV_FAILED);
        if (got.count == 0) throw ECSmtp(SMTP_CONNECTION_CLOSED);
        received.append(buffer, static_cast<size_t>(got.count));
        return;
    }
}

// Reads what the TLS layer holds in pieces, waiting on the socket only when nothing is
// buffered (buffered records do not make the socket readable).
void SmtpTransport::receiveTls(std::string& received, const Deadline& deadline) {
    char buffer[kTlsReadPiece];
    bool gotAny = false;
    for (;;) {
        if (received.size() >= kReplyLimit) return;
        if (!gotAny && tls_->pending() == 0 && !socket_.waitReadable(deadline))
            throw ECSmtp(SMTP_SERVER_NOT_RESPONDING);
        const size_t room = std::min(kTlsReadPiece, kReplyLimit - received.size());
        size_t count = 0;
        switch (tls_->read(buffer, room, count)) {
        case SmtpTls::ReadStatus::Data:
            received.append(buffer, count);
            gotAny = true;
            if (tls_->pending() == 0) return;
            break;
        case SmtpTls::ReadStatus::WantRead:
            if (gotAny) return;
            break;
        case SmtpTls::ReadStatus::WantWrite:
            if (!socket_.waitWritable(deadline)) throw ECSmtp(SMTP_SERVER_NOT_RESPONDING);
            break;
        case SmtpTls::ReadStatus::Closed:
            if (gotAny) return;
            throw ECSmtp(SMTP_CONNECTION_CLOSED);
        }
    }
}

void SmtpTransport::close() {
    if (tls_ && inStep_) tls_->shutdown();
    tls_.reset();
    socket_.close();
    inStep_ = false;
}

} // namespace iomira::smtp
