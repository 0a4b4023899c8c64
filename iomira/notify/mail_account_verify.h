#pragma once

#include "notify/smtp/smtp_client.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <string>

namespace iomira {

// 1: the wizard may look for the server by itself (a second attempt on the submission port
// with STARTTLS); 0: the values are verified exactly as entered.
enum MailVerifyMode { MAIL_VERIFY_AS_ENTERED = 0, MAIL_VERIFY_DISCOVER = 1 };

// One verification: what the dialog hands to the worker and reads back afterwards. A second
// attempt leaves its port and AuthType here, so the caller stores the values really used.
struct MailVerifyRequest {
    int mode = MAIL_VERIFY_AS_ENTERED;
    int32_t AuthType = 1;
    QString login;
    QString server;
    QString portText;
    QString password;
    QString errorText; // the failure's text; empty after a success
};

// Where and how one attempt connects: what the mail client is given.
struct MailAttempt {
    std::string server;
    uint16_t port = 0;
    SmtpSecurity security = SmtpSecurity::None;
    std::string login;
    std::string password;
};

// Connects and authenticates once; throws ECSmtp on failure.
using MailAttemptRunner = std::function<void(const MailAttempt&)>;

// The port the discovery tries second, with STARTTLS.
inline constexpr uint16_t kMailSubmissionPort = 587;

SmtpSecurity securityForAuthType(int32_t authType);

// The port of a port text: a decimal number from 1 to 65535, else 0.
uint16_t mailPortValue(const QString& text);

// Runs the attempts of `request` through `runner`: true on success; on failure the request's
// errorText says why. Only the first attempt of a discovery may lead to a second one, and a
// refused login never does, since another port would not make the password right.
bool runMailVerification(MailVerifyRequest& request, const MailAttemptRunner& runner,
                         uint16_t secondPort = kMailSubmissionPort);

// The real attempt: CSmtp's TestConnection. Tests shorten its limits with `timeScale`.
MailAttemptRunner smtpAttemptRunner(double timeScale = 1.0);

} // namespace iomira
