#include "notify/mail_account_verify.h"

#include "core/local_text.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "notify/mail_account.h"

namespace iomira {

namespace {

MailAttempt attemptOf(const MailVerifyRequest& request, uint16_t port) {
    MailAttempt attempt;
    attempt.server = toLocalCodeSet(request.server).toStdString();
    attempt.port = port;
    attempt.security = securityForAuthType(request.AuthType);
    attempt.login = toLocalCodeSet(request.login).toStdString();
    attempt.password = toLocalCodeSet(request.password).toStdString();
    return attempt;
}

bool loginRefused(int32_t id) {
    return id == SMTP_BAD_LOGIN_PASS || id == SMTP_BAD_LOGIN_OR_PASSWORD_FORMAT;
}

// One attempt; 0 on success, else the error id (-1 for a failure outside the mail client).
int32_t attempt(const MailVerifyRequest& request, uint16_t port, const MailAttemptRunner& runner,
                QString& text) {
    try {
        runner(attemptOf(request, port));
        return SMTP_NO_ERROR;
    } catch (const ECSmtp& e) {
        text = QString::fromLocal8Bit(ECSmtp::ErrorText(e.GetErrorNum()));
        return e.GetErrorNum();
    } catch (const std::exception& e) {
        text = QString::fromLocal8Bit(e.what());
        return -1;
    }
}

} // namespace

SmtpSecurity securityForAuthType(int32_t authType) {
    switch (authType) {
    case MAIL_AUTH_SSL:
        return SmtpSecurity::Tls;
    case MAIL_AUTH_TLS:
        return SmtpSecurity::StartTls;
    default:
        return SmtpSecurity::None;
    }
}

uint16_t mailPortValue(const QString& text) {
    bool ok = false;
    const int port = text.trimmed().toInt(&ok, 10);
    return ok && port >= 1 && port <= 65535 ? static_cast<uint16_t>(port) : 0;
}

bool runMailVerification(MailVerifyRequest& request, const MailAttemptRunner& runner,
                         uint16_t secondPort) {
    for (bool first = true;; first = false) {
        request.errorText.clear();
        const uint16_t port = mailPortValue(request.portText);
        if (port == 0) {
            request.errorText = loadString(TEXT_MAIL_PORT_INVALID);
            return false;
        }
        QString text;
        const int32_t error = attempt(request, port, runner, text);
        if (error == SMTP_NO_ERROR) return true;
        if (request.mode != MAIL_VERIFY_DISCOVER || !first || loginRefused(error)) {
            request.errorText = text;
            return false;
        }
        request.portText = QString::number(secondPort);
        request.AuthType = MAIL_AUTH_TLS;
    }
}

MailAttemptRunner smtpAttemptRunner(double timeScale) {
    return [timeScale](const MailAttempt& attempt) {
        CSmtp smtp;
        smtp.SetTimeScale(timeScale);
        smtp.SetServer(attempt.server, attempt.port);
        smtp.SetSecurity(attempt.security);
        smtp.SetAuthenticate(true);
        smtp.SetLogin(attempt.login);
        smtp.SetPassword(attempt.password);
        smtp.SetCharSet(mailCharSet());
        smtp.SetSenderName("Iomira");
        smtp.TestConnection();
    };
}

} // namespace iomira
