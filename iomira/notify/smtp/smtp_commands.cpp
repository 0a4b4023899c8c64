#include "notify/smtp/smtp_commands.h"

#include "notify/smtp/smtp_error.h"

#include <iterator>

namespace iomira::smtp {
namespace {

constexpr SmtpCommand kCommandTable[] = {
    {0, 10, 220, SMTP_SERVER_NOT_RESPONDING},       // greeting after connect
    {300, 300, 250, SMTP_EHLO_REJECTED},            // EHLO
    {300, 300, 235, SMTP_AUTH_PLAIN_REJECTED},      // AUTH PLAIN
    {300, 300, 334, SMTP_AUTH_LOGIN_REJECTED},      // AUTH LOGIN
    {300, 300, 334, SMTP_AUTH_CRAM_MD5_REJECTED},   // AUTH CRAM-MD5
    {300, 300, 334, SMTP_AUTH_DIGEST_MD5_REJECTED}, // AUTH DIGEST-MD5
    {300, 300, 334, SMTP_DIGEST_RESPONSE_REJECTED}, // DIGEST-MD5 response
    {300, 300, 334, SMTP_UNDEF_XYZ_RESPONSE},       // user name (LOGIN)
    {300, 300, 235, SMTP_BAD_LOGIN_PASS},           // password / final credential
    {300, 300, 250, SMTP_MAIL_FROM_REJECTED},       // MAIL FROM
    {300, 300, 250, SMTP_RCPT_TO_REJECTED},         // RCPT TO
    {300, 120, 354, SMTP_DATA_REJECTED},            // DATA
    {180, 0, 0, SMTP_DATA_BLOCK_FAILED},            // data block, no reply
    {180, 600, 250, SMTP_MESSAGE_BODY_REJECTED},    // end of data
    {300, 300, 221, SMTP_QUIT_REJECTED},            // QUIT
    {300, 300, 220, SMTP_STARTTLS_REJECTED},        // STARTTLS
};

static_assert(std::size(kCommandTable) == static_cast<size_t>(SmtpStep::StartTls) + 1);

} // namespace

const SmtpCommand& commandFor(SmtpStep step) {
    return kCommandTable[static_cast<int>(step)];
}

} // namespace iomira::smtp
