#include "notify/smtp/smtp_tls.h"

#include "notify/smtp/smtp_error.h"
#include "notify/smtp/smtp_socket.h"

#include <arpa/inet.h>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>

#include <climits>
#include <mutex>
#include <string>

namespace iomira::smtp {
namespace {

// TLS records go through the socket's own send and receive, so that a server that has gone
// away yields an error (the plain socket BIO would raise SIGPIPE and end the program).
int bioWrite(BIO* bio, const char* data, int size) {
    BIO_clear_retry_flags(bio);
    const IoResult r =
        static_cast<SmtpSocket*>(BIO_get_data(bio))->sendSome(data, static_cast<size_t>(size));
    if (r.wouldBlock) BIO_set_retry_write(bio);
    return r.failed || r.wouldBlock ? -1 : static_cast<int>(r.count);
}

int bioRead(BIO* bio, char* data, int size) {
    BIO_clear_retry_flags(bio);
    const IoResult r =
        static_cast<SmtpSocket*>(BIO_get_data(bio))->receiveSome(data, static_cast<size_t>(size));
    if (r.wouldBlock) BIO_set_retry_read(bio);
    return r.failed || r.wouldBlock ? -1 : static_cast<int>(r.count);
}

long bioControl(BIO*, int command, long, void*) {
    return command == BIO_CTRL_FLUSH ? 1 : 0;
}

int bioCreate(BIO* bio) {
    BIO_set_init(bio, 1);
    return 1;
}

// Built once and kept for the process: BIOs made from it may outlive any one client.
const BIO_METHOD* socketBioMethod() {
    static BIO_METHOD* method = [] {
        BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "smtp socket");
        if (m) {
            BIO_meth_set_write(m, bioWrite);
            BIO_meth_set_read(m, bioRead);
            BIO_meth_set_ctrl(m, bioControl);
            BIO_meth_set_create(m, bioCreate);
        }
        return m;
    }();
    return method;
}

bool isDottedAddress(std::string_view host) {
    in_addr address{};
    return inet_pton(AF_INET, std::string(host).c_str(), &address) == 1;
}

} // namespace

// OpenSSL 3 initialises itself once per process and cleans up at exit; an explicit global
// clean-up here would break every later TLS user in the process, so there is none.
SmtpTls::SmtpTls() {
    if (OPENSSL_init_ssl(OPENSSL_INIT_LOAD_SSL_STRINGS | OPENSSL_INIT_LOAD_CRYPTO_STRINGS,
                         nullptr) != 1)
        throw ECSmtp(SMTP_TLS_PROBLEM);
    context_ = SSL_CTX_new(TLS_client_method());
    if (!context_) throw ECSmtp(SMTP_TLS_PROBLEM);
    SSL_CTX_set_verify(context_, SSL_VERIFY_NONE, nullptr);
    // A server that drops the connection without a close notification is a closed connection.
    SSL_CTX_set_options(context_, SSL_OP_IGNORE_UNEXPECTED_EOF);
}

SmtpTls::~SmtpTls() {
    if (ssl_) SSL_free(ssl_);
    SSL_CTX_free(context_);
}

void SmtpTls::handshake(SmtpSocket& socket, std::string_view serverName, const Deadline& deadline) {
    ERR_clear_error();
    const BIO_METHOD* method = socketBioMethod();
    ssl_ = method ? SSL_new(context_) : nullptr;
    BIO* bio = ssl_ ? BIO_new(method) : nullptr;
    if (!bio) throw ECSmtp(SMTP_TLS_PROBLEM);
    socket_ = &socket;
    BIO_set_data(bio, socket_);
    SSL_set_bio(ssl_, bio, bio);
    SSL_set_mode(ssl_, SSL_MODE_AUTO_RETRY);
    if (!serverName.empty() && !isDottedAddress(serverName))
        SSL_set_tlsext_host_name(ssl_, std::string(serverName).c_str());
    for (;;) {
        ERR_clear_error();
        const int result = SSL_connect(ssl_);
        if (result == 1) break;
        waitFor(SSL_get_error(ssl_, result), deadline);
    }
    established_ = true;
}

void SmtpTls::waitFor(int sslError, const Deadline& deadline) const {
    bool ready = false;
    if (sslError == SSL_ERROR_WANT_READ)
        ready = socket_->waitReadable(deadline);
    else if (sslError == SSL_ERROR_WANT_WRITE)
        ready = socket_->waitWritable(deadline);
    else
        throw ECSmtp(SMTP_TLS_PROBLEM);
    if (!ready) throw ECSmtp(SMTP_SERVER_NOT_RESPONDING);
}

void SmtpTls::write(std::string_view data, const Deadline& deadline) {
    while (!data.empty()) {
        const int piece = data.size() > INT_MAX ? INT_MAX : static_cast<int>(data.size());
        ERR_clear_error();
        const int written = SSL_write(ssl_, data.data(), piece);
        if (written > 0) {
            data.remove_prefix(static_cast<size_t>(written));
            continue;
        }
        waitFor(SSL_get_error(ssl_, written), deadline);
    }
}

SmtpTls::ReadStatus SmtpTls::read(char* buffer, size_t size, size_t& count) {
    ERR_clear_error();
    const int result = SSL_read(ssl_, buffer, static_cast<int>(size));
    if (result > 0) {
        count = static_cast<size_t>(result);
        return ReadStatus::Data;
    }
    switch (SSL_get_error(ssl_, result)) {
    case SSL_ERROR_WANT_READ:
        return ReadStatus::WantRead;
    case SSL_ERROR_WANT_WRITE:
        return ReadStatus::WantWrite;
    case SSL_ERROR_ZERO_RETURN:
        return ReadStatus::Closed;
    default:
        throw ECSmtp(SMTP_TLS_PROBLEM);
    }
}

size_t SmtpTls::pending() const {
    return ssl_ ? static_cast<size_t>(SSL_pending(ssl_)) : 0;
}

void SmtpTls::shutdown() {
    if (!established_) return;
    established_ = false;
    ERR_clear_error();
    SSL_shutdown(ssl_);
}

} // namespace iomira::smtp
