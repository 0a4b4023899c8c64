#include "app/tcp_probe.h"

#include "core/local_text.h"

#include <QPromise>
#include <QSocketNotifier>

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

namespace iomira {

namespace {

constexpr int kKeepAliveIdleSeconds = 10;
constexpr int kKeepAliveIntervalSeconds = 1;

ResolvedAddress resolveNow(const QByteArray& host, const QByteArray& service) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    ResolvedAddress result;
    result.error = getaddrinfo(host.constData(), service.constData(), &hints, &found);
    if (result.error != 0) return result;
    result.family = found->ai_family;
    result.protocol = found->ai_protocol;
    result.length = found->ai_addrlen;
    std::memcpy(&result.address, found->ai_addr, found->ai_addrlen);
    freeaddrinfo(found);
    return result;
}

// getaddrinfo blocks for as long as the name server takes, so it never runs on the caller's
// thread; an abandoned lookup finishes on its own and its answer is dropped.
QFuture<ResolvedAddress> resolveLater(QByteArray host, QByteArray service) {
    QPromise<ResolvedAddress> promise;
    QFuture<ResolvedAddress> future = promise.future();
    promise.start();
    std::thread([promise = std::move(promise), host, service]() mutable {
        promise.addResult(resolveNow(host, service));
        promise.finish();
    }).detach();
    return future;
}

void setKeepAlive(int fd) {
    const int on = 1, idle = kKeepAliveIdleSeconds, interval = kKeepAliveIntervalSeconds;
    setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
}

} // namespace

TcpProbe::TcpProbe(QObject* parent) : QObject(parent) {
    connect(&lookup_, &QFutureWatcher<ResolvedAddress>::finished, this, &TcpProbe::resolved);
}

TcpProbe::~TcpProbe() {
    closeSocket();
}

void TcpProbe::start(const QString& host, int port) {
    lookup_.setFuture(resolveLater(toLocalCodeSet(host), QByteArray::number(port)));
}

void TcpProbe::resolved() {
    const ResolvedAddress target = lookup_.result();
    if (target.error != 0) return finish(target.error);
    fd_ = socket(target.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, target.protocol);
    if (fd_ < 0) return finish(errno);
    setKeepAlive(fd_);
    const int result =
        ::connect(fd_, reinterpret_cast<const sockaddr*>(&target.address), target.length);
    if (result == 0) return finish(0);
    if (errno != EINPROGRESS && errno != EINTR) return finish(errno);
    writable_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Write);
    connect(writable_.get(), &QSocketNotifier::activated, this, &TcpProbe::connected);
}

void TcpProbe::connected() {
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
    finish(error);
}

void TcpProbe::finish(int error) {
    closeSocket();
    // The owner may start the next try from its handler; it hears of this one only after
    // the current notification has returned.
    QMetaObject::invokeMethod(
        this, [this, error] { emit finished(error); }, Qt::QueuedConnection);
}

void TcpProbe::closeSocket() {
    if (writable_) {
        writable_->setEnabled(false);
        writable_.release()->deleteLater();
    }
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

} // namespace iomira
