// The response watchdog against the simulator: a controller that keeps its connection but
// stops answering is flagged after three seconds, polled on, and cleared by its next answer;
// Corvel drops it after ten, and the reconnection rule takes over.

#include "monitor/polling_rig.h"

#include "core/string_table.h"
#include "monitor/initial_read.h"
#include "monitor/response_watchdog.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

namespace iomira {
namespace {

using test::MonitorRig;
using test::pumpUntil;

const std::string kDevices =
    test::simDevice("io", "TKA-35", "unit_id = 1\ninputs = 0b0001\noutputs = 0b0000\n");

constexpr int64_t kSecond = 1'000'000'000;

class Watchdog : public ::testing::Test {
  protected:
    void SetUp() override {
        setLanguage(LANG_ENGLISH);
        rig.events.alsoAnswered = [this](int id) {
            if (CQUORVISData* c = rig.table.find(id)) watchdog.answered(*c);
        };
    }
    CQUORVISData& connected(const QString& name) {
        CQUORVISData& c = rig.add("io", "TKA-35", name);
        rig.connections.connectAtStartup(c);
        EXPECT_TRUE(pumpUntil([&] { return c.OutputsValid == 1; }));
        return c;
    }
    // Polls once a second and ticks the watchdog, as the program's thread and timer do, until
    // `condition` holds or `timeoutMs` passes.
    bool pollUntil(const CQUORVISData& c, const std::function<bool()>& condition, int timeoutMs) {
        QElapsedTimer since;
        since.start();
        qint64 lastPoll = -1000;
        return pumpUntil(
            [&] {
                if (since.elapsed() - lastPoll >= 1000) {
                    auto guard = rig.shared.lock();
                    pollController(c, rig.files.monitorLog);
                    lastPoll = since.elapsed();
                }
                watchdog.tick();
                return condition();
            },
            timeoutMs);
    }
    int inputPolls() const { return test::countRequests(rig.requests(), "io", 2); }

    MonitorRig rig{kDevices};
    ResponseWatchdog watchdog{rig.shared, rig.files.monitorLog, rig.events};
};

TEST_F(Watchdog, SilenceFlagsAfterThreeSecondsPollingGoesOnAndAnAnswerClears) {
    CQUORVISData& c = connected("Quiet");
    QElapsedTimer silentFor;
    rig.sim.command("silent io");
    silentFor.start();
    ASSERT_TRUE(pollUntil(
        c, [&] { return c.NotResponding; }, 6000));
    EXPECT_GE(silentFor.elapsed(), kNotRespondingMs);
    EXPECT_EQ(get_tcp_connection_state(c.DeviceId), TCP_ESTABLISHED);
    EXPECT_EQ(rig.events.responseChanges, std::vector<int>{c.DeviceId});
    const QStringList etc = rig.files.etcOf("Quiet");
    EXPECT_EQ(etc.count("Not responding"), 1);
    for (const QStringList& entry : rig.files.entries()) {
        if (entry[7] == "Not responding") {
            EXPECT_EQ(entry[3], "Established");
        }
    }

    // The polls keep going out while it is silent, and flag nothing twice.
    const int polls = inputPolls();
    ASSERT_TRUE(pollUntil(
        c, [&] { return inputPolls() >= polls + 1; }, 3000));
    EXPECT_EQ(rig.events.responseChanges.size(), 1u);

    // An input switched meanwhile shows in the first answer after the silence.
    rig.sim.command("input io 1 1");
    rig.sim.command("resume io");
    ASSERT_TRUE(pollUntil(
        c, [&] { return !c.NotResponding; }, 3000));
    EXPECT_EQ(rig.events.responseChanges, (std::vector<int>{c.DeviceId, c.DeviceId}));
    ASSERT_TRUE(pollUntil(
        c, [&] { return c.InputImage[1] == 1; }, 3000));
    EXPECT_EQ(rig.files.etcOf("Quiet").count("Not responding"), 1);
}

TEST_F(Watchdog, ExceptionAnswersAndUnpolledControllersAreNeverFlagged) {
    CQUORVISData& unpolled = connected("Unpolled");
    unpolled.Polling = 0;
    unpolled.PollingInput = 0;
    rig.sim.command("exception io 2");
    CQUORVISData& refusing = rig.add("io", "TKA-35", "Refusing");
    rig.connections.connectAtStartup(refusing);
    ASSERT_TRUE(pumpUntil([&] { return get_modbus_error_code(refusing.DeviceId) != 0; }));
    // An exception answers; it then holds the polls back, so nothing waits for an answer.
    pollUntil(
        refusing, [] { return false; }, 4000);
    EXPECT_FALSE(refusing.NotResponding);
    EXPECT_FALSE(unpolled.NotResponding);
    EXPECT_FALSE(isPolled(unpolled));
    EXPECT_FALSE(isPolled(refusing));
    EXPECT_TRUE(rig.events.responseChanges.empty());
}

TEST_F(Watchdog, TenSilentSecondsFailTheConnectionAndTheReconnectionRuleTakesOver) {
    CQUORVISData& c = connected("Gone quiet");
    rig.sim.command("silent io");
    ASSERT_TRUE(pollUntil(
        c, [&] { return c.NotResponding; }, 6000));
    ASSERT_TRUE(pollUntil(
        c, [&] { return get_tcp_connection_state(c.DeviceId) == TCP_ERROR; }, 9000));
    EXPECT_EQ(get_tcp_error_code(c.DeviceId), ETIMEDOUT);
    ASSERT_FALSE(rig.events.notified.empty());
    EXPECT_EQ(rig.events.notified.back().second, CORVEL_LPARAM(ETIMEDOUT, CORVEL_FD_CLOSE));
    watchdog.connectionChanged(c);
    EXPECT_FALSE(c.NotResponding);
    const QStringList etc = rig.files.etcOf("Gone quiet");
    EXPECT_TRUE(std::any_of(etc.begin(), etc.end(), [](const QString& line) {
        return line.endsWith("Connection timed out");
    })) << etc.join('|').toStdString();

    // Five seconds after the failure the timer connects again; answers follow.
    rig.sim.command("resume io");
    const size_t started = rig.events.started.size();
    rig.now = c.LastFailureTime + 5 * kSecond;
    rig.connections.reconnectTick();
    EXPECT_EQ(rig.events.started.size(), started + 1);
    EXPECT_TRUE(rig.waitState(c, TCP_ESTABLISHED));
    EXPECT_TRUE(pumpUntil([&] { return c.OutputsValid == 1; }));
}

} // namespace
} // namespace iomira
