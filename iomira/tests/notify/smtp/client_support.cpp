#include "client_support.h"

#include "notify/smtp/smtp_charset.h"

namespace iomira::smtp::test {

std::unique_ptr<CSmtp> clientFor(uint16_t port, SmtpSecurity security, double timeScale) {
    auto smtp = std::make_unique<CSmtp>();
    smtp->SetServer("127.0.0.1", port);
    smtp->SetSecurity(security);
    smtp->SetAuthenticate(true);
    smtp->SetLogin(kLogin);
    smtp->SetPassword(kPassword);
    smtp->SetSenderMail(kSender);
    smtp->SetSenderName("Iomira");
    smtp->SetReplyTo(kSender);
    smtp->SetMailer("Iomira");
    smtp->SetCharSet(mailCharSet());
    smtp->SetSubject("Door open");
    smtp->AddRecipient(kRecipient);
    smtp->AddBodyLine("Input 1 is ON");
    smtp->SetTimeScale(timeScale);
    return smtp;
}

int errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ECSmtp& e) {
        return e.GetErrorNum();
    }
    return 0;
}

} // namespace iomira::smtp::test
