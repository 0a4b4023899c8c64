#pragma once

#include "app/tcp_probe.h"
#include "core/quorvis_data.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <vector>

namespace iomira {

// Tries the TCP connection of each pending controller in turn, one at a time, and writes
// the outcome as lines of a log. Controllers the program would wait for are skipped.
class ConnectionTest : public QObject {
    Q_OBJECT
  public:
    explicit ConnectionTest(std::vector<CQUORVISData> records, QObject* parent = nullptr);

    void start();
    bool recordsRemain() const { return next_ < records_.size(); }
    // Every line ends in "\r\n".
    const QString& log() const { return log_; }

  signals:
    void logChanged(const QString& log);

  private:
    void runNext();
    void tried(int error);
    void addLine(const QString& line);

    std::vector<CQUORVISData> records_;
    std::size_t next_ = 0;
    QString log_;
    TcpProbe probe_;
};

} // namespace iomira
