// The RLX windows' notification tables against the simulator: every data and connection
// notification a window handles arrives for real from the controller, and what the window
// sends in reply is checked in the simulator's request log.

#include "common/event_pump.h"
#include "common/test_support.h"
#include "core/device_family.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "corvel/corvel.h"
#include "monitor/commands_rig.h"
#include "ui/windows/model_view.h"

#include <QLabel>
#include <QProgressBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace iomira {
namespace {

using test::pumpUntil;
using test::Request;

constexpr long kWriteCoil = 5;
constexpr long kPulseControl = 80, kCounterReset = 240;
const Request kAnalogRead{4, 0, 4}, kCounterRead{4, 160, 8}, kInputRead{2, 0, 4},
    kOutputRead{1, 0, 4};
// The window's follow-up reads wait 100 ms; a read is taken as one of them from a little less
// on (timers may fire a few milliseconds early), up to a bound a loaded machine stays within.
constexpr long kFollowUpMinMs = 90, kFollowUpMaxMs = 2000;

std::vector<Request> sorted(std::vector<Request> requests) {
    std::sort(requests.begin(), requests.end(), [](const Request& a, const Request& b) {
        return std::tie(a.function, a.address, a.quantity) <
               std::tie(b.function, b.address, b.quantity);
    });
    return requests;
}

class ModelNotifications : public ::testing::Test {
  protected:
    ModelNotifications()
        : rig({{"n850", "RLX-850"},
               {"n820", "RLX-820"},
               {"n840", "RLX-840"},
               {"n810", "RLX-810"}}) {
        setLanguage(LANG_ENGLISH);
        rig.onNotify = [this](uint32_t message, uintptr_t wparam, intptr_t lparam) {
            for (const auto& view : views)
                view->onCorvelNotification(message, wparam, lparam);
        };
    }
    ~ModelNotifications() override { rig.onNotify = nullptr; }

    // A window on a connected controller of the device with every counter and channel on,
    // channels from 0 to 10 V; the controller is not polled unless the test says so.
    CModelView& open(const std::string& device, int family, int inputs, int outputs) {
        CQUORVISData& c = rig.connect(device, family, inputs, outputs);
        c.DeviceComment = QString::fromStdString(device);
        c.UseLog = 1;
        c.DiCounter = {1, 1, 1, 1};
        c.AI = {1, 1, 1, 1};
        c.AIMin = {"0", "0", "0", "0"};
        c.AIMax = {"10", "10", "10", "10"};
        c.AIUnit = {"V", "V", "V", "V"};
        c.AIName = {"A0", "A1", "A2", "A3"};
        c.Polling = 1;
        c.PollingInput = 1;
        ViewServices services;
        services.prompts = &prompts;
        services.log = &rig.monitorLog;
        views.push_back(std::make_unique<CModelView>(c, services));
        return *views.back();
    }
    bool waitData(int code, int count = 1) {
        return pumpUntil([&] { return rig.dataCount(code) >= count; });
    }
    // The requests of a device from log line `from` on, once `count` arrived and the window
    // had time for any follow-up read it would still send.
    std::vector<Request> settled(const std::string& device, size_t from, size_t count) {
        EXPECT_TRUE(rig.waitRequests(device, from, count)) << device;
        test::pumpFor(300);
        return rig.requestsOf(device, from);
    }
    // Milliseconds from the device's first logged request from `from` on to each later one.
    std::vector<long> delaysAfterFirst(const std::string& device, size_t from) const {
        std::vector<long> times;
        const std::vector<std::string> lines = rig.sim.log_lines();
        for (size_t i = from; i < lines.size(); ++i) {
            if (simtest::json_text(lines[i], "device") == device)
                times.push_back(simtest::json_number(lines[i], "ms"));
        }
        std::vector<long> delays;
        for (size_t i = 1; i < times.size(); ++i)
            delays.push_back(times[i] - times[0]);
        return delays;
    }
    bool shown(const QString& text) const { return prompts.shown.contains(text); }

    test::CommandsRig rig;
    test::RecordingPrompts prompts;
    std::vector<std::unique_ptr<CModelView>> views;
};

TEST_F(ModelNotifications, Rlx850ReadsAndChangeReportsRedrawWhatTheyCarry) {
    CModelView& view = open("n850", FAMILY_RLX850, 4, 4);
    CQUORVISData& c = view.controller();
    c.PollingInput = 0;
    rig.sim.command("inputs n850 0b0101");
    rig.sim.command("counter n850 2 100000");
    rig.sim.command("analog n850 0 4095");
    rig.sim.command("output n850 3 1");

    // A lamp click reads the input registers: analog values (17), counters (18), inputs (2).
    size_t from = rig.logSize();
    view.clickInput();
    ASSERT_TRUE(waitData(MB_INPUTS) && waitData(MB_COUNTERS) && waitData(MB_ANALOG_VALUES));
    EXPECT_EQ(sorted(settled("n850", from, 3)), sorted({kAnalogRead, kCounterRead, kInputRead}));
    EXPECT_EQ(view.inputImage(0).color, LampColor::Yellow);
    EXPECT_EQ(view.inputImage(1).color, LampColor::Grey);
    EXPECT_EQ(view.counterText(2), "100,000 ");
    EXPECT_EQ(view.analogText(0), "10.00V ");
    EXPECT_EQ(view.analogBar(0)->value(), 1000);
    EXPECT_TRUE(rig.logged("Send a read request to input ports"));

    // Outputs (3) as the polling reads them.
    int32_t error = 0;
    ASSERT_EQ(read_coils(c.DeviceId, 4, &error, 0), CORVEL_OK);
    ASSERT_TRUE(waitData(MB_OUTPUTS));
    EXPECT_EQ(view.outputImage(3).color, LampColor::Green);

    // Once reports are on, changes at the device arrive without a request (22, 23, 24).
    ASSERT_EQ(rlx8xx_eit_request(c.DeviceId, 4, 0x83, &error, 0), CORVEL_OK);
    ASSERT_TRUE(waitData(MB_DI_CHANGE_DONE));
    from = rig.logSize();
    rig.sim.command("input n850 1 1");
    ASSERT_TRUE(waitData(MB_REPORT_INPUTS) && waitData(MB_REPORT_COUNTERS));
    EXPECT_EQ(view.inputImage(1).color, LampColor::Yellow);
    EXPECT_EQ(view.counterText(1), "1 ");
    rig.sim.command("output n850 0 1");
    ASSERT_TRUE(waitData(MB_REPORT_OUTPUTS));
    EXPECT_EQ(view.outputImage(0).color, LampColor::Green);
    EXPECT_TRUE(rig.requestsOf("n850", from).empty());
}

TEST_F(ModelNotifications, Rlx850PulseFlagsTurnAClickIntoThePulseCommand) {
    CModelView& view = open("n850", FAMILY_RLX850, 4, 4);
    const int id = view.controller().DeviceId;
    rig.sim.command("pulses n850 0b0010 200");
    int32_t error = 0;
    ASSERT_EQ(rlx8xx_eit_request(id, 4, 0x85, &error, 0), CORVEL_OK);
    ASSERT_TRUE(waitData(MB_PULSE_FLAGS));
    EXPECT_EQ(view.outputImage(1), (LampImage{LampColor::Grey, LampMark::Pulse}));
    EXPECT_EQ(view.outputImage(0).mark, LampMark::None);

    const size_t from = rig.logSize();
    view.clickOutput(1);
    view.clickOutput(0);
    EXPECT_EQ(
        settled("n850", from, 2),
        (std::vector<Request>{{kWriteCoil, kPulseControl + 1, 0xFF00}, {kWriteCoil, 0, 0xFF00}}));
    EXPECT_TRUE(rig.logged("Send a write pulse request"));
}

// What a refused request shows and what the window reads after it.
struct ExceptionCase {
    const char* name;
    std::function<void(CModelView&)> trigger;
    int code; // the notification the refusal arrives as
    std::vector<Request> wire;
    bool outputsFailed;
};

TEST_F(ModelNotifications, Rlx850RefusalsShowTheirTextAndReadTheOutputsBack) {
    const auto pulse = [](CModelView& v) {
        int32_t error = 0;
        output_port_pulse(v.controller().DeviceId, 2, 500, 1, &error, 0);
    };
    const auto readCoils = [](CModelView& v) {
        int32_t error = 0;
        read_coils(v.controller().DeviceId, 4, &error, 0);
    };
    const std::vector<ExceptionCase> cases = {
        {"inputs",
         [](CModelView& v) { v.clickInput(); },
         MB_INPUTS_EXCEPTION,
         {kAnalogRead, kCounterRead, kInputRead},
         false},
        {"outputs", readCoils, MB_OUTPUTS_EXCEPTION, {kOutputRead}, true},
        {"coil write",
         [](CModelView& v) { v.clickOutput(2); },
         MB_COIL_EXCEPTION,
         {{kWriteCoil, 2, 0xFF00}, kOutputRead},
         true},
        {"pulse", pulse, MB_PULSE_EXCEPTION, {{0x69, 2, 1}, kOutputRead}, true},
    };
    CModelView& view = open("n850", FAMILY_RLX850, 4, 4);
    view.controller().PollingInput = 0;
    rig.sim.command("exception n850 4");
    const QString text = "[Error 04] Attempting to perform the request has failed.";
    for (const ExceptionCase& k : cases) {
        prompts.shown.clear();
        const int before = rig.dataCount(k.code);
        const size_t from = rig.logSize();
        k.trigger(view);
        ASSERT_TRUE(waitData(k.code, before + 1)) << k.name;
        std::vector<Request> wire = settled("n850", from, k.wire.size());
        EXPECT_EQ(sorted(wire), sorted(k.wire)) << k.name;
        EXPECT_TRUE(pumpUntil([&] { return shown(text); })) << k.name;
        EXPECT_EQ(view.outputImage(0).mark == LampMark::Error, k.outputsFailed) << k.name;
        view.redraw();
    }
    rig.sim.command("resume n850");
}

// A coil write's answer (13) and the reads the polling leaves to the window.
struct CoilDoneCase {
    const char* device;
    int polling, pollingInput;
    std::vector<Request> reads; // what follows the write, about 100 ms later
};

TEST_F(ModelNotifications, ACoilWriteIsFollowedByTheReadsThePollingLeavesOut) {
    const std::vector<CoilDoneCase> cases = {
        {"n850", 0, 0, {kAnalogRead, kCounterRead, kInputRead, kOutputRead}},
        {"n850", 1, 0, {kAnalogRead, kCounterRead, kInputRead}},
        {"n850", 0, 1, {}},
        {"n850", 1, 1, {}},
        {"n820", 0, 0, {kCounterRead, kInputRead}},
        {"n820", 1, 0, {kCounterRead, kInputRead}},
        {"n820", 0, 1, {}},
    };
    CModelView& r850 = open("n850", FAMILY_RLX850, 4, 4);
    CModelView& r820 = open("n820", FAMILY_RLX820, 4, 0);
    prompts.answer = true;
    for (const CoilDoneCase& k : cases) {
        const std::string name = std::string(k.device) + " polling " + std::to_string(k.polling) +
                                 "/" + std::to_string(k.pollingInput);
        const bool is850 = std::string(k.device) == "n850";
        CModelView& view = is850 ? r850 : r820;
        view.controller().Polling = k.polling;
        view.controller().PollingInput = k.pollingInput;
        view.redraw(); // the output states the click toggles
        const auto inputReadsLogged = [&] {
            return rig.files.etcOf(QString::fromLatin1(k.device))
                .filter(QStringLiteral("Send a read request to input ports"))
                .size();
        };
        const qsizetype logged = inputReadsLogged();
        const size_t from = rig.logSize();
        if (is850)
            view.clickOutput(1);
        else
            view.clickReset(1);
        std::vector<Request> wire = settled(k.device, from, 1 + k.reads.size());
        ASSERT_FALSE(wire.empty()) << name;
        EXPECT_EQ(wire.front().function, kWriteCoil) << name;
        EXPECT_EQ(wire.front().address, is850 ? 1 : kCounterReset + 1) << name;
        wire.erase(wire.begin());
        EXPECT_EQ(sorted(wire), sorted(k.reads)) << name;
        if (!is850) {
            EXPECT_EQ(inputReadsLogged(), logged + (k.reads.empty() ? 0 : 1)) << name;
        }
        for (long delay : delaysAfterFirst(k.device, from)) {
            EXPECT_GE(delay, kFollowUpMinMs) << name;
            EXPECT_LE(delay, kFollowUpMaxMs) << name;
        }
    }
}

TEST_F(ModelNotifications, Rlx820PolledForItsInputsIgnoresLampClicksAndResetsOnlyCounting) {
    CModelView& view = open("n820", FAMILY_RLX820, 4, 0);
    CQUORVISData& c = view.controller();
    c.PollingInput = 1;
    size_t from = rig.logSize();
    view.clickInput();
    EXPECT_TRUE(settled("n820", from, 0).empty()) << "the polling reads the inputs anyway";

    c.PollingInput = 0;
    c.DiCounter[3] = 0;
    const int questions = prompts.questions;
    from = rig.logSize();
    view.clickReset(3);
    EXPECT_EQ(prompts.questions, questions) << "no question for a counter that is off";
    EXPECT_TRUE(settled("n820", from, 0).empty());

    view.clickInput();
    EXPECT_EQ(sorted(settled("n820", from, 2)), sorted({kCounterRead, kInputRead}));
}

TEST_F(ModelNotifications, Rlx820ReadsReportsAndRefusals) {
    CModelView& view = open("n820", FAMILY_RLX820, 4, 0);
    CQUORVISData& c = view.controller();
    c.PollingInput = 0;
    rig.sim.command("input n820 2 1");
    rig.sim.command("counter n820 0 4294967295");
    view.clickInput();
    ASSERT_TRUE(waitData(MB_INPUTS) && waitData(MB_COUNTERS));
    EXPECT_EQ(view.inputImage(2).color, LampColor::Yellow);
    EXPECT_EQ(view.counterText(0), "4,294,967,295 ");

    int32_t error = 0;
    ASSERT_EQ(rlx8xx_eit_request(c.DeviceId, 4, 0x83, &error, 0), CORVEL_OK);
    ASSERT_TRUE(waitData(MB_DI_CHANGE_DONE));
    for (const char* value : {"1", "0", "1"})
        rig.sim.command(std::string("input n820 3 ") + value);
    EXPECT_TRUE(pumpUntil([&] { return view.counterText(3) == "2 "; })) << "two rising edges";
    EXPECT_EQ(view.inputImage(3).color, LampColor::Yellow);

    rig.sim.command("exception n820 2");
    const QString text = "[Error 02] Illegal data address.";
    view.clickReset(0);
    ASSERT_TRUE(waitData(MB_COIL_EXCEPTION));
    EXPECT_TRUE(pumpUntil([&] { return shown(text); })) << "coil refusal (14)";
    prompts.shown.clear();
    view.clickInput();
    ASSERT_TRUE(waitData(MB_INPUTS_EXCEPTION));
    EXPECT_TRUE(pumpUntil([&] { return shown(text); })) << "input refusal (5)";
    EXPECT_EQ(view.statusText(), "Connected") << "the full refresh after a refusal";
    rig.sim.command("resume n820");
}

struct SensorCase {
    int error;
    QString status;
};

TEST_F(ModelNotifications, Rlx840ShowsTheTemperatureOrTheSensorsErrorOncePerRead) {
    CModelView& view = open("n840", FAMILY_RLX840, 0, 0);
    const int id = view.controller().DeviceId;
    view.controller().AIMin[0] = "-40";
    view.controller().AIMax[0] = "85";
    const auto readAll = [&] {
        const int before = rig.dataCount(MB_ANALOG_ERRORS);
        int32_t error = 0;
        ASSERT_EQ(rlx8xx_read_all(id, FAMILY_RLX840, CORVEL_READ_INPUTS, &error), CORVEL_OK);
        ASSERT_TRUE(waitData(MB_ANALOG_ERRORS, before + 1));
    };
    rig.sim.command("temp n840 -12.3");
    readAll();
    EXPECT_EQ(view.analogText(0), QString::fromUtf8("-12.3\u2103 "));
    EXPECT_EQ(view.analogBar(0)->value(), -1230);
    rig.sim.command("mode n840 0 1");
    rig.sim.command("temp n840 98.6");
    readAll();
    EXPECT_EQ(view.analogText(0), QString::fromUtf8("98.6\u2109 "));

    const std::vector<SensorCase> cases = {
        {1, "[E01] H/W Init Error."},
        {2, "[E02] H/W Runtime Error."},
        {3, "[E03] RTD Sensor Disconnected."},
        {4, "[E04] RTD Sensor Failed."},
        {9, "[E09] "},
        {0, "Connected"},
    };
    for (const SensorCase& k : cases) {
        rig.sim.command("error n840 0 " + std::to_string(k.error));
        readAll();
        EXPECT_EQ(view.statusText(), k.status) << k.error;
        if (k.error > 0) {
            EXPECT_EQ(rig.files.etcOf("n840").filter(k.status.trimmed()).size(), 1) << k.error;
            EXPECT_EQ(view.analogText(0), QString::fromUtf8("98.6\u2109 "))
                << "the last value stays";
        }
    }

    // Corvel reports a refused register read only for the plain read of input registers.
    rig.sim.command("exception n840 1");
    int32_t error = 0;
    ASSERT_EQ(input_registers_read(id, 1, &error), CORVEL_OK);
    ASSERT_TRUE(waitData(MB_INPUTS_EXCEPTION));
    EXPECT_TRUE(pumpUntil([&] { return shown("[Error 01] Illegal function code."); }));
    rig.sim.command("resume n840");
}

TEST_F(ModelNotifications, Rlx810RedrawsOnlyTheChannelsSwitchedOn) {
    CModelView& view = open("n810", FAMILY_RLX810, 0, 0);
    CQUORVISData& c = view.controller();
    c.PollingInput = 0;
    c.AIMin[1] = "4";
    c.AIMax[1] = "20";
    c.AIUnit[1] = "mA";
    c.AI[2] = 0;
    rig.sim.command("analog n810 0 2048");
    rig.sim.command("analog n810 1 4095");
    rig.sim.command("analog n810 2 4095");
    const QString untouched = view.analogText(2);
    view.clickInput();
    ASSERT_TRUE(waitData(MB_ANALOG_VALUES));
    EXPECT_EQ(view.analogText(0), "5.00V ");
    EXPECT_EQ(view.analogText(1), "20.00mA ");
    EXPECT_EQ(view.analogText(2), untouched) << "a channel switched off keeps its text";

    rig.sim.command("exception n810 3");
    int32_t error = 0;
    ASSERT_EQ(input_registers_read(c.DeviceId, 4, &error), CORVEL_OK);
    ASSERT_TRUE(waitData(MB_INPUTS_EXCEPTION));
    EXPECT_TRUE(pumpUntil([&] { return shown("[Error 03] Illegal data value."); }));
    rig.sim.command("resume n810");
}

// A model's window after its connection closed, came back and failed.
struct ConnectionCase {
    const char* device;
    int family, inputs, outputs;
    QString closedValue; // channel 0's text once closed
};

TEST_F(ModelNotifications, ConnectionNotificationsOfEveryModel) {
    const std::vector<ConnectionCase> cases = {
        {"n850", FAMILY_RLX850, 4, 4, "0.00V "},
        {"n820", FAMILY_RLX820, 4, 0, ""},
        {"n840", FAMILY_RLX840, 0, 0, QString::fromUtf8("0.0\u2103 ")},
        {"n810", FAMILY_RLX810, 0, 0, "0.00V "},
    };
    for (const ConnectionCase& k : cases) {
        CModelView& view = open(k.device, k.family, k.inputs, k.outputs);
        const int id = view.controller().DeviceId;
        view.redraw();
        ASSERT_EQ(view.statusText(), "Connected") << k.device;
        ASSERT_EQ(rig.connectionsAt(k.device), 1u) << k.device;
        rig.sim.command(std::string("drop ") + k.device);
        ASSERT_TRUE(pumpUntil([&] { return view.statusText() == "Closed"; }))
            << k.device << ": " << view.statusText().toStdString();
        if (k.family != FAMILY_RLX820) {
            EXPECT_EQ(view.analogText(0), k.closedValue) << k.device;
            EXPECT_EQ(view.analogLabel(0)->text(), " A0") << k.device;
            EXPECT_EQ(view.analogBar(0)->value(), view.analogBar(0)->minimum()) << k.device;
        }

        int32_t error = 0;
        ASSERT_EQ(connect_device(id, &error), CORVEL_OK);
        EXPECT_TRUE(pumpUntil([&] { return view.statusText() == "Connected"; })) << k.device;

        disconnect_device(id);
        rig.sim.command(std::string("refuse ") + k.device + " on");
        connect_device(id, &error);
        EXPECT_TRUE(pumpUntil([&] { return view.statusText() == "[111] Connection refused"; }))
            << k.device << ": " << view.statusText().toStdString();
        rig.sim.command(std::string("refuse ") + k.device + " off");
    }
}

} // namespace
} // namespace iomira
