#include "notify/smtp/smtp_client.h"

#include "notify/smtp/smtp_commands.h"
#include "notify/smtp/smtp_platform.h"
#include "notify/smtp/smtp_reply.h"

#include <cmath>
#include <new>

namespace iomira {

using smtp::SmtpStep;

namespace {

std::string withoutLineEnd(const std::string& text) {
    return text.ends_with("\r\n") ? text.substr(0, text.size() - 2) : text;
}

// Credentials never reach the debug output.
std::string traceText(SmtpStep step, const std::string& text) {
    switch (step) {
    case SmtpStep::AuthPlain:
        return "AUTH PLAIN <credentials>";
    case SmtpStep::UserName:
    case SmtpStep::Password:
    case SmtpStep::DigestResponse:
        return "<credentials>";
    default:
        break;
    }
    return withoutLineEnd(text);
}

} // namespace

CSmtp::CSmtp() : localHost_(smtp::localHostName()) {
    header_.charSet = "US-ASCII";
}

CSmtp::~CSmtp() {
    Hangup();
}

void CSmtp::SetServer(const std::string& host, uint16_t port) {
    host_ = host;
    port_ = port;
}

void CSmtp::AddRecipient(const std::string& mail, const std::string& name) {
    if (mail.empty() || smtp::hasLineBreak(mail)) throw ECSmtp(SMTP_UNDEFINED_RECIPIENT_MAIL);
    header_.recipients.push_back(smtp::Recipient{mail, name});
}

void CSmtp::Send() {
    Converse([this] { TransmitMessage(); });
}

void CSmtp::TestConnection() {
    Converse([] {});
}

// Connects, runs `afterConnect` and hangs up, whatever goes wrong. Once the server has taken
// the message, a QUIT going wrong must not report it as lost, so the hang-up is quiet.
void CSmtp::Converse(const std::function<void()>& afterConnect) {
    try {
        if (!connected_) Connect();
        if (!connected_ || !transport_.inStep()) throw ECSmtp(SMTP_INVALID_SOCKET);
        afterConnect();
    } catch (const ECSmtp&) {
        Hangup();
        throw;
    } catch (const std::bad_alloc&) {
        Hangup();
        throw ECSmtp(SMTP_LACK_OF_MEMORY);
    }
    Hangup();
}

void CSmtp::Connect() {
    const uint16_t port = port_ != 0 ? port_ : smtp::mailServicePort();
    transport_.connect(host_, port, LimitOf(smtp::kConnectTimeoutS));
    try {
        if (security_ != SmtpSecurity::None) transport_.prepareTls();
        if (security_ == SmtpSecurity::Tls)
            transport_.startTls(host_, LimitOf(smtp::kHandshakeTimeoutS));
        ReceiveStep(SmtpStep::Greeting);
        Introduce();
        if (security_ == SmtpSecurity::StartTls) SecureWithStartTls();
        if (authenticate_ && smtp::hasKeyword(ehloReply_, "AUTH")) Authenticate();
    } catch (const ECSmtp&) {
        // After 530 the server wants nothing more from this client, not even QUIT.
        if (reply_.starts_with("530")) connected_ = false;
        Hangup();
        throw;
    }
}

void CSmtp::Introduce() {
    Command(SmtpStep::Ehlo, "EHLO " + localHost_ + "\r\n");
    ehloReply_ = reply_;
    connected_ = true;
}

void CSmtp::SecureWithStartTls() {
    if (!smtp::hasKeyword(ehloReply_, "STARTTLS")) throw ECSmtp(SMTP_STARTTLS_NOT_SUPPORTED);
    Command(SmtpStep::StartTls, "STARTTLS\r\n");
    transport_.startTls(host_, LimitOf(smtp::kHandshakeTimeoutS));
    Introduce();
}

void CSmtp::TransmitMessage() {
    // Built before the envelope so that a header that cannot be made fails while the
    // conversation is still in a state where QUIT is understood.
    const std::string header = smtp::buildMessageHeader(header_, smtp::localTimeNow());
    Command(SmtpStep::MailFrom, "MAIL FROM:<" + header_.senderMail + ">\r\n");
    for (const smtp::Recipient& recipient : header_.recipients)
        Command(SmtpStep::RcptTo, "RCPT TO:<" + recipient.mail + ">\r\n");
    Command(SmtpStep::Data, "DATA\r\n");
    SendStep(SmtpStep::DataBlock, header);
    if (body_.empty()) SendStep(SmtpStep::DataBlock, " \r\n");
    for (const std::string& line : body_)
        SendStep(SmtpStep::DataBlock, smtp::bodyLineForData(line));
    Command(SmtpStep::EndOfData, "\r\n.\r\n");
}

void CSmtp::Disconnect() {
    connected_ = false;
    try {
        Command(SmtpStep::Quit, "QUIT\r\n");
    } catch (const ECSmtp&) {
        transport_.close();
        throw;
    }
    transport_.close();
}

// QUIT only where the server is still following the conversation: after a timeout or a
// broken connection it would only make the caller wait for a reply that will not come.
void CSmtp::Hangup() noexcept {
    if (connected_ && transport_.inStep()) {
        try {
            Disconnect();
        } catch (...) {
        }
    }
    connected_ = false;
    transport_.close();
}

void CSmtp::Command(SmtpStep step, const std::string& text) {
    SendStep(step, text);
    ReceiveStep(step);
}

void CSmtp::SendStep(SmtpStep step, const std::string& text) {
    transport_.send(text, LimitOf(smtp::commandFor(step).sendTimeoutS));
    smtp::debugTrace(">> " + traceText(step, text));
}

void CSmtp::ReceiveStep(SmtpStep step) {
    const smtp::SmtpCommand& row = smtp::commandFor(step);
    reply_.clear();
    reply_ = transport_.receiveReply(LimitOf(row.receiveTimeoutS));
    smtp::debugTrace("<< " + withoutLineEnd(reply_));
    if (smtp::completeReplyCode(reply_) != row.reply) throw ECSmtp(row.error);
}

smtp::Deadline CSmtp::LimitOf(int seconds) const {
    return smtp::Deadline(std::chrono::milliseconds(std::llround(seconds * 1000.0 * timeScale_)));
}

} // namespace iomira
