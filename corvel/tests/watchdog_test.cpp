// The answer watchdog over loopback: a controller that stops answering loses its connection,
// one that answers keeps it, and the dispatcher wakes for the deadline by itself.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "support.h"

using namespace corvel_test;

namespace {

constexpr int32_t KEY = 401;
constexpr int SHORT_TIMEOUT_MS = 300;
const intptr_t TIMED_OUT = CORVEL_LPARAM(ETIMEDOUT, CORVEL_FD_CLOSE);

class Watchdog : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(corvel_set_answer_timeout(SHORT_TIMEOUT_MS), CORVEL_OK); }
    void TearDown() override {
        delete_device(KEY);
        corvel_set_answer_timeout(CORVEL_ANSWER_TIMEOUT_MS);
    }

    size_t timeouts() const { return window.count(CORVEL_WM_CONNECTION, TIMED_OUT); }

    // Sends one input read and takes it off the wire at the controller's side.
    void request_inputs() {
        ASSERT_EQ(read_discrete_inputs(KEY, 8, &error, 0), CORVEL_OK);
        ASSERT_EQ(peer.read_exact(12).size(), 12u);
    }

    // Waits until the wait of the oldest request has grown to at least ms.
    bool waited_at_least(int ms) {
        return pump_until([&] { return get_unanswered_ms(KEY) >= ms; });
    }

    Recorder window;
    RawPeer peer;
    int32_t error = 0;
};

bool peer_sees_end(int socket) {
    char byte;
    return pump_until([&] { return recv(socket, &byte, 1, MSG_DONTWAIT) == 0; });
}

} // namespace

TEST_F(Watchdog, SilentControllerFailsTheConnectionOnce) {
    ASSERT_TRUE(connect_client(window, KEY, peer));
    EXPECT_EQ(get_unanswered_ms(KEY), 0) << "nothing sent yet";
    request_inputs();
    ASSERT_TRUE(waited_at_least(1));
    const int32_t first = get_unanswered_ms(KEY);
    ASSERT_TRUE(pump_until([&] { return get_unanswered_ms(KEY) > first || timeouts() > 0; }));
    EXPECT_EQ(timeouts(), 0u) << "the wait grows before it fails";

    ASSERT_TRUE(pump_until([&] { return timeouts() == 1; }));
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_ERROR);
    EXPECT_EQ(get_tcp_error_code(KEY), ETIMEDOUT);
    EXPECT_EQ(get_unanswered_ms(KEY), 0);
    EXPECT_TRUE(peer_sees_end(peer.client_socket())) << "the socket is closed";
    pump_for(2 * SHORT_TIMEOUT_MS);
    EXPECT_EQ(timeouts(), 1u);
    EXPECT_EQ(window.notices.size(), 2u) << "the connect and the one failure";

    EXPECT_EQ(connect_device(KEY, &error), CORVEL_OK) << "the caller may connect again";
    ASSERT_TRUE(peer.accept_client());
    ASSERT_TRUE(pump_until([] { return get_tcp_connection_state(KEY) == TCP_ESTABLISHED; }));
    EXPECT_EQ(get_unanswered_ms(KEY), 0) << "the new connection owes nothing";
}

TEST_F(Watchdog, AnsweringControllerKeepsTheConnection) {
    ASSERT_TRUE(connect_client(window, KEY, peer));
    const auto end =
        std::chrono::steady_clock::now() + 4 * std::chrono::milliseconds(SHORT_TIMEOUT_MS);
    size_t answered = 0;
    while (std::chrono::steady_clock::now() < end && answered < 500) {
        request_inputs();
        peer.write(hex("2C 00 00 00 00 04 01 02 01 05"));
        ASSERT_TRUE(pump_until([&] { return window.data_codes().size() > answered; }));
        ++answered;
        EXPECT_EQ(get_unanswered_ms(KEY), 0);
        pump_for(20);
    }
    EXPECT_EQ(timeouts(), 0u);
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_ESTABLISHED);
    EXPECT_GT(answered, 4u);
}

TEST_F(Watchdog, EveryFrameOfAGroupIsAnsweredAndEachAnswerRestartsTheWait) {
    corvel_set_answer_timeout(CORVEL_ANSWER_TIMEOUT_MS);
    ASSERT_TRUE(connect_client(window, KEY, peer));
    ASSERT_EQ(rlx8xx_read_all(KEY, CORVEL_FAMILY_RLX850, CORVEL_READ_INPUTS_OUTPUTS, &error),
              CORVEL_OK);
    ASSERT_EQ(peer.read_exact(48).size(), 48u) << "four frames";
    ASSERT_TRUE(waited_at_least(150));
    const int32_t before = get_unanswered_ms(KEY);

    peer.write(hex("35 00 00 00 00 0B 01 04 08 00 01 00 02 00 03 00 04"));
    ASSERT_TRUE(pump_until([&] { return window.data_codes().size() == 1; }));
    EXPECT_LT(get_unanswered_ms(KEY), before) << "the next frame waits from the answer";

    peer.write(hex("36 00 00 00 00 05 01 04 02 00 09 2C 00 00 00 00 04 01 02 01 05"));
    ASSERT_TRUE(pump_until([&] { return window.data_codes().size() == 3; }));
    EXPECT_TRUE(waited_at_least(1)) << "one frame is still unanswered";

    peer.write(hex("2D 00 00 00 00 04 01 01 01 03"));
    ASSERT_TRUE(pump_until([&] { return window.data_codes().size() == 4; }));
    pump_for(20);
    EXPECT_EQ(get_unanswered_ms(KEY), 0);

    peer.write(hex("2D 01 00 00 00 04 01 01 01 03"));
    ASSERT_TRUE(pump_until([] { return get_dropped_answer_count(KEY) == 1; }));
    EXPECT_EQ(window.data_codes().size(), 4u) << "an extra answer is dropped unread";
    request_inputs();
    ASSERT_TRUE(waited_at_least(1)) << "an extra answer did not pay for the next request";
}

TEST_F(Watchdog, AnswersNobodyAskedForAreDroppedUnreadAndCounted) {
    corvel_set_answer_timeout(CORVEL_ANSWER_TIMEOUT_MS);
    ASSERT_TRUE(connect_client(window, KEY, peer));
    EXPECT_EQ(get_dropped_answer_count(KEY), 0);
    Bytes flood;
    const Bytes inputsOn = hex("2C 00 00 00 00 04 01 02 01 05");
    for (int i = 0; i < 1000; ++i)
        flood.insert(flood.end(), inputsOn.begin(), inputsOn.end());
    peer.write(flood);
    ASSERT_TRUE(pump_until([] { return get_dropped_answer_count(KEY) == 1000; }));
    EXPECT_TRUE(window.data_codes().empty());
    EXPECT_EQ(get_received_port_value(KEY, CORVEL_KIND_INPUT, 0), 0) << "nothing was decoded";

    // A change report is no answer: it is decoded with nothing waiting.
    peer.write(hex("00 00 00 00 00 09 01 6C 00 F0 00 10 02 00 05"));
    ASSERT_TRUE(pump_until([&] { return window.data_codes().size() == 1; }));
    EXPECT_EQ(window.data_codes()[0], MB_REPORT_INPUTS);

    // A request gets its answer; the copy after it is dropped again.
    request_inputs();
    Bytes twice = inputsOn;
    twice.insert(twice.end(), inputsOn.begin(), inputsOn.end());
    peer.write(twice);
    ASSERT_TRUE(pump_until([] { return get_dropped_answer_count(KEY) == 1001; }));
    EXPECT_EQ(window.data_codes(), (std::vector<intptr_t>{MB_REPORT_INPUTS, MB_INPUTS}));
    EXPECT_EQ(get_received_port_value(KEY, CORVEL_KIND_INPUT, 0), 1);
    EXPECT_EQ(get_dropped_answer_count(KEY + 1), CORVEL_UNKNOWN_DEVICE);
}

TEST_F(Watchdog, ChangeReportsAndMalformedFramesAnswerNothing) {
    corvel_set_answer_timeout(CORVEL_ANSWER_TIMEOUT_MS);
    ASSERT_TRUE(connect_client(window, KEY, peer));
    request_inputs();
    ASSERT_TRUE(waited_at_least(100));
    const int32_t before = get_unanswered_ms(KEY);
    peer.write(hex("00 00 00 00 00 09 01 6C 00 F0 00 10 02 00 05 " // input change report
                   "00 00 00 00 00 09 01 6C 00 A0 00 01 02 00 07 " // counter change report
                   "2C 00 00 00 00 02 01 03 "                      // no byte count
                   "2C 00 00 00 00 FB"));                          // body too long
    ASSERT_TRUE(pump_until([&] { return window.data_codes().size() == 4; }));
    EXPECT_EQ(window.data_codes(), (std::vector<intptr_t>{MB_REPORT_INPUTS, MB_REPORT_COUNTERS,
                                                          MB_BAD_PACKET, MB_BAD_LENGTH}));
    EXPECT_GE(get_unanswered_ms(KEY), before);

    ASSERT_EQ(corvel_set_answer_timeout(SHORT_TIMEOUT_MS), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return timeouts() == 1; }));
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_ERROR);
}

TEST_F(Watchdog, ServerDropsItsClientAndListensAgain) {
    const int port = closed_port();
    ASSERT_EQ(add_device(&window, KEY, nullptr, CORVEL_MODE_SERVER_IPV4, port, 1, 0, 0), CORVEL_OK);
    ASSERT_EQ(connect_device(KEY, &error), CORVEL_OK);
    const int first = connect_to(port);
    ASSERT_GE(first, 0);
    ASSERT_TRUE(pump_until([&] { return window.has(CORVEL_WM_CONNECTION, CORVEL_FD_ACCEPT); }));
    ASSERT_EQ(read_discrete_inputs(KEY, 8, &error, 0), CORVEL_OK);

    ASSERT_TRUE(pump_until([&] { return timeouts() == 1; }));
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_LISTEN);
    EXPECT_EQ(get_tcp_error_code(KEY), ETIMEDOUT);
    EXPECT_EQ(get_unanswered_ms(KEY), 0);
    uint8_t frame[12];
    EXPECT_EQ(recv(first, frame, sizeof frame, MSG_WAITALL), 12) << "the request was sent";
    EXPECT_TRUE(peer_sees_end(first));
    ::close(first);

    const int second = connect_to(port);
    ASSERT_GE(second, 0);
    ASSERT_TRUE(
        pump_until([&] { return window.count(CORVEL_WM_CONNECTION, CORVEL_FD_ACCEPT) == 2; }));
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_ESTABLISHED);
    ASSERT_EQ(read_discrete_inputs(KEY, 8, &error, 0), CORVEL_OK);
    const Bytes answer = hex("2C 00 00 00 00 04 01 02 01 05");
    ASSERT_EQ(send(second, answer.data(), answer.size(), MSG_NOSIGNAL), 10);
    ASSERT_TRUE(pump_until([&] { return window.data_codes().size() == 1; }));
    pump_for(2 * SHORT_TIMEOUT_MS);
    EXPECT_EQ(timeouts(), 1u) << "the answered client stays";
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_ESTABLISHED);
    ::close(second);
}

TEST_F(Watchdog, ZeroTurnsItOffAndANewTimeAppliesToWaitingRequests) {
    ASSERT_EQ(corvel_set_answer_timeout(0), CORVEL_OK);
    ASSERT_TRUE(connect_client(window, KEY, peer));
    request_inputs();
    pump_for(3 * SHORT_TIMEOUT_MS);
    EXPECT_EQ(timeouts(), 0u);
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_ESTABLISHED);
    EXPECT_GE(get_unanswered_ms(KEY), 3 * SHORT_TIMEOUT_MS) << "still counted while off";

    ASSERT_EQ(corvel_set_answer_timeout(SHORT_TIMEOUT_MS), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return timeouts() == 1; }));
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_ERROR);
}

TEST_F(Watchdog, ClosedConnectionsOweNothing) {
    EXPECT_EQ(get_unanswered_ms(KEY), CORVEL_UNKNOWN_DEVICE);
    EXPECT_EQ(corvel_set_answer_timeout(-1), CORVEL_OUT_OF_RANGE);
    ASSERT_TRUE(connect_client(window, KEY, peer));
    request_inputs();
    ASSERT_TRUE(waited_at_least(1));
    ASSERT_EQ(disconnect_device(KEY), CORVEL_OK);
    EXPECT_EQ(get_unanswered_ms(KEY), 0);
    pump_for(2 * SHORT_TIMEOUT_MS);
    EXPECT_EQ(timeouts(), 0u) << "a closed connection cannot time out";
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_CLOSED);
}

TEST_F(Watchdog, EventDescriptorWakesForTheDeadlineAndRestsWhenNothingWaits) {
    ASSERT_TRUE(connect_client(window, KEY, peer));
    request_inputs();
    // The peer stays silent: only the deadline can wake the dispatcher now. A deadline that
    // an earlier connection left behind may wake it first, so a few wakes are allowed.
    pollfd ready{corvel_event_fd(), POLLIN, 0};
    for (int wakes = 0; wakes < 10 && timeouts() == 0; ++wakes) {
        ASSERT_EQ(poll(&ready, 1, 5 * SHORT_TIMEOUT_MS), 1);
        corvel_dispatch(0);
    }
    ASSERT_EQ(timeouts(), 1u);
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_ERROR);
    EXPECT_EQ(poll(&ready, 1, 2 * SHORT_TIMEOUT_MS), 0) << "no timer runs while nothing waits";
}
