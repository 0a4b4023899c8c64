#include "common/test_support.h"
#include "core/event_log.h"
#include "core/log_entries.h"
#include "core/quorvis_data.h"

#include <gtest/gtest.h>

namespace iomira {
namespace {

const QDateTime kNow(QDate(2026, 3, 4), QTime(5, 6, 7));

CQUORVISData pump() {
    CQUORVISData c;
    c.DeviceId = 3;
    c.DeviceComment = "Pump 100%s";
    c.HostAddr = "plc1.local";
    c.DiComment[2] = "Level %d";
    c.DoComment[1] = "Motor";
    return c;
}

TEST(LogLines, StateEntries) {
    CQUORVISData server = pump();
    server.IsServer = 1;
    struct Case {
        const CQUORVISData controller;
        QString text;
        int port, value, state;
        const char* line;
    };
    const Case cases[] = {
        {pump(), "", -1, -1, 3,
         "Pump 100%s\tplc1.local\t\tEstablished\t20260304/05:06:07\t\t\t\r\n"},
        {pump(), "Send a write coil request", 1, 1, 3,
         "Pump 100%s\t\tMotor\tEstablished\t20260304/05:06:07\t1\tON\tSend a write coil "
         "request\r\n"},
        {pump(), "Send a write pulse request", 1, 2, 2,
         "Pump 100%s\t\tMotor\tConnecting\t20260304/05:06:07\t1\tPULSE\tSend a write pulse "
         "request\r\n"},
        {server, "[111] Connection refused", -1, -1, 4,
         "Pump 100%s\t\t\tError\t20260304/05:06:07\t\t\t[111] Connection refused\r\n"},
        {pump(), "Output port status", 0, 0, 0,
         "Pump 100%s\t\tDO0\tClosed\t20260304/05:06:07\t0\tOFF\tOutput port status\r\n"},
        {pump(), "x", 9, 7, 1, "Pump 100%s\t\t\tListen\t20260304/05:06:07\t9\t\tx\r\n"},
        {pump(), "", -1, -1, -1, "Pump 100%s\tplc1.local\t\t\t20260304/05:06:07\t\t\t\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(stateEntryLine(c.controller, c.text, c.port, c.value, c.state, kNow),
                  QString::fromLatin1(c.line));
    }
}

TEST(LogLines, InputValueAndTemperatureEntries) {
    EXPECT_EQ(inputStatusEntryLine(pump(), 2, 1, kNow),
              "Pump 100%s\t\tLevel %d\t\t20260304/05:06:07\t2\tON\tInput port status\r\n");
    EXPECT_EQ(inputStatusEntryLine(pump(), -1, 5, kNow),
              "Pump 100%s\t\t\t\t20260304/05:06:07\t\t\tInput port status\r\n");
    EXPECT_EQ(valueEntryLine(pump(), "COUNTER", "Counter value", 3, 4294967295LL, kNow),
              "Pump 100%s\t\tCOUNTER\t\t20260304/05:06:07\t3\t4294967295\tCounter value\r\n");
    EXPECT_EQ(valueEntryLine(pump(), "ANALOG", "", 0, -12, kNow),
              "Pump 100%s\t\tANALOG\t\t20260304/05:06:07\t0\t-12\t\r\n");
    EXPECT_EQ(temperatureEntryLine(pump(), "-3.5", kNow),
              "Pump 100%s\t\tANALOG\t\t20260304/05:06:07\t0\t-3.5\tTemperature\r\n");
}

TEST(LogLines, WritersPutTheirLinesIntoTheFileWithTheReportedState) {
    QTemporaryDir dir;
    EventLog log(dir.path(), [] { return kNow; });
    ASSERT_EQ(log.OpenNewFile(), 0);
    EventLogWriters writers(log, [](int id) { return id == 3 ? 3 : 0; });
    CQUORVISData c = pump();
    c.DeviceComment = QString::fromUtf8("펌프");
    EXPECT_EQ(writers.LogStateEntry(c), 0);
    EXPECT_EQ(writers.LogInputStatusEntry(c, 0, 0), 0);
    EXPECT_EQ(writers.LogValueEntry(c, "ANALOG", "Analog value", 1, 512), 0);
    EXPECT_EQ(writers.LogTemperatureEntry(c, "21.5"), 0);
    EXPECT_EQ(
        test::readFile(log.currentPath()),
        QByteArray("Com Name\tPeer IP\tTag Name\tState\tTime\tAddress\tValue\tEtc\r\n") +
            "\xED\x8E\x8C\xED\x94\x84\tplc1.local\t\tEstablished\t20260304/05:06:07\t\t\t\r\n"
            "\xED\x8E\x8C\xED\x94\x84\t\tDI0\t\t20260304/05:06:07\t0\tOFF\tInput port status\r\n"
            "\xED\x8E\x8C\xED\x94\x84\t\tANALOG\t\t20260304/05:06:07\t1\t512\tAnalog value\r\n"
            "\xED\x8E\x8C\xED\x94\x84\t\tANALOG\t\t20260304/05:06:07\t0\t21.5\tTemperature\r\n");
}

} // namespace
} // namespace iomira
