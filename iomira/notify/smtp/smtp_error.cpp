#include "notify/smtp/smtp_error.h"

#include <algorithm>
#include <iterator>

namespace iomira {
namespace {

struct ErrorRow {
    int32_t id;
    const char* text;
};

// The texts are shown to users and written to logs as they are, spelling included.
constexpr ErrorRow kErrorTable[] = {
    {SMTP_NO_ERROR, ""},
    {SMTP_SOCKET_STARTUP, "Unable to initialise winsock2"},
    {SMTP_SOCKET_VERSION, "Wrong version of the winsock2"},
    {SMTP_SEND_FAILED, "Function send() failed"},
    {SMTP_RECV_FAILED, "Function recv() failed"},
    {SMTP_CONNECT_FAILED, "Function connect failed"},
    {SMTP_UNKNOWN_SERVER, "Unable to determine remote server"},
    {SMTP_INVALID_SOCKET, "Invalid winsock2 socket"},
    {SMTP_HOSTNAME_FAILED, "Function hostname() failed"},
    {SMTP_NONBLOCKING_FAILED, "Function ioctlsocket() failed"},
    {SMTP_SELECT_FAILED, "Function select failed"},
    {SMTP_BAD_IPV4_ADDRESS, "Improper IPv4 address"},
    {SMTP_UNDEFINED_HEADER, "Undefined message header"},
    {SMTP_UNDEFINED_SENDER, "Undefined mail sender"},
    {SMTP_UNDEFINED_SUBJECT, "Undefined message subject"},
    {SMTP_UNDEFINED_RECIPIENTS, "Undefined at least one reciepent"},
    {SMTP_UNDEFINED_LOGIN, "Undefined user login"},
    {SMTP_UNDEFINED_PASSWORD, "Undefined user password"},
    {SMTP_BAD_LOGIN_OR_PASSWORD_FORMAT, "Invalid user login or password"},
    {SMTP_BAD_DIGEST_RESPONSE, "Server returned a bad digest MD5 response"},
    {SMTP_BAD_SERVER_NAME, "Unable to determine server name for digest MD5 response"},
    {SMTP_UNDEFINED_RECIPIENT_MAIL, "Undefined recipent mail"},
    {SMTP_MAIL_FROM_REJECTED, "Server returned error after sending MAIL FROM"},
    {SMTP_EHLO_REJECTED, "Server returned error after sending EHLO"},
    {SMTP_AUTH_PLAIN_REJECTED, "Server returned error after sending AUTH PLAIN"},
    {SMTP_AUTH_LOGIN_REJECTED, "Server returned error after sending AUTH LOGIN"},
    {SMTP_AUTH_CRAM_MD5_REJECTED, "Server returned error after sending AUTH CRAM-MD5"},
    {SMTP_AUTH_DIGEST_MD5_REJECTED, "Server returned error after sending AUTH DIGEST-MD5"},
    {SMTP_DIGEST_RESPONSE_REJECTED, "Server returned error after sending MD5 DIGEST"},
    {SMTP_DATA_REJECTED, "Server returned error after sending DATA"},
    {SMTP_QUIT_REJECTED, "Server returned error after sending QUIT"},
    {SMTP_RCPT_TO_REJECTED, "Server returned error after sending RCPT TO"},
    {SMTP_MESSAGE_BODY_REJECTED, "Error in message body"},
    {SMTP_CONNECTION_CLOSED, "Server has closed the connection"},
    {SMTP_SERVER_NOT_READY, "Server is not ready"},
    {SMTP_SERVER_NOT_RESPONDING, "Server not responding"},
    {SMTP_SELECT_TIMEOUT, "Function select timed out"},
    {SMTP_FILE_NOT_EXIST, "Attachment file does not exist"},
    {SMTP_MESSAGE_TOO_BIG, "Message is too big"},
    {SMTP_BAD_LOGIN_PASS, "Bad login or password"},
    {SMTP_UNDEF_XYZ_RESPONSE, "Undefined xyz SMTP response"},
    {SMTP_LACK_OF_MEMORY, "Lack of memory"},
    {SMTP_TIME_ERROR, "time() error"},
    {SMTP_RECVBUF_IS_EMPTY, "RecvBuf is empty"},
    {SMTP_SENDBUF_IS_EMPTY, "SendBuf is empty"},
    {SMTP_OUT_OF_MESSAGE_RANGE, "Specified line number is out of message size"},
    {SMTP_STARTTLS_REJECTED, "Server returned error after sending STARTTLS"},
    {SMTP_TLS_PROBLEM, "SSL problem"},
    {SMTP_DATA_BLOCK_FAILED, "Failed to send data block"},
    {SMTP_STARTTLS_NOT_SUPPORTED, "The STARTTLS command is not supported by the server"},
    {SMTP_LOGIN_NOT_SUPPORTED, "AUTH LOGIN is not supported by the server"},
};

} // namespace

const char* ECSmtp::ErrorText(int32_t id) {
    const auto row = std::find_if(std::begin(kErrorTable), std::end(kErrorTable),
                                  [id](const ErrorRow& r) { return r.id == id; });
    return row == std::end(kErrorTable) ? "Undefined error id" : row->text;
}

std::string ECSmtp::GetErrorText() const {
    return ErrorText(id_);
}

const char* ECSmtp::what() const noexcept {
    return ErrorText(id_);
}

} // namespace iomira
