// Connections, reconnection and Corvel's notifications against the simulator: what goes over
// the wire, what the port images hold and which log lines are written.

#include "monitor/polling_rig.h"

#include "core/string_table.h"
#include "monitor/folded_lines.h"
#include "monitor/initial_read.h"
#include "monitor/port_state.h"

#include <QDateTime>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

namespace iomira {
namespace {

using test::MonitorRig;
using test::pumpUntil;

const std::string kDevices =
    test::simDevice("io", "TKA-35", "unit_id = 1\ninputs = 0b0101\noutputs = 0b0010\n") +
    test::simDevice("press", "RLX-850",
                    "unit_id = 255\ncounters = 5,70000,0,1\ninputs = 0b0001\n") +
    test::simDevice("temp", "RLX-840", "unit_id = 255\ntemperature = 23.5\n");

constexpr int64_t kSecond = 1'000'000'000;

class Monitor : public ::testing::Test {
  protected:
    void SetUp() override { setLanguage(LANG_ENGLISH); }
    MonitorRig rig{kDevices};
};

TEST_F(Monitor, ConnectReadsInputsThenOutputsAndKeepsTheImages) {
    CQUORVISData& c = rig.add("io", "TKA-35", "Pump");
    c.DiComment[0] = "Float";
    ASSERT_EQ(rig.connections.connectAtStartup(c), CORVEL_OK);
    EXPECT_EQ(c.ReconnectWanted, 1);
    EXPECT_EQ(rig.events.started, std::vector<int>{c.DeviceId});
    ASSERT_TRUE(pumpUntil([&] { return c.OutputsValid == 1; }));

    // The initial read of the inputs, then (after the first answer) the outputs.
    const auto wire = rig.requests();
    ASSERT_GE(wire.size(), 2u);
    EXPECT_EQ(simtest::json_number(wire[0], "function"), 2);
    EXPECT_EQ(simtest::json_number(wire[0], "quantity"), 4);
    EXPECT_EQ(simtest::json_number(wire[1], "function"), 1);
    EXPECT_EQ(c.InputImage, (std::array<uint8_t, 8>{1, 0, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(c.OutputImage, (std::array<uint8_t, 8>{0, 1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(c.InputsValid, 1);

    const QStringList etc = rig.files.etcOf("Pump");
    const QStringList expected{"",
                               "Send a read request to input ports.",
                               "",
                               "Send a read request to output ports",
                               "Response of read input ports",
                               "Input port status",
                               "Input port status",
                               "Input port status",
                               "Input port status",
                               "Response of read output ports",
                               "Output port status",
                               "Output port status",
                               "Output port status",
                               "Output port status"};
    EXPECT_EQ(etc, expected);
    const auto entries = rig.files.entries();
    // The first line names the peer and the state at the time; input lines name the port.
    EXPECT_EQ(entries[0][1], "127.0.0.1");
    EXPECT_EQ(entries[0][3], "Connecting");
    EXPECT_EQ(entries[2][3], "Established");
    EXPECT_EQ(entries[5].mid(1, 3), (QStringList{"", "Float", ""}));
    EXPECT_EQ(entries[5].mid(5, 2), (QStringList{"0", "ON"}));
    EXPECT_EQ(entries[11].mid(5, 2), (QStringList{"1", "ON"}));
}

TEST_F(Monitor, LogGateFollowsUseLogAndTheSwitches) {
    CQUORVISData& quiet = rig.add("io", "TKA-35", "Quiet");
    quiet.UseLog = 0;
    rig.files.switches.input = 0;
    CQUORVISData& c = rig.add("io", "TKA-35", "Loud");
    rig.connections.connectAtStartup(quiet);
    rig.connections.connectAtStartup(c);
    ASSERT_TRUE(pumpUntil([&] { return c.OutputsValid == 1 && quiet.OutputsValid == 1; }));
    EXPECT_TRUE(rig.files.etcOf("Quiet").isEmpty());
    const QStringList etc = rig.files.etcOf("Loud");
    EXPECT_FALSE(etc.contains("Response of read input ports"));
    EXPECT_FALSE(etc.contains("Input port status"));
    EXPECT_TRUE(etc.contains("Response of read output ports"));
}

TEST_F(Monitor, AFailedConnectionIsRetriedFiveSecondsLater) {
    CQUORVISData& c = rig.addUnreachable("Nobody");
    ASSERT_EQ(rig.connections.connectCommand(c), CORVEL_OK);
    ASSERT_TRUE(rig.waitState(c, TCP_ERROR));
    EXPECT_EQ(c.LastFailureTime, rig.now);
    const QStringList etc = rig.files.etcOf("Nobody");
    ASSERT_EQ(etc.size(), 2);
    EXPECT_EQ(etc[1], QStringLiteral("[%1] Connection refused").arg(ECONNREFUSED));
    ASSERT_FALSE(rig.events.notified.empty());
    EXPECT_NE(CORVEL_LPARAM_ERROR(rig.events.notified.back().second), 0);

    rig.now += 5 * kSecond - 1'000'000;
    rig.connections.reconnectTick();
    EXPECT_EQ(rig.events.started.size(), 1u);
    rig.now += 1'000'000;
    rig.connections.reconnectTick();
    EXPECT_EQ(rig.events.started.size(), 2u);
    ASSERT_TRUE(rig.waitState(c, TCP_ERROR));
    EXPECT_EQ(c.LastFailureTime, rig.now);
}

// Sets the soft limit of open descriptors to the lowest free one, so that the next socket
// cannot be had, and puts the limit back when it goes.
class DescriptorsExhausted {
  public:
    DescriptorsExhausted() {
        getrlimit(RLIMIT_NOFILE, &saved_);
        const int lowestFree = ::dup(0);
        ::close(lowestFree);
        rlimit low = saved_;
        low.rlim_cur = rlim_t(lowestFree);
        setrlimit(RLIMIT_NOFILE, &low);
    }
    ~DescriptorsExhausted() { setrlimit(RLIMIT_NOFILE, &saved_); }

  private:
    rlimit saved_{};
};

// A controller that cannot get a socket because the process holds all it may says so, and
// is tried again once descriptors are free.
TEST_F(Monitor, AControllerWithoutADescriptorShowsTooManyOpenFiles) {
    CQUORVISData& c = rig.add("io", "TKA-35", "Crowded");
    {
        DescriptorsExhausted exhausted;
        EXPECT_EQ(rig.connections.connectCommand(c), CORVEL_SOCKET_ERROR);
    }
    EXPECT_EQ(get_tcp_connection_state(c.DeviceId), TCP_ERROR);
    EXPECT_EQ(get_tcp_error_code(c.DeviceId), EMFILE);
    ASSERT_FALSE(rig.events.notified.empty());
    EXPECT_EQ(CORVEL_LPARAM_ERROR(rig.events.notified.back().second), EMFILE);
    const StatusLine line =
        statusLine(TCP_ERROR, c.AutomaticConnection, get_tcp_error_code(c.DeviceId));
    EXPECT_EQ(line.text, QStringLiteral("[%1] Too many open files").arg(EMFILE));
    EXPECT_EQ(line.icon, ConnectionIcon::Error);

    rig.now += 5 * kSecond;
    rig.connections.reconnectTick();
    EXPECT_TRUE(rig.waitState(c, TCP_ESTABLISHED));
}

TEST_F(Monitor, NoRetryWithoutTheReconnectFlag) {
    CQUORVISData& c = rig.addUnreachable("Manual");
    rig.connections.connectCommand(c);
    ASSERT_TRUE(rig.waitState(c, TCP_ERROR));
    c.ReconnectWanted = 0;
    rig.now += 60 * kSecond;
    rig.connections.reconnectTick();
    EXPECT_EQ(rig.events.started.size(), 1u);
}

TEST_F(Monitor, APeerCloseIsRetriedOnTheNextTick) {
    CQUORVISData& c = rig.add("io", "TKA-35", "Dropped");
    rig.connections.connectAtStartup(c);
    // Answers prove the simulator has taken the connection in, not only the kernel.
    ASSERT_TRUE(pumpUntil([&] { return c.OutputsValid == 1; }));
    // Ticks while connected find nothing to do, and the next walk waits for a state change.
    rig.connections.reconnectTick();
    rig.connections.reconnectTick();
    EXPECT_EQ(rig.events.started.size(), 1u);
    rig.sim.command("drop io");
    ASSERT_TRUE(rig.waitState(c, TCP_CLOSED));
    // The close is no failure: the reconnection timer's next tick (at most 100 ms) connects.
    rig.connections.reconnectTick();
    EXPECT_EQ(rig.events.started.size(), 2u);
    EXPECT_TRUE(rig.waitState(c, TCP_ESTABLISHED));
}

TEST_F(Monitor, ExceptionsAreLoggedAndStopThePolls) {
    CQUORVISData& c = rig.add("io", "TKA-35", "Refusing");
    rig.sim.command("exception io 2");
    rig.connections.connectAtStartup(c);
    ASSERT_TRUE(pumpUntil([&] { return rig.files.etcOf("Refusing").size() >= 5; }));
    EXPECT_EQ(
        rig.files.etcOf("Refusing").mid(3, 2),
        (QStringList{"Error response of read input request", "[Error 02] Illegal data address."}));
    const size_t before = rig.requests().size();
    pollController(c, rig.files.monitorLog);
    test::pumpFor(100);
    EXPECT_EQ(rig.requests().size(), before);
}

TEST_F(Monitor, RlxControllerIsReadCompletelyAfterItsChangeReportsAreOn) {
    CQUORVISData& c = rig.add("press", "RLX-850", "Press");
    rig.connections.connectAtStartup(c);
    ASSERT_TRUE(pumpUntil([&] { return rig.files.etcOf("Press").contains("Counter value"); }));
    const auto wire = rig.requests();
    EXPECT_EQ(simtest::json_number(wire[0], "function"), 43);
    EXPECT_EQ(simtest::json_number(wire[0], "object"), 0x83);
    EXPECT_EQ(simtest::json_number(wire[1], "object"), 0x85);
    EXPECT_TRUE(rig.files.etcOf("Press").contains("Send a read request to all registers."));
    QStringList counters;
    for (const QStringList& e : rig.files.entries()) {
        if (e[2] == "COUNTER") counters << e[5] + "=" + e[6];
    }
    EXPECT_EQ(counters.mid(0, 4), (QStringList{"0=5", "1=70000", "2=0", "3=1"}));
    ASSERT_TRUE(pumpUntil([&] { return c.InputImage[0] == 1; }));
}

TEST_F(Monitor, TemperatureIsLoggedWithOneDecimalUnlessMarkedInvalid) {
    CQUORVISData& c = rig.add("temp", "RLX-840", "Server room");
    rig.connections.connectAtStartup(c);
    auto temperatures = [&] {
        QStringList out;
        for (const QStringList& e : rig.files.entries())
            if (e[7] == "Temperature") out << e[6];
        return out;
    };
    ASSERT_TRUE(pumpUntil([&] { return !temperatures().isEmpty(); }));
    EXPECT_EQ(temperatures(), QStringList{"23.5"});
    rig.sim.command("analog temp 0 20000");
    const int lines = int(rig.files.entries().size());
    pollController(c, rig.files.monitorLog);
    ASSERT_TRUE(pumpUntil([&] { return int(rig.files.entries().size()) >= lines + 2; }));
    test::pumpFor(100);
    EXPECT_EQ(temperatures(), QStringList{"23.5"});
}

TEST(FoldedLines, OneLineASecondAndTheCountOfTheRestInTheNext) {
    FoldedLines lines;
    int folded = -1;
    EXPECT_TRUE(lines.admit(1, 10'000, folded));
    EXPECT_EQ(folded, 0);
    for (int i = 0; i < 9; ++i)
        EXPECT_FALSE(lines.admit(1, 10'000 + i * 10, folded));
    EXPECT_TRUE(lines.admit(2, 10'050, folded)) << "each controller has its own second";
    EXPECT_TRUE(lines.takeDue(10'999).empty());
    // The end of a burst is written by the flush, with its count, a second after the line.
    const auto due = lines.takeDue(11'000);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(due[0].deviceId, 1);
    EXPECT_EQ(due[0].folded, 9);
    EXPECT_FALSE(lines.admit(1, 11'500, folded)); // the flush was a line too
    EXPECT_TRUE(lines.admit(1, 12'000, folded));
    EXPECT_EQ(folded, 1);
    // A quiet second: the next bad frame is written at once.
    EXPECT_TRUE(lines.takeDue(13'100).empty());
    EXPECT_TRUE(lines.admit(1, 13'200, folded));
    EXPECT_EQ(folded, 0);
}

TEST_F(Monitor, DamagedFramesWriteOneLineASecondWithTheCountOfTheRest) {
    CQUORVISData& c = rig.add("io", "TKA-35", "Damaged");
    rig.connections.connectAtStartup(c);
    ASSERT_TRUE(pumpUntil([&] { return c.OutputsValid == 1 && c.InputsValid == 1; }));
    const auto damagedLines = [&] {
        QStringList lines;
        for (const QString& etc : rig.files.etcOf("Damaged"))
            if (etc.startsWith("Invalid Modbus/TCP packet length")) lines << etc;
        return lines;
    };
    rig.sim.command("malformed io length");
    rig.sim.command("malformed io length");
    ASSERT_TRUE(pumpUntil([&] { return !damagedLines().isEmpty(); }));
    test::pumpFor(300);
    EXPECT_EQ(damagedLines(), QStringList{"Invalid Modbus/TCP packet length"});
    rig.handler.flushFoldedLines(QDateTime::currentMSecsSinceEpoch() + kFoldedLineMs);
    const QStringList lines = damagedLines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[1].contains(QRegularExpression(R"(\((\d+) more since the last line\)$)")))
        << lines[1].toStdString();
    // Nothing is held back any more.
    rig.handler.flushFoldedLines(QDateTime::currentMSecsSinceEpoch() + 3 * kFoldedLineMs);
    EXPECT_EQ(damagedLines().size(), 2);
}

} // namespace
} // namespace iomira
