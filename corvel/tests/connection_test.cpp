// Connection life: registration rules, client failures, server mode, peer close and resets.
#include <gtest/gtest.h>

#include <cerrno>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include "faults.h"
#include "support.h"

using namespace corvel_test;

namespace {

constexpr int32_t KEY = 201;

struct Cleanup {
    ~Cleanup() {
        for (int32_t key = KEY; key < KEY + 10; ++key)
            delete_device(key);
    }
};

bool peer_sees_end(int socket) {
    char byte;
    return pump_until([&] { return recv(socket, &byte, 1, MSG_DONTWAIT) == 0; });
}

} // namespace

TEST(Registration, AddUpdateDeleteRules) {
    Cleanup cleanup;
    Recorder window;
    RawPeer peer;
    ASSERT_EQ(add_device(&window, KEY, u"127.0.0.1", 0, peer.port(), 1, 0, 0), CORVEL_OK);
    EXPECT_EQ(add_device(&window, KEY, u"127.0.0.1", 0, closed_port(), 1, 0, 0),
              CORVEL_UNKNOWN_DEVICE);
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_CLOSED);
    int32_t error = 0;
    ASSERT_EQ(connect_device(KEY, &error), CORVEL_OK) << "the first registration's port is kept";
    EXPECT_EQ(connect_device(KEY, &error), CORVEL_WRONG_STATE) << "still connecting";
    ASSERT_TRUE(peer.accept_client());
    ASSERT_TRUE(pump_until([] { return get_tcp_connection_state(KEY) == TCP_ESTABLISHED; }));
    EXPECT_EQ(window.count(CORVEL_WM_CONNECTION, CORVEL_FD_CONNECT), 1u);

    ASSERT_TRUE(await_answers(KEY, peer, 2));
    peer.write(hex("2C 00 00 00 00 04 01 02 01 FF 2D 00 00 00 00 04 01 01 01 FF"));
    ASSERT_TRUE(pump_until([&] { return window.data_codes().size() == 2; }));
    EXPECT_EQ(update_device(KEY, u"127.0.0.1", 0, peer.port(), 2, 0, 0), CORVEL_SOCKET_ERROR);
    EXPECT_EQ(get_received_port_value(KEY, 1, 0), 1) << "a refused update changes nothing";

    EXPECT_EQ(disconnect_device(KEY), CORVEL_OK);
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_CLOSED);
    EXPECT_EQ(read_coils(KEY, 8, &error, 0), CORVEL_WRONG_STATE);
    EXPECT_EQ(output_port_coil_onoff(KEY, 8, 0, &error, 0), CORVEL_WRONG_STATE);
    EXPECT_EQ(update_device(KEY, u"127.0.0.1", 0, peer.port(), 2, 0, 0), CORVEL_OK);
    EXPECT_EQ(get_received_port_value(KEY, 1, 0), 0);

    const size_t notices = window.notices.size();
    EXPECT_EQ(delete_device(KEY), CORVEL_OK);
    EXPECT_EQ(delete_device(KEY), CORVEL_UNKNOWN_DEVICE);
    EXPECT_EQ(window.notices.size(), notices) << "neither disconnect nor delete notifies";
}

TEST(Registration, UnknownKeysAndGetterRanges) {
    Cleanup cleanup;
    Recorder window;
    int32_t error = 0;
    EXPECT_EQ(connect_device(KEY, &error), CORVEL_UNKNOWN_DEVICE);
    EXPECT_EQ(disconnect_device(KEY), CORVEL_UNKNOWN_DEVICE);
    EXPECT_EQ(update_device(KEY, u"x", 0, 1, 1, 0, 0), CORVEL_UNKNOWN_DEVICE);
    EXPECT_EQ(get_tcp_connection_state(KEY), CORVEL_UNKNOWN_DEVICE);
    EXPECT_EQ(get_ai_mode(KEY, 0), CORVEL_UNKNOWN_DEVICE);

    ASSERT_EQ(add_device(&window, KEY, u"127.0.0.1", 0, 502, 1, 0, 0), CORVEL_OK);
    EXPECT_EQ(get_received_port_value(KEY, 1, 8), CORVEL_WRONG_STATE);
    EXPECT_EQ(get_received_port_value(KEY, 2, -1), CORVEL_WRONG_STATE);
    EXPECT_EQ(get_received_port_value(KEY, 4, 0), CORVEL_SOCKET_ERROR);
    EXPECT_EQ(get_received_port_value(KEY, 3, 99), 0);
    for (auto getter : {get_received_input_register_value, get_ai_value_register, get_ai_error_code,
                        get_di_counter_value_register, get_ai_mode}) {
        EXPECT_EQ(getter(KEY, 125), CORVEL_SOCKET_ERROR);
        EXPECT_EQ(getter(KEY, -1), CORVEL_SOCKET_ERROR);
        EXPECT_EQ(getter(KEY, 124), 0);
    }
}

TEST(Client, RefusedConnectionIsReportedAsAnError) {
    Cleanup cleanup;
    Recorder window;
    ASSERT_EQ(add_device(&window, KEY, u"127.0.0.1", 0, closed_port(), 1, 0, 0), CORVEL_OK);
    int32_t error = 0;
    ASSERT_EQ(connect_device(KEY, &error), CORVEL_OK);
    ASSERT_TRUE(pump_until([] { return get_tcp_connection_state(KEY) == TCP_ERROR; }));
    EXPECT_TRUE(window.has(CORVEL_WM_CONNECTION, CORVEL_LPARAM(ECONNREFUSED, CORVEL_FD_CONNECT)));
    EXPECT_EQ(get_tcp_error_code(KEY), ECONNREFUSED);
    EXPECT_EQ(connect_device(KEY, &error), CORVEL_OK) << "an entry in error may connect again";
}

TEST(Client, UnresolvableHostIsReportedThroughTheDispatcher) {
    Cleanup cleanup;
    Recorder window;
    ASSERT_EQ(add_device(&window, KEY, UNRESOLVABLE_HOST, 0, 502, 1, 0, 0), CORVEL_OK);
    int32_t error = 0;
    EXPECT_EQ(connect_device(KEY, &error), CORVEL_OK) << "the lookup runs on its own";
    EXPECT_TRUE(window.notices.empty());
    ASSERT_TRUE(pump_until([&] { return !window.notices.empty(); }));
    ASSERT_EQ(window.notices.size(), 1u);
    EXPECT_EQ(window.notices[0].lparam, CORVEL_LPARAM(EAI_NONAME, CORVEL_FD_CONNECT));
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_ERROR);
    EXPECT_EQ(get_tcp_error_code(KEY), EAI_NONAME);
}

TEST(Client, NumericAddressThatCannotBeUsedFailsBeforeConnectReturns) {
    Cleanup cleanup;
    Recorder window;
    // A link-local address without an interface is refused by the system before any packet.
    ASSERT_EQ(add_device(&window, KEY, u"fe80::1", 0, 502, 1, 0, 0), CORVEL_OK);
    int32_t error = 0;
    EXPECT_EQ(connect_device(KEY, &error), CORVEL_SOCKET_ERROR);
    EXPECT_NE(error, 0);
    ASSERT_EQ(window.notices.size(), 1u) << "notified before connect_device returned";
    EXPECT_EQ(window.notices[0].lparam, CORVEL_LPARAM(error, CORVEL_FD_CONNECT));
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_ERROR);
    EXPECT_EQ(get_tcp_error_code(KEY), error);
}

TEST(Client, PeerCloseResetsTheValuesButKeepsTheWriteRecords) {
    Cleanup cleanup;
    Recorder window;
    RawPeer peer;
    ASSERT_TRUE(connect_client(window, KEY, peer, 0, 0, 1));
    ASSERT_TRUE(await_answers(KEY, peer, 8));
    peer.write(hex("2C 00 00 00 00 04 01 02 01 FF "          // inputs
                   "2D 00 00 00 00 04 01 01 01 0F "          // outputs
                   "2E 00 00 00 00 05 01 03 02 00 2A "       // single register
                   "30 00 00 00 00 06 01 05 00 05 FF 00 "    // coil write
                   "2F 00 00 00 00 07 01 69 00 04 00 64 01 " // pulse
                   "36 00 00 00 00 05 01 04 02 00 09 "       // counters
                   "39 00 00 00 00 05 01 03 02 00 01 "       // analog modes
                   "37 00 00 00 00 0C 01 2B 0E 04 01 00 00 01 85 02 FF 00"));
    ASSERT_TRUE(pump_until([&] { return window.data_codes().size() == 8; }));
    EXPECT_EQ(get_ai_mode(KEY, 0), 1);
    EXPECT_EQ(get_ai_mode(KEY, 1), 0);

    peer.close_client();
    ASSERT_TRUE(pump_until([&] { return window.has(CORVEL_WM_CONNECTION, CORVEL_FD_CLOSE); }));
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_CLOSED);
    for (int port = 0; port < 8; ++port) {
        EXPECT_EQ(get_received_port_value(KEY, 1, port), 0);
        EXPECT_EQ(get_received_port_value(KEY, 2, port), 0);
        EXPECT_EQ(get_rlx8xx_output_pulse(KEY, port), 0);
    }
    EXPECT_EQ(get_di_counter_value_register(KEY, 0), 0);
    EXPECT_EQ(get_ai_mode(KEY, 0), 0);
    EXPECT_EQ(get_received_port_value(KEY, 3, 0), 42);
    EXPECT_EQ(get_write_coil_response_port_number(KEY), 5);
    EXPECT_EQ(get_write_pulse_response_port_number(KEY), 4);
    EXPECT_EQ(get_write_pulse_response_duration(KEY), 100);
}

TEST(Client, ResetByPeerIsAnError) {
    Cleanup cleanup;
    Recorder window;
    RawPeer peer;
    ASSERT_TRUE(connect_client(window, KEY, peer));
    peer.reset_client();
    ASSERT_TRUE(pump_until([] { return get_tcp_connection_state(KEY) == TCP_ERROR; }));
    EXPECT_TRUE(window.has(CORVEL_WM_CONNECTION, CORVEL_LPARAM(ECONNRESET, CORVEL_FD_CLOSE)));
    EXPECT_EQ(get_tcp_error_code(KEY), ECONNRESET);
}

TEST(Client, SequenceCountersRestartWithEveryConnection) {
    Cleanup cleanup;
    Recorder window;
    RawPeer peer;
    ASSERT_TRUE(connect_client(window, KEY, peer));
    int32_t error = 0;
    read_coils(KEY, 8, &error, 0);
    read_coils(KEY, 8, &error, 0);
    EXPECT_EQ(peer.read_exact(24)[13], 0x01);
    disconnect_device(KEY);
    ASSERT_TRUE(peer_sees_end(peer.client_socket()));
    ASSERT_EQ(connect_device(KEY, &error), CORVEL_OK);
    ASSERT_TRUE(peer.accept_client());
    ASSERT_TRUE(pump_until([] { return get_tcp_connection_state(KEY) == TCP_ESTABLISHED; }));
    read_coils(KEY, 8, &error, 0);
    EXPECT_EQ(peer.read_exact(12)[1], 0x00);
}

class Server : public ::testing::TestWithParam<bool> {};

TEST_P(Server, OneClientAtATimeAndListeningAgainAfterItLeaves) {
    Cleanup cleanup;
    const bool ipv6 = GetParam();
    Recorder window;
    const int port = closed_port();
    ASSERT_EQ(add_device(&window, KEY, nullptr, ipv6 ? 2 : 1, port, 3, 0, 0), CORVEL_OK);
    int32_t error = 0;
    ASSERT_EQ(connect_device(KEY, &error), CORVEL_OK);
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_LISTEN);

    const int first = connect_to(port, ipv6);
    ASSERT_GE(first, 0);
    ASSERT_TRUE(pump_until([&] { return window.has(CORVEL_WM_CONNECTION, CORVEL_FD_ACCEPT); }));
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_ESTABLISHED);

    const int second = connect_to(port, ipv6);
    ASSERT_GE(second, 0);
    EXPECT_TRUE(peer_sees_end(second)) << "a second controller is accepted and closed";
    ::close(second);
    EXPECT_EQ(window.count(CORVEL_WM_CONNECTION, CORVEL_FD_ACCEPT), 1u);

    ASSERT_EQ(read_discrete_inputs(KEY, 8, &error, 0), CORVEL_OK);
    uint8_t frame[12];
    ASSERT_TRUE(
        pump_until([&] { return recv(first, frame, 12, MSG_DONTWAIT | MSG_WAITALL) == 12; }));
    EXPECT_EQ(Bytes(frame, frame + 12), hex("2C 00 00 00 00 06 03 02 00 00 00 08"));

    ::close(first);
    ASSERT_TRUE(pump_until([&] { return window.has(CORVEL_WM_CONNECTION, CORVEL_FD_CLOSE); }));
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_LISTEN);

    const int third = connect_to(port, ipv6);
    ASSERT_GE(third, 0);
    ASSERT_TRUE(
        pump_until([&] { return window.count(CORVEL_WM_CONNECTION, CORVEL_FD_ACCEPT) == 2; }));
    ASSERT_EQ(read_discrete_inputs(KEY, 8, &error, 0), CORVEL_OK);
    ASSERT_TRUE(
        pump_until([&] { return recv(third, frame, 12, MSG_DONTWAIT | MSG_WAITALL) == 12; }));
    EXPECT_EQ(frame[1], 0x00) << "counters restart for the new client";

    EXPECT_EQ(disconnect_device(KEY), CORVEL_OK);
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_CLOSED);
    EXPECT_TRUE(peer_sees_end(third));
    ::close(third);
    EXPECT_EQ(connect_device(KEY, &error), CORVEL_OK)
        << "the port can be listened on again at once";
}

INSTANTIATE_TEST_SUITE_P(Families, Server, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "IPv6" : "IPv4"; });

TEST(Server, PortInUseIsReportedSynchronously) {
    Cleanup cleanup;
    Recorder window;
    RawPeer occupied;
    ASSERT_EQ(add_device(&window, KEY, nullptr, 1, occupied.port(), 1, 0, 0), CORVEL_OK);
    int32_t error = 0;
    EXPECT_EQ(connect_device(KEY, &error), CORVEL_SOCKET_ERROR);
    EXPECT_EQ(error, EADDRINUSE);
    EXPECT_TRUE(window.has(CORVEL_WM_CONNECTION, CORVEL_LPARAM(EADDRINUSE, CORVEL_FD_CONNECT)));
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_ERROR);
}

// A fault on the accept path: with no client attached it is the entry's error; with one
// attached it only turns the newcomer away, and the working session goes on untouched.
struct AcceptFault {
    const char* name;
    bool client_attached;
    bool accept_fails; // otherwise the new socket's keep-alive option fails
    int error;
};

void PrintTo(const AcceptFault& fault, std::ostream* out) {
    *out << fault.name;
}

class ServerAccept : public ::testing::TestWithParam<AcceptFault> {};

TEST_P(ServerAccept, FaultTouchesOnlyTheNewSocket) {
    Cleanup cleanup;
    const AcceptFault fault = GetParam();
    Recorder window;
    const int port = closed_port();
    ASSERT_EQ(add_device(&window, KEY, nullptr, 1, port, 3, 0, 0), CORVEL_OK);
    int32_t error = 0;
    ASSERT_EQ(connect_device(KEY, &error), CORVEL_OK);
    int first = -1;
    if (fault.client_attached) {
        first = connect_to(port);
        ASSERT_TRUE(pump_until([&] { return window.has(CORVEL_WM_CONNECTION, CORVEL_FD_ACCEPT); }));
    }
    const size_t notices = window.notices.size();

    if (fault.accept_fails)
        fail_next_accepts(1, fault.error);
    else
        fail_next_keepalives(1, fault.error);
    const int newcomer = connect_to(port);
    ASSERT_GE(newcomer, 0);

    if (fault.client_attached) {
        EXPECT_TRUE(peer_sees_end(newcomer)) << "turned away once the fault has passed";
        EXPECT_EQ(window.notices.size(), notices) << "no notification for a newcomer";
        EXPECT_EQ(get_tcp_connection_state(KEY), TCP_ESTABLISHED);
        ASSERT_EQ(read_discrete_inputs(KEY, 8, &error, 0), CORVEL_OK);
        uint8_t frame[12];
        ASSERT_TRUE(
            pump_until([&] { return recv(first, frame, 12, MSG_DONTWAIT | MSG_WAITALL) == 12; }));
        EXPECT_EQ(Bytes(frame, frame + 12), hex("2C 00 00 00 00 06 03 02 00 00 00 08"));
        ::close(first);
    } else {
        const intptr_t reported = CORVEL_LPARAM(fault.error, CORVEL_FD_ACCEPT);
        ASSERT_TRUE(pump_until([&] { return window.has(CORVEL_WM_CONNECTION, reported); }));
        EXPECT_EQ(get_tcp_connection_state(KEY), TCP_ERROR);
        EXPECT_EQ(get_tcp_error_code(KEY), fault.error);
        if (!fault.accept_fails) {
            EXPECT_TRUE(peer_sees_end(newcomer)) << "the socket that failed is closed";
            const int next = connect_to(port);
            ASSERT_TRUE(pump_until([&] {
                return window.has(CORVEL_WM_CONNECTION, CORVEL_FD_ACCEPT);
            })) << "the listener was kept";
            EXPECT_EQ(get_tcp_connection_state(KEY), TCP_ESTABLISHED);
            ::close(next);
        }
    }
    ::close(newcomer);
    fail_next_keepalives(0, 0); // a newcomer that is turned away gets no options set
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ServerAccept,
    ::testing::Values(AcceptFault{"AcceptFailsWhileIdle", false, true, EMFILE},
                      AcceptFault{"OptionFailsWhileIdle", false, false, ENOPROTOOPT},
                      AcceptFault{"AcceptFailsWhileAttached", true, true, EMFILE},
                      AcceptFault{"OptionFailsWhileAttached", true, false, ENOPROTOOPT}),
    [](const auto& info) { return std::string(info.param.name); });
