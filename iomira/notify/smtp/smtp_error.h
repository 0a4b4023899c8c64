#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace iomira {

// Error ids of the mail client. The numbers are part of what callers show and log, so they
// never change; ErrorText() gives the fixed English text of each.
enum SmtpError : int32_t {
    SMTP_NO_ERROR = 0,
    SMTP_SOCKET_STARTUP = 100,
    SMTP_SOCKET_VERSION = 101,
    SMTP_SEND_FAILED = 102,
    SMTP_RECV_FAILED = 103,
    SMTP_CONNECT_FAILED = 104,
    SMTP_UNKNOWN_SERVER = 105,
    SMTP_INVALID_SOCKET = 106,
    SMTP_HOSTNAME_FAILED = 107,
    SMTP_NONBLOCKING_FAILED = 108,
    SMTP_SELECT_FAILED = 109,
    SMTP_BAD_IPV4_ADDRESS = 110,
    SMTP_UNDEFINED_HEADER = 200,
    SMTP_UNDEFINED_SENDER = 201,
    SMTP_UNDEFINED_SUBJECT = 202,
    SMTP_UNDEFINED_RECIPIENTS = 203,
    SMTP_UNDEFINED_LOGIN = 204,
    SMTP_UNDEFINED_PASSWORD = 205,
    SMTP_BAD_LOGIN_OR_PASSWORD_FORMAT = 206,
    SMTP_BAD_DIGEST_RESPONSE = 207,
    SMTP_BAD_SERVER_NAME = 208,
    SMTP_UNDEFINED_RECIPIENT_MAIL = 209,
    SMTP_MAIL_FROM_REJECTED = 300,
    SMTP_EHLO_REJECTED = 301,
    SMTP_AUTH_PLAIN_REJECTED = 302,
    SMTP_AUTH_LOGIN_REJECTED = 303,
    SMTP_AUTH_CRAM_MD5_REJECTED = 304,
    SMTP_AUTH_DIGEST_MD5_REJECTED = 305,
    SMTP_DIGEST_RESPONSE_REJECTED = 306,
    SMTP_DATA_REJECTED = 307,
    SMTP_QUIT_REJECTED = 308,
    SMTP_RCPT_TO_REJECTED = 309,
    SMTP_MESSAGE_BODY_REJECTED = 310,
    SMTP_CONNECTION_CLOSED = 400,
    SMTP_SERVER_NOT_READY = 401,
    SMTP_SERVER_NOT_RESPONDING = 402,
    SMTP_SELECT_TIMEOUT = 403,
    SMTP_FILE_NOT_EXIST = 404,
    SMTP_MESSAGE_TOO_BIG = 405,
    SMTP_BAD_LOGIN_PASS = 406,
    SMTP_UNDEF_XYZ_RESPONSE = 407,
    SMTP_LACK_OF_MEMORY = 408,
    SMTP_TIME_ERROR = 409,
    SMTP_RECVBUF_IS_EMPTY = 410,
    SMTP_SENDBUF_IS_EMPTY = 411,
    SMTP_OUT_OF_MESSAGE_RANGE = 412,
    SMTP_STARTTLS_REJECTED = 413,
    SMTP_TLS_PROBLEM = 414,
    SMTP_DATA_BLOCK_FAILED = 415,
    SMTP_STARTTLS_NOT_SUPPORTED = 416,
    SMTP_LOGIN_NOT_SUPPORTED = 417,
};

// Every failure of the mail client. Carries only the id; the text comes from the fixed table.
class ECSmtp : public std::exception {
  public:
    explicit ECSmtp(int32_t id) : id_(id) {}

    int32_t GetErrorNum() const { return id_; }
    std::string GetErrorText() const;
    const char* what() const noexcept override;

    // The fixed English text of an error id; "Undefined error id" for an id outside the table.
    static const char* ErrorText(int32_t id);

  private:
    int32_t id_;
};

} // namespace iomira
