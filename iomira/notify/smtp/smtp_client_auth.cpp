#include "notify/smtp/smtp_client.h"

#include "notify/smtp/smtp_auth.h"
#include "notify/smtp/smtp_commands.h"
#include "notify/smtp/smtp_encoding.h"

#include <cstdio>
#include <ctime>

namespace iomira {

using smtp::SmtpStep;

namespace {

// The client nonce: the current time in seconds, in lowercase hex.
std::string clientNonce() {
    char text[32];
    std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(std::time(nullptr)));
    return text;
}

} // namespace

void CSmtp::Authenticate() {
    if (login_.empty()) throw ECSmtp(SMTP_UNDEFINED_LOGIN);
    if (password_.empty()) throw ECSmtp(SMTP_UNDEFINED_PASSWORD);
    const auto mechanism = smtp::chooseMechanism(ehloReply_);
    if (!mechanism) throw ECSmtp(SMTP_LOGIN_NOT_SUPPORTED);
    switch (*mechanism) {
    case smtp::AuthMechanism::Login:
        return AuthenticateLogin();
    case smtp::AuthMechanism::Plain:
        return AuthenticatePlain();
    case smtp::AuthMechanism::CramMd5:
        return AuthenticateCramMd5();
    case smtp::AuthMechanism::DigestMd5:
        return AuthenticateDigestMd5();
    }
}

void CSmtp::AuthenticateLogin() {
    Command(SmtpStep::AuthLogin, "AUTH LOGIN\r\n");
    Command(SmtpStep::UserName, smtp::base64Encode(login_) + "\r\n");
    Command(SmtpStep::Password, smtp::base64Encode(password_) + "\r\n");
}

void CSmtp::AuthenticatePlain() {
    Command(SmtpStep::AuthPlain,
            "AUTH PLAIN " + smtp::base64Encode(smtp::plainCredential(login_, password_)) + "\r\n");
}

void CSmtp::AuthenticateCramMd5() {
    Command(SmtpStep::AuthCramMd5, "AUTH CRAM-MD5\r\n");
    const auto challenge = smtp::decodeChallenge(reply_);
    if (!challenge) throw ECSmtp(SMTP_AUTH_CRAM_MD5_REJECTED);
    const std::string answer = smtp::cramMd5Answer(login_, password_, *challenge);
    Command(SmtpStep::Password, smtp::base64Encode(answer) + "\r\n");
}

void CSmtp::AuthenticateDigestMd5() {
    Command(SmtpStep::AuthDigestMd5, "AUTH DIGEST-MD5\r\n");
    const auto decoded = smtp::decodeChallenge(reply_);
    if (!decoded) throw ECSmtp(SMTP_BAD_DIGEST_RESPONSE);
    const smtp::DigestChallenge challenge = smtp::parseDigestChallenge(*decoded);
    const std::string server = transport_.peerAddress();
    if (server.empty()) throw ECSmtp(SMTP_BAD_SERVER_NAME);
    const std::string answer =
        smtp::digestMd5Answer(login_, password_, challenge, clientNonce(), "smtp/" + server);
    Command(SmtpStep::DigestResponse, smtp::base64Encode(answer) + "\r\n");
    Command(SmtpStep::Password, "\r\n");
}

} // namespace iomira
