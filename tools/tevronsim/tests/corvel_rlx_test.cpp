// Corvel against tevronsim playing the DEV-8i0 controllers: identification, the input-change
// enable that follows it, change reports, the pipelined reads of every family, the
// controller's own pulses and the RLX-840 temperature.

#include "corvel_peer.h"
#include "sim_child.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

using namespace simtest;

namespace {

const char* const kDevices = R"(
[r810]
model = RLX-810
listen = 127.0.0.1:0
analog = 0, 1024, 2048, 4095

[r820]
model = RLX-820
listen = 127.0.0.1:0
inputs = 0b0100
counters = 0x00010002, 7, 0, 65535
change_port = 2

[r830]
model = RLX-830
listen = 127.0.0.1:0
pulse_flags = 0x0001
pulse_ms = 300

[r850]
model = RLX-850
listen = 127.0.0.1:0
inputs = 0b1001
outputs = 0b0110
counters = 1, 2, 3, 100000
analog = 819, 1638, 2457, 3276

[r840]
model = RLX-840
listen = 127.0.0.1:0
temperature = -12.3
modes = 1
errors = 3
)";

class RlxDevices : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { sim = new SimChild(kDevices); }
    static void TearDownTestSuite() {
        delete sim;
        sim = nullptr;
    }
    void TearDown() override {
        if (key >= 0) delete_device(key);
    }
    void open(const std::string& device) {
        key = connect_to_device(window, sim->port(device), 255);
    }
    // As the program does on a connection: identification, and the read once the device
    // acknowledged the input-change enable that Corvel sends for object 0x83.
    void identify_and_read(int family, bool pulse_flags) {
        if (pulse_flags) {
            ASSERT_EQ(rlx8xx_eit_request(key, 4, 0x85, &err, 0), CORVEL_OK);
        }
        ASSERT_EQ(rlx8xx_eit_request(key, 4, 0x83, &err, 0), CORVEL_OK);
        ASSERT_TRUE(pump_until([&] { return window.data(MB_DI_CHANGE_DONE) == 1; }));
        ASSERT_EQ(rlx8xx_read_all(key, family, CORVEL_READ_INPUTS_OUTPUTS, &err), CORVEL_OK);
    }
    int counter(int n) {
        return get_di_counter_value_register(key, 2 * n) << 16 |
               get_di_counter_value_register(key, 2 * n + 1);
    }

    static SimChild* sim;
    Window window;
    int32_t key = -1;
    int32_t err = 0;
};

SimChild* RlxDevices::sim = nullptr;

TEST_F(RlxDevices, Rlx820EnablesChangeReportsAndReportsInputsAndCounters) {
    open("r820");
    size_t log_start = sim->log_lines().size();
    identify_and_read(CORVEL_FAMILY_RLX820, false);
    ASSERT_TRUE(
        pump_until([&] { return window.data(MB_COUNTERS) == 1 && window.data(MB_INPUTS) == 1; }));
    EXPECT_EQ(counter(0), 0x00010002);
    EXPECT_EQ(counter(3), 65535);
    EXPECT_EQ(get_received_port_value(key, CORVEL_KIND_INPUT, 2), 1);

    // The enable went to coil 1200 + the port the device announced, with Corvel's tag "7".
    auto log = sim->log_lines();
    ASSERT_GE(log.size(), log_start + 2);
    const std::string& enable = log[log_start + 1];
    EXPECT_EQ(json_number(enable, "function"), 5) << enable;
    EXPECT_EQ(json_number(enable, "address"), 1202) << enable;
    EXPECT_EQ(json_number(enable, "value"), 0xFF00) << enable;
    EXPECT_EQ(json_number(enable, "transaction") >> 8, 0x37) << enable;

    sim->command("input r820 0 1");
    ASSERT_TRUE(pump_until([&] {
        return window.data(MB_REPORT_INPUTS) == 1 && window.data(MB_REPORT_COUNTERS) == 1;
    }));
    EXPECT_EQ(get_received_port_value(key, CORVEL_KIND_INPUT, 0), 1);
    EXPECT_EQ(counter(0), 0x00010003);

    ASSERT_EQ(reset_di_statistics(key, 0, &err, 0), CORVEL_OK);
    ASSERT_TRUE(pump_until(
        [&] { return window.data(MB_COIL_DONE) == 1 && window.data(MB_REPORT_COUNTERS) == 2; }));
    EXPECT_EQ(counter(0), 0);
    EXPECT_EQ(counter(1), 7);
}

TEST_F(RlxDevices, Rlx830PulseFlagsAndAPulseTheDeviceEndsItself) {
    open("r830");
    identify_and_read(CORVEL_FAMILY_RLX830, true);
    ASSERT_TRUE(pump_until(
        [&] { return window.data(MB_PULSE_FLAGS) == 1 && window.data(MB_OUTPUTS) == 1; }));
    EXPECT_EQ(get_rlx8xx_output_pulse(key, 0), 1);
    EXPECT_EQ(get_rlx8xx_output_pulse(key, 1), 0);

    ASSERT_EQ(rlx8xx_pulse_control(key, 0, &err, 0), CORVEL_OK);
    ASSERT_TRUE(pump_until(
        [&] { return window.data(MB_COIL_DONE) == 1 && window.data(MB_REPORT_OUTPUTS) == 1; }));
    EXPECT_EQ(get_received_port_value(key, CORVEL_KIND_OUTPUT, 0), 1);
    ASSERT_TRUE(pump_until([&] { return window.data(MB_REPORT_OUTPUTS) == 2; }, 2000));
    EXPECT_EQ(get_received_port_value(key, CORVEL_KIND_OUTPUT, 0), 0);

    // Port 1 is not pulsed by the device; the coil write switches it.
    ASSERT_EQ(output_port_coil_onoff(key, 1, 0xFF, &err, 0), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return window.data(MB_REPORT_OUTPUTS) == 3; }));
    EXPECT_EQ(get_received_port_value(key, CORVEL_KIND_OUTPUT, 1), 1);
}

TEST_F(RlxDevices, PulseFlagsChangedWhileRunningAreReadAtTheNextIdentification) {
    open("r850");
    ASSERT_EQ(rlx8xx_eit_request(key, 4, 0x85, &err, 0), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return window.data(MB_PULSE_FLAGS) == 1; }));
    EXPECT_EQ(get_rlx8xx_output_pulse(key, 1), 0);

    sim->command("pulses r850 0b0010 200");
    EXPECT_EQ(sim->command("show r850").at(2), "pulse_flags 2 pulse_ms 200");
    ASSERT_EQ(rlx8xx_eit_request(key, 4, 0x85, &err, 0), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return window.data(MB_PULSE_FLAGS) == 2; }));
    EXPECT_EQ(get_rlx8xx_output_pulse(key, 0), 0);
    EXPECT_EQ(get_rlx8xx_output_pulse(key, 1), 1);

    // Output 1 now pulses; output 0 refuses the pulse command as an illegal value.
    ASSERT_EQ(rlx8xx_pulse_control(key, 1, &err, 0), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return window.data(MB_COIL_DONE) == 1; }));
    ASSERT_EQ(rlx8xx_pulse_control(key, 0, &err, 0), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return window.data(MB_COIL_EXCEPTION) == 1; }));
    EXPECT_EQ(get_modbus_error_code(key), 3);

    EXPECT_THROW(sim->command("pulses r820 1 100"), std::runtime_error) << "no outputs";
    EXPECT_THROW(sim->command("pulses r850 0x10 100"), std::runtime_error) << "four outputs";
    EXPECT_THROW(sim->command("pulses r850 1 0"), std::runtime_error) << "no length";
    sim->command("pulses r850 0 500");

    const auto help = sim->command("help");
    EXPECT_TRUE(std::any_of(help.begin(), help.end(), [](const std::string& line) {
        return line.rfind("  pulses DEV MASK MS ", 0) == 0;
    }));
}

TEST_F(RlxDevices, Rlx850ReadsEverythingInOnePipelinedGroup) {
    open("r850");
    size_t log_start = sim->log_lines().size();
    ASSERT_EQ(rlx8xx_read_all(key, CORVEL_FAMILY_RLX850, CORVEL_READ_INPUTS_OUTPUTS, &err),
              CORVEL_OK);
    ASSERT_TRUE(pump_until([&] {
        return window.data(MB_ANALOG_VALUES) == 1 && window.data(MB_COUNTERS) == 1 &&
               window.data(MB_INPUTS) == 1 && window.data(MB_OUTPUTS) == 1;
    }));
    const int analog[] = {819, 1638, 2457, 3276};
    for (int ch = 0; ch < 4; ++ch)
        EXPECT_EQ(get_ai_value_register(key, ch), analog[ch]);
    EXPECT_EQ(counter(3), 100000);
    const int inputs[] = {1, 0, 0, 1}, outputs[] = {0, 1, 1, 0};
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(get_received_port_value(key, CORVEL_KIND_INPUT, p), inputs[p]);
        EXPECT_EQ(get_received_port_value(key, CORVEL_KIND_OUTPUT, p), outputs[p]);
    }
    auto log = sim->log_lines();
    ASSERT_EQ(log.size(), log_start + 4);
    const long expected[][4] = {
        {0x35, 4, 0, 4}, {0x36, 4, 160, 8}, {0x2C, 2, 0, 4}, {0x2D, 1, 0, 4}};
    for (size_t i = 0; i < 4; ++i) {
        const auto& line = log[log_start + i];
        EXPECT_EQ(json_number(line, "transaction") >> 8, expected[i][0]) << line;
        EXPECT_EQ(json_number(line, "function"), expected[i][1]) << line;
        EXPECT_EQ(json_number(line, "address"), expected[i][2]) << line;
        EXPECT_EQ(json_number(line, "quantity"), expected[i][3]) << line;
    }
}

TEST_F(RlxDevices, Rlx810AnalogValues) {
    open("r810");
    ASSERT_EQ(rlx8xx_read_all(key, CORVEL_FAMILY_RLX810, CORVEL_READ_INPUTS, &err), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return window.data(MB_ANALOG_VALUES) == 1; }));
    EXPECT_EQ(get_ai_value_register(key, 1), 1024);
    EXPECT_EQ(get_ai_value_register(key, 3), 4095);
    sim->command("analog r810 2 77");
    ASSERT_EQ(rlx8xx_read_all(key, CORVEL_FAMILY_RLX810, CORVEL_READ_INPUTS, &err), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return window.data(MB_ANALOG_VALUES) == 2; }));
    EXPECT_EQ(get_ai_value_register(key, 2), 77);
}

TEST_F(RlxDevices, Rlx840TemperatureModeAndErrorCode) {
    open("r840");
    ASSERT_EQ(rlx8xx_read_all(key, CORVEL_FAMILY_RLX840, CORVEL_READ_INPUTS, &err), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] {
        return window.data(MB_ANALOG_VALUES) == 1 && window.data(MB_ANALOG_MODES) == 1 &&
               window.data(MB_ANALOG_ERRORS) == 1;
    }));
    EXPECT_EQ(static_cast<int16_t>(get_ai_value_register(key, 0)), -123);
    EXPECT_EQ(get_ai_mode(key, 0), 1);
    EXPECT_EQ(get_ai_error_code(key, 0), 3);

    sim->command("temp r840 21.5");
    sim->command("mode r840 0 0");
    sim->command("error r840 0 0");
    ASSERT_EQ(rlx8xx_read_all(key, CORVEL_FAMILY_RLX840, CORVEL_READ_INPUTS, &err), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return window.data(MB_ANALOG_ERRORS) == 2; }));
    EXPECT_EQ(get_ai_value_register(key, 0), 215);
    EXPECT_EQ(get_ai_mode(key, 0), 0);
    EXPECT_EQ(get_ai_error_code(key, 0), 0);
}

} // namespace
