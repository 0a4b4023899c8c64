// The connection test over pending controllers, against loopback listeners of the test's
// own: the log lines of each outcome, the skipped server modes, and the run going on after
// every failure.

#include "common/event_pump.h"
#include "common/loopback_ports.h"
#include "common/test_support.h"

#include "app/connection_test.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "monitor/error_text.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <cerrno>
#include <vector>

namespace iomira {
namespace {

CQUORVISData target(const QString& host, int port, int isServer = 0) {
    CQUORVISData record;
    record.IsServer = isServer;
    record.setHostAddr(host);
    record.HostPort = port;
    return record;
}

QString connecting(const QString& host, int port) {
    return QStringLiteral("Connecting To [ %1:%2 ] ...").arg(host).arg(port);
}

class ConnectionTestRun : public ::testing::Test {
  protected:
    ConnectionTestRun() { setLanguage(LANG_ENGLISH); }

    // Runs the test to its end and returns its lines.
    QStringList run(std::vector<CQUORVISData> records) {
        ConnectionTest test(std::move(records));
        int changes = 0;
        QObject::connect(&test, &ConnectionTest::logChanged, [&] { ++changes; });
        test.start();
        EXPECT_TRUE(test::pumpUntil([&] { return !test.recordsRemain(); }, 10000));
        EXPECT_TRUE(test.log().endsWith("\r\n"));
        EXPECT_EQ(changes, test.log().count("\r\n")) << "each line is shown as it is added";
        QStringList lines = test.log().split("\r\n");
        lines.removeLast();
        return lines;
    }
};

TEST_F(ConnectionTestRun, AnEmptyListOnlyFinishes) {
    EXPECT_EQ(run({}), QStringList{"All connection tests have been finished."});
}

TEST_F(ConnectionTestRun, ServerModesAreSkippedAndNotContacted) {
    test::LoopbackListener listener;
    const QStringList lines =
        run({target("127.0.0.1", listener.port(), 1), target("127.0.0.1", listener.port(), 2)});
    EXPECT_EQ(lines, (QStringList{"Skip TCP server...", "", "Skip TCP server...", "",
                                  "All connection tests have been finished."}));
    EXPECT_FALSE(listener.acceptOne());
}

TEST_F(ConnectionTestRun, AnOpenPortIsReachedAndLeftAtOnce) {
    test::LoopbackListener listener;
    const QStringList lines = run({target("127.0.0.1", listener.port())});
    EXPECT_EQ(lines, (QStringList{connecting("127.0.0.1", listener.port()),
                                  "Connection test has successfully finished.", "",
                                  "All connection tests have been finished."}));
    EXPECT_TRUE(listener.acceptOne()) << "the connection really reached the listener";
}

TEST_F(ConnectionTestRun, ARefusedPortShowsItsErrorNumber) {
    const int port = test::refusedLoopbackPort();
    const QStringList lines = run({target("127.0.0.1", port)});
    EXPECT_EQ(lines, (QStringList{connecting("127.0.0.1", port), socketErrorText(ECONNREFUSED),
                                  "All connection tests have been finished."}));
    EXPECT_TRUE(lines[1].startsWith("[111] ")) << lines[1].toStdString();
}

TEST_F(ConnectionTestRun, ANameThatDoesNotResolveShowsTheResolversError) {
    const QStringList lines = run({target("no-such-controller.invalid", 502)});
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], connecting("no-such-controller.invalid", 502));
    const QRegularExpressionMatch error =
        QRegularExpression(R"(^\[(-\d+)\] \S.*$)").match(lines[1]);
    ASSERT_TRUE(error.hasMatch()) << lines[1].toStdString();
    EXPECT_EQ(lines[1], socketErrorText(error.captured(1).toInt()))
        << "the resolver's own code and text";
    EXPECT_EQ(lines[2], "All connection tests have been finished.");
}

TEST_F(ConnectionTestRun, TheRunGoesOnAfterEveryFailure) {
    test::LoopbackListener listener;
    const int refused = test::refusedLoopbackPort();
    const QStringList lines =
        run({target("no-such-controller.invalid", 502), target("127.0.0.1", refused),
             target("", 5020, 1), target("127.0.0.1", listener.port())});
    ASSERT_EQ(lines.size(), 10) << lines.join('|').toStdString();
    EXPECT_EQ(lines[0], connecting("no-such-controller.invalid", 502));
    EXPECT_TRUE(lines[1].startsWith("[-")) << lines[1].toStdString();
    EXPECT_EQ(lines.mid(2),
              (QStringList{connecting("127.0.0.1", refused), socketErrorText(ECONNREFUSED),
                           "Skip TCP server...", "", connecting("127.0.0.1", listener.port()),
                           "Connection test has successfully finished.", "",
                           "All connection tests have been finished."}));
    EXPECT_TRUE(listener.acceptOne());
}

TEST_F(ConnectionTestRun, LinesFollowTheLanguage) {
    setLanguage(LANG_KOREAN);
    EXPECT_EQ(run({}), QStringList{loadString(5620, LANG_KOREAN)});
}

} // namespace
} // namespace iomira
