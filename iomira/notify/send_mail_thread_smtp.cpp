#include "notify/send_mail_thread_smtp.h"

#include "core/local_text.h"
#include "notify/mail_account_verify.h"
#include "notify/smtp/smtp_client.h"
#include "notify/smtp/smtp_platform.h"

namespace iomira {

namespace {

std::string local(const QString& text) {
    return toLocalCodeSet(text).toStdString();
}

QString numbered(int32_t sequence, const QString& text) {
    return text.isEmpty() ? text : QStringLiteral("[%1]").arg(sequence) + text;
}

void send(const CMailData& mail, const CMailAccount& account, double timeScale) {
    CSmtp smtp;
    smtp.SetTimeScale(timeScale);
    smtp.SetServer(local(account.MailServerAddress), mailPortValue(account.MailServerPort));
    smtp.SetSecurity(securityForAuthType(account.AuthType));
    smtp.SetAuthenticate(true);
    smtp.SetCharSet(mailCharSet());
    smtp.SetLogin(local(account.AccountID));
    smtp.SetPassword(local(account.Password));
    smtp.SetSenderName(local(account.MailAccountName));
    smtp.SetSenderMail(local(account.AccountMail));
    smtp.SetReplyTo(local(account.AccountMail));
    smtp.SetMailer("Iomira");
    smtp.SetPriority(3);
    smtp.SetSubject(local(mail.subject));
    smtp.AddRecipient(local(mail.recipient));
    smtp.AddBodyLine(local(mail.content));
    smtp.Send();
}

} // namespace

MailReport deliverMail(const CMailData& mail, const std::optional<CMailAccount>& account,
                       double timeScale) {
    MailReport report{mail.deviceId, mail.sequence, MAIL_ACCOUNT_NOT_FOUND, {}};
    if (!account) return report;
    try {
        send(mail, *account, timeScale);
        smtp::debugTrace("Mail was send successfully.\n");
        report.type = MAIL_SENT;
        report.text = numbered(mail.sequence, mail.recipient);
    } catch (const ECSmtp& e) {
        smtp::debugTrace("Error: " + e.GetErrorText() + ".\n");
        report.type = MAIL_SMTP_FAILED;
        report.text = numbered(mail.sequence, QString::fromLocal8Bit(e.GetErrorText()));
    }
    return report;
}

} // namespace iomira
