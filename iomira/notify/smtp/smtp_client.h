#pragma once

#include "notify/smtp/smtp_charset.h"
#include "notify/smtp/smtp_commands.h"
#include "notify/smtp/smtp_error.h"
#include "notify/smtp/smtp_message.h"
#include "notify/smtp/smtp_transport.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace iomira {

enum class SmtpSecurity { None = 0, StartTls = 1, Tls = 2 };

// A blocking mail client: one object sends one message over one connection, on the thread
// that calls it. Every failure is thrown as ECSmtp. Texts are bytes in the code set the caller
// converted them to (see mailCharSet()).
class CSmtp {
  public:
    // Reads the local host name (107).
    CSmtp();
    // Says QUIT if still connected and closes the connection.
    ~CSmtp();
    CSmtp(const CSmtp&) = delete;
    CSmtp& operator=(const CSmtp&) = delete;

    // Port 0 means the system's port of the mail service.
    void SetServer(const std::string& host, uint16_t port);
    void SetSecurity(SmtpSecurity security) { security_ = security; }
    void SetAuthenticate(bool authenticate) { authenticate_ = authenticate; }
    void SetLogin(const std::string& login) { login_ = login; }
    void SetPassword(const std::string& password) { password_ = password; }
    void SetSenderMail(const std::string& mail) { header_.senderMail = mail; }
    void SetSenderName(const std::string& name) { header_.senderName = name; }
    void SetReplyTo(const std::string& address) { header_.replyTo = address; }
    void SetMailer(const std::string& mailer) { header_.mailer = mailer; }
    // 2 high, 3 normal, 4 low.
    void SetPriority(int priority) { header_.priority = priority; }
    void SetCharSet(const std::string& charSet) { header_.charSet = charSet; }
    void SetSubject(const std::string& subject) { header_.subject = subject; }

    // Throws 209 for an empty mail or one that would break the envelope.
    void AddRecipient(const std::string& mail, const std::string& name = {});
    // One body line; it may itself hold CR LF pairs.
    void AddBodyLine(const std::string& text) { body_.push_back(text); }

    // Connects, authenticates, transmits the message and says QUIT.
    void Send();
    // Connects and authenticates exactly as Send does, then says QUIT.
    void TestConnection();

    static const char* ErrorText(int32_t id) { return ECSmtp::ErrorText(id); }

    // Multiplies every time limit of the conversation. Tests shorten the limits with it; the
    // program keeps the default of 1.
    void SetTimeScale(double factor) { timeScale_ = factor; }

  private:
    void Converse(const std::function<void()>& afterConnect);
    void Connect();
    void Introduce();
    void SecureWithStartTls();
    void Authenticate();
    void AuthenticateLogin();
    void AuthenticatePlain();
    void AuthenticateCramMd5();
    void AuthenticateDigestMd5();
    void TransmitMessage();
    void Disconnect();
    void Hangup() noexcept;

    void Command(smtp::SmtpStep step, const std::string& text);
    void SendStep(smtp::SmtpStep step, const std::string& text);
    void ReceiveStep(smtp::SmtpStep step);
    smtp::Deadline LimitOf(int seconds) const;

    std::string localHost_;
    std::string host_;
    uint16_t port_ = 0;
    SmtpSecurity security_ = SmtpSecurity::None;
    bool authenticate_ = false;
    std::string login_;
    std::string password_;
    smtp::MessageHeader header_;
    std::vector<std::string> body_;
    double timeScale_ = 1.0;

    smtp::SmtpTransport transport_;
    bool connected_ = false;
    std::string reply_;     // the last reply, exactly as received
    std::string ehloReply_; // the reply to the latest EHLO, which lists the extensions
};

} // namespace iomira
