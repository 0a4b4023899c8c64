// A controller window's commands on the wire: which write an output click sends, the read
// that follows each notification, one pulse at a time, and the exception to show.

#include "common/event_pump.h"
#include "core/device_family.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "monitor/commands_rig.h"
#include "monitor/controller_commands.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace iomira {
namespace {

using test::Request;

constexpr long kReadCoils = 1, kReadInputs = 2, kWriteCoil = 5, kPulse = 0x69;

class Commands : public ::testing::Test {
  protected:
    Commands()
        : rig({{"io", "TKA-31"}, {"rlx", "RLX-830"}}), io(rig.connect("io", FAMILY_GENERIC, 8, 8)),
          rlx(rig.connect("rlx", FAMILY_RLX830, 0, 2)) {
        test::pumpFor(100);
    }
    // The requests of a device sent by `action`, once `count` of them have arrived.
    std::vector<Request> sent(const std::string& device, size_t count,
                              const std::function<void()>& action) {
        const size_t from = rig.logSize();
        action();
        EXPECT_TRUE(rig.waitRequests(device, from, count));
        test::pumpFor(150);
        return rig.requestsOf(device, from);
    }

    test::CommandsRig rig;
    CQUORVISData& io;
    CQUORVISData& rlx;
};

struct OutputCase {
    const char* name;
    bool rlx;
    std::function<void(CQUORVISData&)> setup;
    int port;
    int shownValue;
    OutputClick action;
    std::vector<Request> wire;
    int pulseTimerMs;
};

TEST_F(Commands, AnOutputClickSendsTheWriteItsPortAsksFor) {
    const std::vector<OutputCase> cases = {
        {"coil on",
         false,
         [](CQUORVISData&) {},
         2,
         0,
         OutputClick::Toggle,
         {{kWriteCoil, 2, 0xFF00}},
         -1},
        {"coil off",
         false,
         [](CQUORVISData&) {},
         3,
         1,
         OutputClick::Toggle,
         {{kWriteCoil, 3, 0}},
         -1},
        {"pulse",
         false,
         [](CQUORVISData& c) {
             c.UsePulseDo[1] = 1;
             c.DurationDo[1] = 800;
             c.SignalLevelDo[1] = 1;
         },
         1,
         0,
         OutputClick::Pulse,
         {{kPulse, 1, 1}},
         1300},
        {"restricted",
         false,
         [](CQUORVISData& c) { c.OutputPortControl = 1; },
         0,
         0,
         OutputClick::Restricted,
         {},
         -1},
        {"RLX-830 coil",
         true,
         [](CQUORVISData&) {},
         1,
         0,
         OutputClick::Toggle,
         {{kWriteCoil, 1, 0xFF00}},
         -1},
    };
    for (const OutputCase& row : cases) {
        SCOPED_TRACE(row.name);
        CQUORVISData record = row.rlx ? rlx : io;
        row.setup(record);
        ControllerCommands commands(record, &rig.monitorLog);
        const OutputClick action = commands.outputAction(row.port);
        EXPECT_EQ(action, row.action);
        CommandOutcome outcome;
        const std::vector<Request> wire = sent(row.rlx ? "rlx" : "io", row.wire.size(), [&] {
            outcome = commands.switchOutput(row.port, action, row.shownValue);
        });
        EXPECT_EQ(wire, row.wire);
        EXPECT_EQ(outcome.pulseTimerMs, row.pulseTimerMs);
        EXPECT_TRUE(outcome.message.isEmpty());
    }
}

TEST_F(Commands, OnePulseAtATimeAndTheOutputsAreReadWhenItIsOver) {
    io.UsePulseDo[4] = 1;
    io.DurationDo[4] = 300;
    io.SignalLevelDo[4] = 1;
    ControllerCommands commands(io, &rig.monitorLog);
    rig.onData = [&](int code) { commands.dataArrived(code); };
    std::vector<Request> wire = sent("io", 1, [&] {
        commands.switchOutput(4, OutputClick::Pulse, 0);
        commands.switchOutput(4, OutputClick::Pulse, 0);
    });
    // The pulse's answer is followed by one read of the outputs.
    ASSERT_TRUE(test::pumpUntil([&] { return rig.requestsOf("io").back().function == 1; }));
    EXPECT_TRUE(commands.pulses().pending());
    wire = rig.requestsOf("io");
    EXPECT_EQ(std::count_if(wire.begin(), wire.end(),
                            [](const Request& r) { return r.function == kPulse; }),
              1);

    wire = sent("io", 1, [&] { commands.pulseTimeUp(4); });
    ASSERT_FALSE(wire.empty());
    EXPECT_EQ(wire.back(), (Request{kReadCoils, 0, 8}));
    EXPECT_TRUE(test::pumpUntil([&] { return !commands.pulses().pending(); }))
        << "the read after the pulse was answered";
    wire = sent("io", 1, [&] { commands.switchOutput(4, OutputClick::Pulse, 0); });
    ASSERT_FALSE(wire.empty()) << "a new pulse once the last one is over";
    EXPECT_EQ(wire.front().function, kPulse);
}

struct DataCase {
    int code;
    bool rlx;
    bool redraw;
    bool inputsFailed;
    bool outputsFailed;
    int readOutputsAfterMs;
    std::vector<Request> wire;
};

TEST_F(Commands, EachNotificationIsFollowedByItsRead) {
    const std::vector<DataCase> cases = {
        {MB_INPUTS, false, true, false, false, -1, {}},
        {MB_OUTPUTS, false, true, false, false, -1, {}},
        {MB_REPORT_OUTPUTS, true, true, false, false, -1, {}},
        {MB_INPUTS_EXCEPTION, false, false, true, false, -1, {}},
        {MB_OUTPUTS_EXCEPTION, false, false, false, true, -1, {}},
        {MB_PULSE_DONE, false, false, false, false, -1, {{kReadCoils, 0, 8}}},
        {MB_PULSE_EXCEPTION, false, false, false, false, -1, {{kReadCoils, 0, 8}}},
        {MB_COIL_EXCEPTION, true, false, false, false, -1, {{kReadCoils, 0, 2}}},
        {MB_COIL_DONE, false, false, false, false, 0, {}},
        {MB_COIL_DONE, true, false, false, false, 100, {}},
        {MB_PULSE_FLAGS, true, true, false, false, -1, {}},
        {MB_COUNTERS, false, false, false, false, -1, {}},
    };
    for (const DataCase& row : cases) {
        SCOPED_TRACE("code " + std::to_string(row.code) + (row.rlx ? " RLX-830" : " generic"));
        ControllerCommands commands(row.rlx ? rlx : io, &rig.monitorLog);
        DataReaction reaction;
        const std::vector<Request> wire = sent(row.rlx ? "rlx" : "io", row.wire.size(),
                                               [&] { reaction = commands.dataArrived(row.code); });
        EXPECT_EQ(reaction.redraw, row.redraw);
        EXPECT_EQ(reaction.inputsFailed, row.inputsFailed);
        EXPECT_EQ(reaction.outputsFailed, row.outputsFailed);
        EXPECT_EQ(reaction.readOutputsAfterMs, row.readOutputsAfterMs);
        EXPECT_EQ(reaction.exceptionCode, 0);
        EXPECT_EQ(wire, row.wire);
    }
}

TEST_F(Commands, AnExceptionToAPulseIsReadBackAndShown) {
    io.UsePulseDo[0] = 1;
    io.DurationDo[0] = 200;
    ControllerCommands commands(io, &rig.monitorLog);
    int exception = 0;
    rig.onData = [&](int code) {
        if (code == MB_PULSE_EXCEPTION) exception = commands.dataArrived(code).exceptionCode;
    };
    rig.sim.command("exception io 6");
    const std::vector<Request> wire =
        sent("io", 2, [&] { commands.switchOutput(0, OutputClick::Pulse, 0); });
    ASSERT_EQ(wire.size(), 2u);
    EXPECT_EQ(wire[0].function, kPulse);
    EXPECT_EQ(wire[1], (Request{kReadCoils, 0, 8}));
    EXPECT_EQ(exception, 6);
    rig.sim.command("exception io 0");
}

TEST_F(Commands, InputsAreReadOnlyWhileConnected) {
    ControllerCommands commands(io, &rig.monitorLog);
    const std::vector<Request> wire = sent("io", 1, [&] { commands.readInputs(); });
    EXPECT_EQ(wire, (std::vector<Request>{{kReadInputs, 0, 8}}));

    const size_t from = rig.logSize();
    disconnect_device(io.DeviceId);
    ASSERT_TRUE(test::pumpUntil([&] { return commands.connectionState() == TCP_CLOSED; }));
    EXPECT_TRUE(commands.readInputs().message.isEmpty());
    EXPECT_EQ(commands.outputAction(0), OutputClick::Ignore);
    test::pumpFor(100);
    EXPECT_TRUE(rig.requestsOf("io", from).empty());
}

TEST(CommandsConnection, ANotificationSetsTheStatusOrRedraws) {
    CQUORVISData record;
    const ControllerCommands commands(record, nullptr);
    const ConnectionReaction connected =
        commands.connectionChanged(CORVEL_LPARAM(0, CORVEL_FD_CONNECT));
    ASSERT_TRUE(connected.status);
    EXPECT_EQ(connected.status->icon, ConnectionIcon::Connected);
    EXPECT_EQ(connected.status->text, loadString(TEXT_CONNECTED));
    EXPECT_FALSE(connected.redraw);
    EXPECT_TRUE(commands.connectionChanged(CORVEL_LPARAM(0, CORVEL_FD_ACCEPT)).status);
    const ConnectionReaction closed = commands.connectionChanged(CORVEL_LPARAM(0, CORVEL_FD_CLOSE));
    EXPECT_FALSE(closed.status);
    EXPECT_TRUE(closed.redraw);
    const ConnectionReaction failed =
        commands.connectionChanged(CORVEL_LPARAM(111, CORVEL_FD_CONNECT));
    ASSERT_TRUE(failed.status);
    EXPECT_EQ(failed.status->icon, ConnectionIcon::Error);
    EXPECT_TRUE(failed.status->text.startsWith("[111]"));
}

} // namespace
} // namespace iomira
