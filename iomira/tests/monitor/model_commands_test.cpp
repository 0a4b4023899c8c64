// The RLX windows' reads on the wire: counters, analog channels and the temperature as the
// windows show them after the simulator's values, counter resets, and the reads that follow
// each notification.

#include "common/event_pump.h"
#include "core/device_family.h"
#include "core/string_table.h"
#include "monitor/commands_rig.h"
#include "monitor/controller_commands.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace iomira {
namespace {

using test::pumpUntil;
using test::Request;

constexpr long kReadInputRegisters = 4, kWriteCoil = 5;
constexpr long kCounterResetBase = 240;

class ModelCommands : public ::testing::Test {
  protected:
    ModelCommands()
        : rig({{"r850", "RLX-850"},
               {"r820", "RLX-820"},
               {"r840", "RLX-840"},
               {"r810", "RLX-810"}}) {
        setLanguage(LANG_ENGLISH);
    }
    // Reads every input register of `c` and waits for the notification `code`.
    void readAll(ControllerCommands& commands, int code) {
        rig.dataCodes.clear();
        ASSERT_TRUE(commands.readAllInputs().message.isEmpty());
        ASSERT_TRUE(pumpUntil([&] {
            return std::find(rig.dataCodes.begin(), rig.dataCodes.end(), code) !=
                   rig.dataCodes.end();
        }));
        test::pumpFor(100); // the answers to the rest of the read
    }

    test::CommandsRig rig;
};

TEST_F(ModelCommands, CountersShowTheSimulatorsCountsAndResetOnlyWhenCounting) {
    CQUORVISData& c = rig.connect("r850", FAMILY_RLX850, 4, 4);
    c.PollingInput = 0;
    c.UseLog = 1;
    c.DiCounter = {1, 1, 0, 1};
    rig.sim.command("counter r850 0 100000");
    rig.sim.command("counter r850 1 4294967295");
    rig.sim.command("counter r850 2 5");
    ControllerCommands commands(c, &rig.monitorLog);
    readAll(commands, MB_COUNTERS);
    EXPECT_EQ(commands.counterText(0), "100,000 ");
    EXPECT_EQ(commands.counterText(1), "4,294,967,295 ");
    EXPECT_EQ(commands.counterText(2), "") << "a counter switched off shows nothing";
    EXPECT_EQ(commands.counterText(3), "0 ");

    EXPECT_FALSE(commands.counterResettable(2));
    const size_t from = rig.logSize();
    EXPECT_TRUE(commands.resetCounter(2).message.isEmpty());
    EXPECT_TRUE(commands.resetCounter(0).message.isEmpty());
    ASSERT_TRUE(rig.waitRequests("r850", from, 1));
    test::pumpFor(100);
    EXPECT_EQ(rig.requestsOf("r850", from),
              (std::vector<Request>{{kWriteCoil, kCounterResetBase + 0, 0xFF00}}));
    readAll(commands, MB_COUNTERS);
    EXPECT_EQ(commands.counterText(0), "0 ");
    EXPECT_EQ(commands.counterText(1), "4,294,967,295 ");
    EXPECT_TRUE(rig.logged("Send a reset counter request"));
}

TEST_F(ModelCommands, AnalogChannelsAreScaledIntoTheirRangeAndUnit) {
    CQUORVISData& c = rig.connect("r810", FAMILY_RLX810, 0, 0);
    c.PollingInput = 0;
    c.AIName[0] = "Level";
    c.AIMin = {"0", "4", "-5.5", "1e999"};
    c.AIMax = {"10", "20", "5.5", "10"};
    c.AIUnit = {"m", "mA", "V", "%"};
    rig.sim.command("analog r810 0 4095");
    rig.sim.command("analog r810 1 0");
    rig.sim.command("analog r810 2 2048");
    rig.sim.command("analog r810 3 65535");
    ControllerCommands commands(c, &rig.monitorLog);
    readAll(commands, MB_ANALOG_VALUES);
    EXPECT_EQ(commands.analog(0).value, "10.00m ");
    EXPECT_EQ(commands.analog(0).name, " Level");
    EXPECT_EQ(commands.analog(0).position, 1000);
    EXPECT_EQ(commands.analog(1).value, "4.00mA ");
    EXPECT_EQ(commands.analog(2).value, "0.00V ");
    EXPECT_EQ(commands.analog(2).bar.low, -500);
    EXPECT_EQ(commands.analog(3).value, "10.00% ") << "raw above 4095, minimum not a number";
    EXPECT_EQ(rig.requestsOf("r810").back(), (Request{kReadInputRegisters, 0, 4}));

    disconnect_device(c.DeviceId);
    EXPECT_EQ(commands.analog(1).value, "0.00mA ");
    EXPECT_EQ(commands.analog(1).position, 400);
}

TEST_F(ModelCommands, TemperatureInBothModesAndTheSensorsErrors) {
    CQUORVISData& c = rig.connect("r840", FAMILY_RLX840, 0, 0);
    c.PollingInput = 0;
    c.UseLog = 1;
    c.AIMin[0] = "-40";
    c.AIMax[0] = "85";
    ControllerCommands commands(c, &rig.monitorLog);
    rig.sim.command("temp r840 -12.3");
    readAll(commands, MB_ANALOG_ERRORS);
    EXPECT_EQ(commands.temperature().value, QString::fromUtf8("-12.3\u2103 "));
    EXPECT_EQ(commands.temperature().position, -1230);
    EXPECT_TRUE(commands.temperature().sensorError.isEmpty());

    rig.sim.command("mode r840 0 1");
    readAll(commands, MB_ANALOG_ERRORS);
    EXPECT_TRUE(commands.temperature().value.endsWith(QString::fromUtf8("\u2109 ")))
        << commands.temperature().value.toStdString();

    rig.sim.command("error r840 0 3");
    readAll(commands, MB_ANALOG_ERRORS);
    EXPECT_FALSE(rig.logged("[E03]")) << "only a read logs the error";
    commands.temperature();
    EXPECT_FALSE(rig.logged("[E03]"));
    const TemperatureDisplay failed = commands.temperature(true);
    EXPECT_EQ(failed.sensorError, "[E03] RTD Sensor Disconnected.");
    EXPECT_TRUE(failed.value.isEmpty());
    EXPECT_TRUE(rig.logged("[E03] RTD Sensor Disconnected."));
}

struct CoilDoneCase {
    int family;
    int polling, pollingInput;
    int readAllAfterMs, readOutputsAfterMs;
};

TEST_F(ModelCommands, ACoilWritesAnswerSchedulesTheReadsThePollingLeavesOut) {
    CQUORVISData& r850 = rig.connect("r850", FAMILY_RLX850, 4, 4);
    CQUORVISData& r820 = rig.connect("r820", FAMILY_RLX820, 4, 0);
    const CoilDoneCase cases[] = {
        {FAMILY_RLX850, 0, 0, 100, 100}, {FAMILY_RLX850, 1, 0, 100, -1},
        {FAMILY_RLX850, 0, 1, -1, -1},   {FAMILY_RLX850, 1, 1, -1, -1},
        {FAMILY_RLX820, 0, 0, 100, -1},  {FAMILY_RLX820, 1, 1, -1, -1},
    };
    for (const CoilDoneCase& k : cases) {
        CQUORVISData& c = k.family == FAMILY_RLX850 ? r850 : r820;
        c.Polling = k.polling;
        c.PollingInput = k.pollingInput;
        ControllerCommands commands(c, &rig.monitorLog);
        const DataReaction r = commands.modelDataArrived(MB_COIL_DONE);
        EXPECT_EQ(r.readAllAfterMs, k.readAllAfterMs) << k.family << k.polling << k.pollingInput;
        EXPECT_EQ(r.readOutputsAfterMs, k.readOutputsAfterMs)
            << k.family << k.polling << k.pollingInput;
    }
    // RLX-820 polled for its inputs: a lamp click reads nothing.
    r820.PollingInput = 1;
    ControllerCommands polled(r820, &rig.monitorLog);
    EXPECT_FALSE(polled.inputClickReads());
    const size_t from = rig.logSize();
    polled.readAllInputs();
    test::pumpFor(150);
    EXPECT_TRUE(rig.requestsOf("r820", from).empty());
}

// The polling asks again every few seconds while the controller answers with an exception;
// the window shows it once, and again only after a good answer came in between. A click's
// exception is always shown.
TEST_F(ModelCommands, ARepeatedReadExceptionIsShownOnceUntilAGoodAnswer) {
    CQUORVISData& c = rig.connect("r850", FAMILY_RLX850, 4, 4);
    c.PollingInput = 0; // the window's own read, as the polling's would be
    ControllerCommands commands(c, &rig.monitorLog);
    rig.sim.command("exception r850 2");
    readAll(commands, MB_INPUTS_EXCEPTION);
    EXPECT_EQ(commands.modelDataArrived(MB_INPUTS_EXCEPTION).exceptionCode, 2);
    readAll(commands, MB_INPUTS_EXCEPTION);
    EXPECT_EQ(commands.modelDataArrived(MB_INPUTS_EXCEPTION).exceptionCode, 0);
    // Another kind of read has its own; a click's exception is always shown.
    EXPECT_EQ(commands.modelDataArrived(MB_OUTPUTS_EXCEPTION).exceptionCode, 2);
    EXPECT_EQ(commands.modelDataArrived(MB_OUTPUTS_EXCEPTION).exceptionCode, 0);
    EXPECT_EQ(commands.modelDataArrived(MB_COIL_EXCEPTION).exceptionCode, 2);
    EXPECT_EQ(commands.modelDataArrived(MB_COIL_EXCEPTION).exceptionCode, 2);
    // Another exception is news.
    rig.sim.command("exception r850 3");
    readAll(commands, MB_INPUTS_EXCEPTION);
    EXPECT_EQ(commands.modelDataArrived(MB_INPUTS_EXCEPTION).exceptionCode, 3);
    // A good answer in between: the same exception is shown again.
    rig.sim.command("resume r850");
    readAll(commands, MB_INPUTS);
    commands.modelDataArrived(MB_INPUTS);
    rig.sim.command("exception r850 3");
    readAll(commands, MB_INPUTS_EXCEPTION);
    EXPECT_EQ(commands.modelDataArrived(MB_INPUTS_EXCEPTION).exceptionCode, 3);
}

} // namespace
} // namespace iomira
