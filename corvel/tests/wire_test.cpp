// Requests as they arrive at the controller, byte for byte, and responses as the getters
// then show them.
#include <gtest/gtest.h>

#include <cerrno>

#include "support.h"

using namespace corvel_test;

namespace {

constexpr int32_t KEY = 101;

class Wire : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(connect_client(window, KEY, peer, 0x0100, 0x0200, 0x11)); }
    void TearDown() override { delete_device(KEY); }

    Bytes next_frame(size_t size = 12) { return peer.read_exact(size); }

    Recorder window;
    RawPeer peer;
    int32_t error = 0;
};

} // namespace

TEST_F(Wire, EveryRequestByteForByte) {
    struct Request {
        const char* name;
        std::function<int32_t()> send;
        const char* frame;
    };
    const Request requests[] = {
        {"read_coils", [&] { return read_coils(KEY, 8, &error, 0); },
         "2D 00 00 00 00 06 11 01 02 00 00 08"},
        {"read_coils again", [&] { return read_coils(KEY, 0x1234, &error, 0); },
         "2D 01 00 00 00 06 11 01 02 00 12 34"},
        {"read_discrete_inputs", [&] { return read_discrete_inputs(KEY, 16, &error, 0); },
         "2C 00 00 00 00 06 11 02 01 00 00 10"},
        {"holding type 1 ignores the caller's tag",
         [&] { return holding_registers_read(KEY, 0x1234, 1, &error, 0x31); },
         "2C 01 00 00 00 06 11 03 01 00 00 34"},
        {"holding type 2 with tag 3",
         [&] { return holding_registers_read(KEY, 4, 2, &error, 0x33); },
         "33 00 00 00 00 06 11 03 02 00 00 04"},
        {"holding type 3", [&] { return holding_registers_read(KEY, 1, 3, &error, 0); },
         "2E 00 00 00 00 06 11 03 01 04 00 01"},
        {"input_registers_read", [&] { return input_registers_read(KEY, 8, &error); },
         "34 00 00 00 00 06 11 04 01 00 00 08"},
        {"output_port_coil_onoff", [&] { return output_port_coil_onoff(KEY, 3, 0xFF, &error, 0); },
         "30 00 00 00 00 06 11 05 02 03 FF 00"},
        {"output_port_pulse", [&] { return output_port_pulse(KEY, 2, 1000, 1, &error, 0); },
         "2F 00 00 00 00 07 11 69 02 02 03 E8 01"},
        {"reset_di_statistics", [&] { return reset_di_statistics(KEY, 4, &error, 0); },
         "30 01 00 00 00 06 11 05 00 F4 FF 00"},
        {"rlx8xx_pulse_control", [&] { return rlx8xx_pulse_control(KEY, 1, &error, 0); },
         "30 02 00 00 00 06 11 05 00 51 FF 00"},
        {"rlx8xx_enable_di_change", [&] { return rlx8xx_enable_di_change(KEY, 2, &error, 0); },
         "37 00 00 00 00 06 11 05 04 B2 FF 00"},
        {"rlx8xx_eit_request", [&] { return rlx8xx_eit_request(KEY, 4, 0x83, &error, 0); },
         "37 01 00 00 00 05 11 2B 0E 04 83"},
        {"a tag outside the counted range repeats the last sequence byte",
         [&] { return read_coils(KEY, 8, &error, 0x41); }, "41 01 00 00 00 06 11 01 02 00 00 08"},
        {"rlx8xx_read_all family 4 mode 2", [&] { return rlx8xx_read_all(KEY, 4, 2, &error); },
         "35 00 00 00 00 06 11 04 00 00 00 04 36 00 00 00 00 06 11 04 00 A0 00 08 "
         "2C 02 00 00 00 06 11 02 00 00 00 04 2D 02 00 00 00 06 11 01 00 00 00 04"},
    };
    for (const auto& request : requests) {
        SCOPED_TRACE(request.name);
        EXPECT_EQ(request.send(), CORVEL_OK);
        const Bytes expected = hex(request.frame);
        EXPECT_EQ(next_frame(expected.size()), expected);
    }
    EXPECT_EQ(get_write_pulse_request_port_number(KEY), 2);
    EXPECT_EQ(rlx8xx_read_all(KEY, 3, 0, &error), CORVEL_OK) << "an empty group is not a failure";
    EXPECT_TRUE(peer.nothing_more());
}

TEST_F(Wire, RefusedArgumentsSendNothingAndCountNothing) {
    EXPECT_EQ(output_port_coil_onoff(KEY, 8, 0xFF, &error, 0), CORVEL_OUT_OF_RANGE);
    EXPECT_EQ(output_port_coil_onoff(KEY, -1, 0xFF, &error, 0), CORVEL_OUT_OF_RANGE);
    EXPECT_EQ(reset_di_statistics(KEY, 5, &error, 0), CORVEL_OUT_OF_RANGE);
    EXPECT_EQ(holding_registers_read(KEY, 1, 4, &error, 0), CORVEL_OUT_OF_RANGE);
    EXPECT_EQ(read_coils(KEY + 1, 8, &error, 0), CORVEL_UNKNOWN_DEVICE);
    EXPECT_TRUE(peer.nothing_more());
    EXPECT_EQ(output_port_coil_onoff(KEY, 7, 0, &error, 0), CORVEL_OK);
    EXPECT_EQ(next_frame(), hex("30 00 00 00 00 06 11 05 02 07 00 00"));
}

TEST_F(Wire, ResponsesReachTheGetters) {
    ASSERT_TRUE(await_answers(KEY, peer, 4));
    peer.write(hex("2D 00 00 00 00 04 11 01 01 A5"));
    ASSERT_TRUE(pump_until([&] { return window.data_codes().size() == 1; }));
    EXPECT_EQ(window.data_codes()[0], MB_OUTPUTS);
    const int expected[8] = {1, 0, 1, 0, 0, 1, 0, 1};
    for (int port = 0; port < 8; ++port)
        EXPECT_EQ(get_received_port_value(KEY, 2, port), expected[port]);
    EXPECT_EQ(get_transaction_id(KEY), 0x2D);

    peer.write(hex("2F 00 00 00 00 07 11 69 02 03 01 F4 01"));
    peer.write(hex("30 00 00 00 00 06 11 05 02 06 FF 00"));
    ASSERT_TRUE(pump_until([&] { return window.data_codes().size() == 3; }));
    EXPECT_EQ(get_write_pulse_response_port_number(KEY), 3);
    EXPECT_EQ(get_write_pulse_response_duration(KEY), 500);
    EXPECT_EQ(get_write_coil_response_port_number(KEY), 6);

    peer.write(hex("2E 00 00 00 00 03 11 83 02"));
    ASSERT_TRUE(pump_until([&] { return window.data_codes().size() == 4; }));
    EXPECT_EQ(window.data_codes()[3], MB_REGISTER_EXCEPTION);
    EXPECT_EQ(get_modbus_error_code(KEY), 2);
}

TEST_F(Wire, EachNotificationSeesItsOwnFramesValues) {
    std::vector<int> seen;
    window.on_notice = [&](const Notice& n) {
        if (n.message == CORVEL_WM_DATA)
            seen.push_back(get_received_port_value(KEY, 1, 0) +
                           2 * get_received_port_value(KEY, 1, 1));
    };
    // Three frames in one write: each notification must run before the next frame is decoded.
    ASSERT_TRUE(await_answers(KEY, peer, 3));
    peer.write(hex("2C 00 00 00 00 04 11 02 01 01 2C 01 00 00 00 04 11 02 01 02 "
                   "2C 02 00 00 00 04 11 02 01 03"));
    ASSERT_TRUE(pump_until([&] { return seen.size() == 3; }));
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
}

TEST_F(Wire, IdentificationSendsTheEnableWriteBeforeReportingPulseFlags) {
    bool write_was_on_the_wire = false;
    window.on_notice = [&](const Notice& n) {
        if (n.message == CORVEL_WM_DATA && n.lparam == MB_PULSE_FLAGS)
            write_was_on_the_wire = peer.has_data();
    };
    ASSERT_TRUE(await_answers(KEY, peer, 1));
    peer.write(hex("37 00 00 00 00 0F 11 2B 0E 04 01 00 00 02 83 01 02 85 02 05 00"));
    ASSERT_TRUE(pump_until([&] { return window.has(CORVEL_WM_DATA, MB_PULSE_FLAGS); }));
    EXPECT_TRUE(write_was_on_the_wire);
    EXPECT_EQ(next_frame(), hex("37 00 00 00 00 06 11 05 04 B2 FF 00"));
    EXPECT_EQ(get_rlx8xx_output_pulse(KEY, 0), 1);
    EXPECT_EQ(get_rlx8xx_output_pulse(KEY, 1), 0);
    EXPECT_EQ(get_rlx8xx_output_pulse(KEY, 2), 1);
    EXPECT_EQ(get_rlx8xx_output_pulse(KEY, 9), 0);

    peer.write(hex("00 00 00 00 00 09 11 6C 00 F0 00 10 02 00 09"));
    ASSERT_TRUE(pump_until([&] { return window.has(CORVEL_WM_DATA, MB_REPORT_INPUTS); }));
    for (int port = 0; port < 8; ++port)
        EXPECT_EQ(get_received_port_value(KEY, 1, port), port == 0 || port == 3 ? 1 : 0);
}

TEST_F(Wire, MalformedStreamsLeaveTheEntryUsable) {
    // Over-long body, unknown function, truncated register answer, then a valid frame.
    ASSERT_TRUE(await_answers(KEY, peer, 3));
    peer.write(hex("2D 00 00 00 00 FF 2C 00 00 00 00 03 11 47 00 "
                   "2C 00 00 00 00 03 11 03 03 "
                   "2C 00 00 00 00 04 11 02 01 01"));
    ASSERT_TRUE(pump_until([&] { return window.data_codes().size() == 4; }));
    EXPECT_EQ(window.data_codes(), (std::vector<intptr_t>{MB_BAD_LENGTH, MB_UNKNOWN_FUNCTION,
                                                          MB_BAD_PACKET, MB_INPUTS}));
    EXPECT_EQ(get_received_port_value(KEY, 1, 0), 1);
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_ESTABLISHED);
}

TEST_F(Wire, SlowReaderGetsEveryFrameWholeAndInOrder) {
    constexpr int COUNT = 20000;
    int sent = 0;
    Bytes received;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while ((sent < COUNT || received.size() < COUNT * 12u) &&
           std::chrono::steady_clock::now() < deadline) {
        for (int i = 0; i < 500 && sent < COUNT; ++i, ++sent)
            ASSERT_EQ(read_coils(KEY, 8, &error, 0), CORVEL_OK);
        Bytes chunk = peer.read_exact(std::min<size_t>(4096, COUNT * 12u - received.size()), 100);
        received.insert(received.end(), chunk.begin(), chunk.end());
    }
    ASSERT_EQ(received.size(), COUNT * 12u);
    for (int i = 0; i < COUNT; ++i) {
        ASSERT_EQ(received[i * 12], 0x2D) << "frame " << i;
        ASSERT_EQ(received[i * 12 + 1], i % 256) << "frame " << i;
        ASSERT_EQ(received[i * 12 + 7], 0x01) << "frame " << i;
    }
}

// Gathered requests wait for corvel_send_gathered and then go out as one write, frames whole
// and in order; a reset ends the gathering, and an unknown key is refused.
TEST_F(Wire, GatheredRequestsLeaveTogetherWhenSent) {
    ASSERT_EQ(corvel_gather_sends(KEY), CORVEL_OK);
    ASSERT_EQ(read_coils(KEY, 8, &error, 0), CORVEL_OK);
    ASSERT_EQ(read_discrete_inputs(KEY, 16, &error, 0), CORVEL_OK);
    EXPECT_TRUE(peer.nothing_more(50)) << "a gathered request left before it was sent";
    ASSERT_EQ(corvel_send_gathered(KEY, &error), CORVEL_OK);
    EXPECT_EQ(peer.read_exact(24), hex("2D 00 00 00 00 06 11 01 02 00 00 08 "
                                       "2C 00 00 00 00 06 11 02 01 00 00 10"));
    // Sent without gathering again: each request at once.
    ASSERT_EQ(read_coils(KEY, 8, &error, 0), CORVEL_OK);
    EXPECT_EQ(peer.read_exact(12), hex("2D 01 00 00 00 06 11 01 02 00 00 08"));
    // Nothing gathered: sending is no error and writes nothing.
    ASSERT_EQ(corvel_gather_sends(KEY), CORVEL_OK);
    ASSERT_EQ(corvel_send_gathered(KEY, &error), CORVEL_OK);
    EXPECT_TRUE(peer.nothing_more(50));

    // A disconnect while gathering drops what waited; the next connection sends at once.
    ASSERT_EQ(corvel_gather_sends(KEY), CORVEL_OK);
    ASSERT_EQ(read_coils(KEY, 8, &error, 0), CORVEL_OK);
    ASSERT_EQ(disconnect_device(KEY), CORVEL_OK);
    RawPeer next;
    ASSERT_EQ(
        update_device(KEY, u"127.0.0.1", CORVEL_MODE_CLIENT, next.port(), 0x11, 0x0100, 0x0200),
        CORVEL_OK);
    ASSERT_EQ(connect_device(KEY, &error), CORVEL_OK);
    ASSERT_TRUE(next.accept_client());
    ASSERT_TRUE(pump_until([] { return get_tcp_connection_state(KEY) == TCP_ESTABLISHED; }));
    ASSERT_EQ(read_coils(KEY, 8, &error, 0), CORVEL_OK);
    EXPECT_EQ(next.read_exact(12), hex("2D 00 00 00 00 06 11 01 02 00 00 08"));

    EXPECT_EQ(corvel_gather_sends(KEY + 1), CORVEL_UNKNOWN_DEVICE);
    EXPECT_EQ(corvel_send_gathered(KEY + 1, &error), CORVEL_UNKNOWN_DEVICE);
}

// A gathered write the peer can no longer take closes the connection and says why, as a
// request's own failed write does.
TEST_F(Wire, AGatheredWriteThatFailsClosesTheConnection) {
    ASSERT_EQ(corvel_gather_sends(KEY), CORVEL_OK);
    ASSERT_EQ(read_coils(KEY, 8, &error, 0), CORVEL_OK);
    // On loopback the reset reaches Corvel's socket before reset_client returns.
    peer.reset_client();
    error = 0;
    EXPECT_EQ(corvel_send_gathered(KEY, &error), CORVEL_SOCKET_ERROR);
    EXPECT_TRUE(error == ECONNRESET || error == EPIPE) << error;
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_CLOSED);
}

// The count of state changes stays put while a connection only carries requests and answers,
// and moves when the connection closes, also when no notification tells of it.
TEST_F(Wire, TheStateChangeCountMovesOnlyWhenAStateChanges) {
    const uint32_t connected = corvel_state_changes();
    ASSERT_EQ(read_coils(KEY, 8, &error, 0), CORVEL_OK);
    EXPECT_EQ(corvel_state_changes(), connected);

    ASSERT_EQ(corvel_gather_sends(KEY), CORVEL_OK);
    ASSERT_EQ(read_coils(KEY, 8, &error, 0), CORVEL_OK);
    peer.reset_client();
    ASSERT_EQ(corvel_send_gathered(KEY, &error), CORVEL_SOCKET_ERROR);
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_CLOSED);
    EXPECT_NE(corvel_state_changes(), connected);
}
