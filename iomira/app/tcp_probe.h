#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include <sys/socket.h>

#include <memory>

class QSocketNotifier;

namespace iomira {

// The first address a host name resolved to, or the resolver's code.
struct ResolvedAddress {
    int error = 0; // 0, or a negative getaddrinfo code
    int family = 0;
    int protocol = 0;
    sockaddr_storage address{};
    socklen_t length = 0;
};

// One try at a TCP connection: resolves the host on a thread of its own, connects without
// blocking and closes again at once. Nothing is sent.
class TcpProbe : public QObject {
    Q_OBJECT
  public:
    explicit TcpProbe(QObject* parent = nullptr);
    ~TcpProbe() override;

    // Starts a try; one runs at a time.
    void start(const QString& host, int port);

  signals:
    // 0 once connected, an errno value for a failed connection, a negative resolver code.
    void finished(int error);

  private:
    void resolved();
    void connected();
    void finish(int error);
    void closeSocket();

    QFutureWatcher<ResolvedAddress> lookup_;
    std::unique_ptr<QSocketNotifier> writable_;
    int fd_ = -1;
};

} // namespace iomira
