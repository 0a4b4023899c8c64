#include "app/connection_test.h"

#include "core/string_table.h"
#include "core/texts.h"
#include "monitor/error_text.h"

namespace iomira {

ConnectionTest::ConnectionTest(std::vector<CQUORVISData> records, QObject* parent)
    : QObject(parent), records_(std::move(records)) {
    connect(&probe_, &TcpProbe::finished, this, &ConnectionTest::tried);
}

void ConnectionTest::start() {
    next_ = 0;
    runNext();
}

void ConnectionTest::runNext() {
    while (recordsRemain() && records_[next_].IsServer != 0) {
        addLine(loadString(TEXT_SKIP_TCP_SERVER));
        addLine({});
        ++next_;
    }
    if (!recordsRemain()) {
        addLine(loadString(TEXT_ALL_TESTS_FINISHED));
        return;
    }
    const CQUORVISData& record = records_[next_];
    addLine(QStringLiteral("%1 [ %2:%3 ] ...")
                .arg(loadString(TEXT_CONNECTING_TO), record.HostAddr)
                .arg(record.HostPort));
    probe_.start(record.HostAddr, record.HostPort);
}

void ConnectionTest::tried(int error) {
    if (error != 0) addLine(socketErrorText(error));
    ++next_;
    if (error == 0) {
        addLine(loadString(TEXT_TEST_SUCCEEDED));
        addLine({});
    }
    runNext();
}

void ConnectionTest::addLine(const QString& line) {
    log_ += line + QStringLiteral("\r\n");
    emit logChanged(log_);
}

} // namespace iomira
