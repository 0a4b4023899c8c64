// Corvel against tevronsim playing the generic controllers: the program's initial read and
// polls, coil writes, pulses that end by themselves, exceptions and broken connections.

#include "corvel_peer.h"
#include "sim_child.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>

using namespace simtest;

namespace {

struct GenericModel {
    const char* section;
    const char* model;
    int inputs;
    int outputs;
};

const GenericModel kModels[] = {
    {"a", "TKA-31", 8, 8},  {"b", "TKA-21", 8, 8},  {"c", "TKA-33", 2, 1},  {"d", "TKA-35", 4, 4},
    {"e", "TKA-31P", 8, 8}, {"f", "TKA-33P", 2, 1}, {"g", "TKA-35P", 4, 4}, {"h", "TKB-11", 1, 1},
};

std::string generic_devices() {
    std::string text;
    for (const auto& m : kModels) {
        text += std::string("[") + m.section + "]\nmodel = " + m.model +
                "\nlisten = 127.0.0.1:0\nunit_id = 3\ninput_base = 10\noutput_base = 20\n"
                "inputs = 0xFFFF\noutputs = 0x0001\n";
    }
    return text + "[io]\nmodel = TKA-35\nlisten = 127.0.0.1:0\noutput_base = 16\ninputs = 0b1010\n";
}

class GenericDevices : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { sim = new SimChild(generic_devices()); }
    static void TearDownTestSuite() {
        delete sim;
        sim = nullptr;
    }
    void TearDown() override {
        for (auto key : keys)
            delete_device(key);
    }
    int32_t open(const std::string& device, int unit, int in_base, int out_base) {
        keys.push_back(connect_to_device(window, sim->port(device), unit, in_base, out_base));
        return keys.back();
    }
    void round_trip(int32_t key) {
        int32_t err = 0;
        size_t inputs = window.data(MB_INPUTS);
        ASSERT_EQ(read_discrete_inputs(key, 4, &err, 0), CORVEL_OK);
        ASSERT_TRUE(pump_until([&] { return window.data(MB_INPUTS) > inputs; }));
    }
    // Log lines of one device from index start on.
    std::vector<std::string> log_of(const std::string& device, size_t start = 0) {
        std::vector<std::string> out;
        auto all = sim->log_lines();
        for (size_t i = start; i < all.size(); ++i) {
            if (json_text(all[i], "device") == device) out.push_back(all[i]);
        }
        return out;
    }

    static SimChild* sim;
    Window window;
    std::vector<int32_t> keys;
};

SimChild* GenericDevices::sim = nullptr;

TEST_F(GenericDevices, InitialReadAndTwoPollsOfEveryModel) {
    for (const auto& m : kModels) {
        SCOPED_TRACE(m.model);
        int32_t key = open(m.section, 3, 10, 20);
        int32_t err = 0;
        for (int pass = 0; pass < 2; ++pass) {
            size_t inputs = window.data(MB_INPUTS), outputs = window.data(MB_OUTPUTS);
            ASSERT_EQ(read_discrete_inputs(key, m.inputs, &err, 0), CORVEL_OK);
            ASSERT_TRUE(pump_until([&] { return window.data(MB_INPUTS) > inputs; }));
            ASSERT_EQ(read_coils(key, m.outputs, &err, 0), CORVEL_OK);
            ASSERT_TRUE(pump_until([&] { return window.data(MB_OUTPUTS) > outputs; }));
        }
        for (int p = 0; p < 8; ++p) {
            EXPECT_EQ(get_received_port_value(key, CORVEL_KIND_INPUT, p), p < m.inputs ? 1 : 0);
            EXPECT_EQ(get_received_port_value(key, CORVEL_KIND_OUTPUT, p), p == 0 ? 1 : 0);
        }
        // What went over the wire: tags and sequence numbers, bases, quantities, the unit.
        auto log = log_of(m.section);
        ASSERT_EQ(log.size(), 4u);
        const long expected[][4] = {{0x2C00, 2, 10, m.inputs},
                                    {0x2D00, 1, 20, m.outputs},
                                    {0x2C01, 2, 10, m.inputs},
                                    {0x2D01, 1, 20, m.outputs}};
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(json_number(log[i], "transaction"), expected[i][0]) << log[i];
            EXPECT_EQ(json_number(log[i], "function"), expected[i][1]) << log[i];
            EXPECT_EQ(json_number(log[i], "address"), expected[i][2]) << log[i];
            EXPECT_EQ(json_number(log[i], "quantity"), expected[i][3]) << log[i];
            EXPECT_EQ(json_number(log[i], "unit"), 3) << log[i];
            EXPECT_EQ(json_text(log[i], "answer"), "response") << log[i];
        }
        // One port past the model's last is outside its address range.
        ASSERT_EQ(read_coils(key, m.outputs + 1, &err, 0), CORVEL_OK);
        ASSERT_TRUE(pump_until([&] { return window.data(MB_OUTPUTS_EXCEPTION) > 0; }));
        EXPECT_EQ(get_modbus_error_code(key), 2);
        window.notices.clear();
    }
}

TEST_F(GenericDevices, CoilWriteIsReadBack) {
    int32_t key = open("io", 1, 0, 16);
    int32_t err = 0;
    ASSERT_EQ(output_port_coil_onoff(key, 3, 0xFF, &err, 0), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return window.data(MB_COIL_DONE) == 1; }));
    EXPECT_EQ(get_write_coil_response_port_number(key), 3);
    ASSERT_EQ(read_coils(key, 4, &err, 0), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return window.data(MB_OUTPUTS) == 1; }));
    EXPECT_EQ(get_received_port_value(key, CORVEL_KIND_OUTPUT, 3), 1);
    EXPECT_EQ(sim->command("show io")[0], "io inputs 0x000a outputs 0x0008 connections 1");
    ASSERT_EQ(output_port_coil_onoff(key, 3, 0x00, &err, 0), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return window.data(MB_COIL_DONE) == 2; }));
    EXPECT_EQ(sim->command("show io")[0], "io inputs 0x000a outputs 0x0000 connections 1");
}

TEST_F(GenericDevices, PulseEndsByItselfAndABusyPortRefusesASecond) {
    int32_t key = open("io", 1, 0, 16);
    int32_t err = 0;
    auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(output_port_pulse(key, 2, 300, 0xFF, &err, 0), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return window.data(MB_PULSE_DONE) == 1; }));
    EXPECT_EQ(get_write_pulse_response_port_number(key), 2);
    EXPECT_EQ(get_write_pulse_response_duration(key), 300);
    ASSERT_EQ(output_port_pulse(key, 2, 300, 0xFF, &err, 0), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return window.data(MB_PULSE_EXCEPTION) == 1; }));
    EXPECT_EQ(get_modbus_error_code(key), 6);

    ASSERT_EQ(read_coils(key, 4, &err, 0), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return window.data(MB_OUTPUTS) == 1; }));
    EXPECT_EQ(get_received_port_value(key, CORVEL_KIND_OUTPUT, 2), 1);
    // Poll as the program does after its pulse timer until the output is back off.
    ASSERT_TRUE(pump_until(
        [&] {
            size_t before = window.data(MB_OUTPUTS);
            read_coils(key, 4, &err, 0);
            pump_until([&] { return window.data(MB_OUTPUTS) > before; }, 500);
            return get_received_port_value(key, CORVEL_KIND_OUTPUT, 2) == 0;
        },
        3000));
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(300));
}

TEST_F(GenericDevices, ExceptionCommandAnswersEveryRequestUntilResumed) {
    int32_t key = open("io", 1, 0, 16);
    int32_t err = 0;
    sim->command("exception io 4");
    ASSERT_EQ(read_discrete_inputs(key, 4, &err, 0), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return window.data(MB_INPUTS_EXCEPTION) == 1; }));
    EXPECT_EQ(get_modbus_error_code(key), 4);
    EXPECT_EQ(get_input_port_read_error(key), 1);
    sim->command("resume io");
    ASSERT_EQ(read_discrete_inputs(key, 4, &err, 0), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return window.data(MB_INPUTS) == 1; }));
    EXPECT_EQ(get_modbus_error_code(key), 0);
    EXPECT_EQ(get_received_port_value(key, CORVEL_KIND_INPUT, 1), 1);
    EXPECT_EQ(get_received_port_value(key, CORVEL_KIND_INPUT, 2), 0);
}

TEST_F(GenericDevices, MalformedFramesAndTheStreamGoesOn) {
    int32_t key = open("io", 1, 0, 16);
    int32_t err = 0;
    round_trip(key); // malformed frames go to the connections the simulator accepted
    // A body too long is a broken stream, always reported; the other two arrive with no
    // request waiting, so they are answers nobody asked for: dropped and counted.
    sim->command("malformed io length");
    ASSERT_TRUE(pump_until([&] { return window.data(MB_BAD_LENGTH) == 1; }));
    for (const char* kind : {"function", "count"}) {
        SCOPED_TRACE(kind);
        const int32_t dropped = get_dropped_answer_count(key);
        sim->command(std::string("malformed io ") + kind);
        ASSERT_TRUE(pump_until([&] { return get_dropped_answer_count(key) == dropped + 1; }));
        EXPECT_EQ(window.data(MB_UNKNOWN_FUNCTION) + window.data(MB_BAD_PACKET), 0u);
    }
    for (int round = 0; round < 3; ++round) {
        size_t inputs = window.data(MB_INPUTS);
        ASSERT_EQ(read_discrete_inputs(key, 4, &err, 0), CORVEL_OK);
        ASSERT_TRUE(pump_until([&] { return window.data(MB_INPUTS) > inputs; }));
    }
}

TEST_F(GenericDevices, SilentDeviceAnswersNothingAndDelayHoldsAnswers) {
    int32_t key = open("io", 1, 0, 16);
    int32_t err = 0;
    size_t log_start = sim->log_lines().size();
    sim->command("silent io");
    ASSERT_EQ(read_discrete_inputs(key, 4, &err, 0), CORVEL_OK);
    pump_for(300);
    EXPECT_EQ(window.data(MB_INPUTS), 0u);
    auto log = log_of("io", log_start);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(json_text(log[0], "reason"), "silent");

    sim->command("resume io");
    sim->command("delay io 250");
    auto sent = std::chrono::steady_clock::now();
    ASSERT_EQ(read_discrete_inputs(key, 4, &err, 0), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return window.data(MB_INPUTS) == 1; }));
    EXPECT_GE(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(250));
    sim->command("resume io");
}

TEST_F(GenericDevices, SilencedDeviceTimesOutAndAnswersAgainAfterReconnecting) {
    int32_t key = open("io", 1, 0, 16);
    round_trip(key);
    struct DefaultTimeoutAfterwards {
        ~DefaultTimeoutAfterwards() { corvel_set_answer_timeout(CORVEL_ANSWER_TIMEOUT_MS); }
    } restore;
    ASSERT_EQ(corvel_set_answer_timeout(300), CORVEL_OK);
    sim->command("silent io");
    int32_t err = 0;
    ASSERT_EQ(read_discrete_inputs(key, 4, &err, 0), CORVEL_OK);
    const intptr_t timed_out = CORVEL_LPARAM(ETIMEDOUT, CORVEL_FD_CLOSE);
    const bool failed = pump_until([&] { return window.count(CORVEL_WM_CONNECTION, timed_out); });
    sim->command("resume io");
    ASSERT_TRUE(failed);
    EXPECT_EQ(get_tcp_connection_state(key), TCP_ERROR);
    EXPECT_EQ(get_tcp_error_code(key), ETIMEDOUT);

    ASSERT_EQ(connect_device(key, &err), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return get_tcp_connection_state(key) == TCP_ESTABLISHED; }));
    round_trip(key);
    EXPECT_EQ(get_unanswered_ms(key), 0);
    EXPECT_EQ(window.count(CORVEL_WM_CONNECTION, timed_out), 1u);
}

TEST_F(GenericDevices, DroppedAndRefusedConnections) {
    int32_t key = open("io", 1, 0, 16);
    // A round trip first: a connection the simulator has not accepted yet cannot be dropped.
    round_trip(key);
    sim->command("drop io");
    ASSERT_TRUE(
        pump_until([&] { return window.count(CORVEL_WM_CONNECTION, CORVEL_FD_CLOSE) == 1; }));
    EXPECT_EQ(get_tcp_connection_state(key), TCP_CLOSED);

    int32_t err = 0;
    ASSERT_EQ(connect_device(key, &err), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return get_tcp_connection_state(key) == TCP_ESTABLISHED; }));

    round_trip(key);
    sim->command("refuse io on");
    sim->command("drop io");
    ASSERT_TRUE(pump_until([&] { return get_tcp_connection_state(key) == TCP_CLOSED; }));
    ASSERT_EQ(connect_device(key, &err), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return get_tcp_connection_state(key) == TCP_ERROR; }));
    EXPECT_EQ(get_tcp_error_code(key), ECONNREFUSED);
    EXPECT_EQ(window.count(CORVEL_WM_CONNECTION, CORVEL_LPARAM(ECONNREFUSED, CORVEL_FD_CONNECT)),
              1u);

    sim->command("refuse io off");
    ASSERT_EQ(connect_device(key, &err), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return get_tcp_connection_state(key) == TCP_ESTABLISHED; }));
    round_trip(key);
}

TEST_F(GenericDevices, AStarInPlaceOfTheDeviceReachesEveryDevice) {
    const int32_t a = open("a", 3, 10, 20);
    const int32_t io = open("io", 1, 0, 16);
    round_trip(a);
    round_trip(io);
    sim->command("drop *");
    ASSERT_TRUE(pump_until([&] {
        return get_tcp_connection_state(a) == TCP_CLOSED &&
               get_tcp_connection_state(io) == TCP_CLOSED;
    }));
    // A bad argument is an error, as it is for one device.
    EXPECT_THROW(sim->command("exception * 999"), std::runtime_error);
}

} // namespace
