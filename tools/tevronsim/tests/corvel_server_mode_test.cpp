// Corvel's server modes against tevronsim in the client role: the simulator connects to the
// listening entry, keeps trying every second while nobody listens, and comes back after a drop.

#include "corvel_peer.h"
#include "sim_child.h"

#include <gtest/gtest.h>

using namespace simtest;

namespace {

struct Mode {
    const char* name;
    int32_t mode;
    bool ipv6;
    const char* host;
};

class ServerMode : public ::testing::TestWithParam<Mode> {};

TEST_P(ServerMode, SimulatorConnectsInIsPolledAndComesBackAfterADrop) {
    const Mode& m = GetParam();
    int port = free_port(m.ipv6);
    Window window;
    int32_t key = next_key();
    ASSERT_EQ(add_device(&window, key, u"", m.mode, port, 1, 0, 0), CORVEL_OK);
    int32_t err = 0;
    ASSERT_EQ(connect_device(key, &err), CORVEL_OK);
    EXPECT_EQ(get_tcp_connection_state(key), TCP_LISTEN);

    SimChild sim(std::string("[dev]\nmodel = TKA-35\nconnect = ") + m.host + ":" +
                 std::to_string(port) + "\ninputs = 0b0110\n");
    ASSERT_TRUE(pump_until([&] { return get_tcp_connection_state(key) == TCP_ESTABLISHED; }));
    EXPECT_EQ(window.count(CORVEL_WM_CONNECTION, CORVEL_FD_ACCEPT), 1u);
    ASSERT_EQ(read_discrete_inputs(key, 4, &err, 0), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return window.data(MB_INPUTS) == 1; }));
    EXPECT_EQ(get_received_port_value(key, CORVEL_KIND_INPUT, 1), 1);
    EXPECT_EQ(get_received_port_value(key, CORVEL_KIND_INPUT, 3), 0);

    sim.command("drop dev");
    ASSERT_TRUE(
        pump_until([&] { return window.count(CORVEL_WM_CONNECTION, CORVEL_FD_CLOSE) == 1; }));
    EXPECT_EQ(get_tcp_connection_state(key), TCP_LISTEN);
    // The simulator retries after a second.
    ASSERT_TRUE(pump_until([&] { return get_tcp_connection_state(key) == TCP_ESTABLISHED; }, 4000));
    EXPECT_EQ(window.count(CORVEL_WM_CONNECTION, CORVEL_FD_ACCEPT), 2u);
    delete_device(key);
}

TEST_P(ServerMode, SimulatorKeepsTryingUntilTheProgramListens) {
    const Mode& m = GetParam();
    int port = free_port(m.ipv6);
    SimChild sim(std::string("[dev]\nmodel = RLX-820\nconnect = ") + m.host + ":" +
                 std::to_string(port) + "\n");
    pump_for(1200); // at least one refused attempt
    Window window;
    int32_t key = next_key();
    ASSERT_EQ(add_device(&window, key, u"", m.mode, port, 255, 0, 0), CORVEL_OK);
    int32_t err = 0;
    ASSERT_EQ(connect_device(key, &err), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return get_tcp_connection_state(key) == TCP_ESTABLISHED; }, 4000));
    ASSERT_EQ(rlx8xx_read_all(key, CORVEL_FAMILY_RLX820, CORVEL_READ_INPUTS, &err), CORVEL_OK);
    ASSERT_TRUE(
        pump_until([&] { return window.data(MB_COUNTERS) == 1 && window.data(MB_INPUTS) == 1; }));
    delete_device(key);
}

INSTANTIATE_TEST_SUITE_P(Families, ServerMode,
                         ::testing::Values(Mode{"ipv4", CORVEL_MODE_SERVER_IPV4, false,
                                                "127.0.0.1"},
                                           Mode{"ipv6", CORVEL_MODE_SERVER_IPV6, true, "[::1]"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
