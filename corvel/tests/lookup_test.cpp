// Host names that need a lookup: connect_device returns at once, the lookup runs elsewhere,
// and its outcome arrives through the dispatcher. A result for an entry that was
// disconnected, deleted or connected anew meanwhile is dropped.
#include <gtest/gtest.h>

#include <atomic>
#include <netdb.h>
#include <poll.h>
#include <thread>

#include "faults.h"
#include "support.h"

using namespace corvel_test;

namespace {

constexpr int32_t KEY = 401;
constexpr int32_t OTHER = 402;

struct Cleanup {
    ~Cleanup() {
        delete_device(KEY);
        delete_device(OTHER);
    }
};

size_t connection_notices(const Recorder& window) {
    size_t n = 0;
    for (const Notice& notice : window.notices)
        if (notice.message == CORVEL_WM_CONNECTION) ++n;
    return n;
}

} // namespace

TEST(Lookup, ConnectReturnsBeforeTheNameIsResolved) {
    Cleanup cleanup;
    LookupGate gate;
    Recorder window;
    RawPeer peer;
    ASSERT_EQ(add_device(&window, KEY, u"controller.test", 0, peer.port(), 1, 0, 0), CORVEL_OK);
    int32_t error = 0;
    ASSERT_EQ(connect_device(KEY, &error), CORVEL_OK);
    EXPECT_FALSE(gate.answered(1, 0)) << "returned while the lookup was held";
    ASSERT_TRUE(gate.reached(1));
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_CONNECTING);
    EXPECT_EQ(connect_device(KEY, &error), CORVEL_WRONG_STATE) << "one connect at a time";
    EXPECT_EQ(read_coils(KEY, 8, &error, 0), CORVEL_WRONG_STATE);
    EXPECT_TRUE(window.notices.empty());

    gate.open();
    ASSERT_TRUE(peer.accept_client());
    ASSERT_TRUE(pump_until([] { return get_tcp_connection_state(KEY) == TCP_ESTABLISHED; }));
    ASSERT_EQ(read_coils(KEY, 8, &error, 0), CORVEL_OK);
    EXPECT_EQ(peer.read_exact(12), hex("2D 00 00 00 00 06 01 01 00 00 00 08"));
}

TEST(Lookup, FailureArrivesOnTheDispatchingThreadLikeARefusal) {
    Cleanup cleanup;
    LookupGate gate;
    Recorder window;
    const std::thread::id dispatcher = std::this_thread::get_id();
    std::atomic<bool> elsewhere{false};
    window.on_notice = [&](const Notice&) {
        if (std::this_thread::get_id() != dispatcher) elsewhere = true;
    };
    ASSERT_EQ(add_device(&window, KEY, u"missing.test", 0, 502, 1, 0, 0), CORVEL_OK);
    int32_t result = 0;
    std::thread caller([&] {
        int32_t error = 0;
        result = connect_device(KEY, &error);
    });
    caller.join(); // returns with the lookup still held at the gate
    EXPECT_EQ(result, CORVEL_OK);
    ASSERT_TRUE(gate.reached(1));
    gate.open();
    ASSERT_TRUE(pump_until([&] { return !window.notices.empty(); }));
    ASSERT_EQ(window.notices.size(), 1u);
    EXPECT_EQ(window.notices[0].lparam, CORVEL_LPARAM(EAI_NONAME, CORVEL_FD_CONNECT));
    EXPECT_FALSE(elsewhere);
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_ERROR);
    EXPECT_EQ(get_tcp_error_code(KEY), EAI_NONAME);
    int32_t error = 0;
    EXPECT_EQ(connect_device(KEY, &error), CORVEL_OK) << "an entry in error may connect again";
}

// The polling thread starts a connect to a controller whose name does not resolve yet and goes
// on polling another controller, which answers every request meanwhile.
TEST(Lookup, PollingThreadNeverWaitsOnAPendingLookup) {
    Cleanup cleanup;
    Recorder window;
    RawPeer answering;
    ASSERT_TRUE(connect_client(window, OTHER, answering));
    ASSERT_EQ(add_device(&window, KEY, u"slow.test", 0, closed_port(), 1, 0, 0), CORVEL_OK);
    constexpr int POLLS = 20;
    LookupGate gate;
    std::atomic<int> sent{0};
    std::atomic<int32_t> connect_result{0};
    std::thread poller([&] {
        int32_t error = 0;
        connect_result = connect_device(KEY, &error);
        for (int i = 0; i < POLLS; ++i)
            if (read_discrete_inputs(OTHER, 8, &error, 0) == CORVEL_OK) ++sent;
    });
    int answered = 0;
    const bool all_answered = pump_until(
        [&] {
            if (answering.read_exact(12, 1).size() == 12) {
                answering.write(hex("2C 00 00 00 00 04 01 02 01 01"));
                ++answered;
            }
            return window.data_codes().size() == POLLS;
        },
        5000);
    const bool still_resolving = !gate.answered(1, 0);
    gate.open();
    poller.join();
    EXPECT_TRUE(all_answered) << answered << " of " << POLLS << " polls answered";
    EXPECT_TRUE(still_resolving) << "the polls ran while the lookup was held";
    EXPECT_EQ(connect_result, CORVEL_OK);
    EXPECT_EQ(sent, POLLS);
    ASSERT_TRUE(pump_until([] { return get_tcp_connection_state(KEY) == TCP_ERROR; }))
        << "the lookup went on to a refused connect";
}

// What happens to the entry while its lookup is held, and what must not follow its result.
struct Interruption {
    const char* name;
    void (*act)(Recorder& window, int port);
    int32_t state_after; // once the result has come and gone
    int connections;     // that the controller sees
    int lookups;         // held at the gate before it opens
};

void PrintTo(const Interruption& interruption, std::ostream* out) {
    *out << interruption.name;
}

class LookupInterrupted : public ::testing::TestWithParam<Interruption> {};

TEST_P(LookupInterrupted, StaleResultIsDropped) {
    Cleanup cleanup;
    const Interruption interruption = GetParam();
    LookupGate gate;
    Recorder window;
    RawPeer peer;
    ASSERT_EQ(add_device(&window, KEY, u"controller.test", 0, peer.port(), 1, 0, 0), CORVEL_OK);
    int32_t error = 0;
    ASSERT_EQ(connect_device(KEY, &error), CORVEL_OK);
    ASSERT_TRUE(gate.reached(1));
    interruption.act(window, peer.port());
    ASSERT_TRUE(gate.reached(interruption.lookups));

    gate.open();
    ASSERT_TRUE(gate.answered(interruption.lookups));
    if (interruption.connections > 0) {
        ASSERT_TRUE(peer.accept_client());
        ASSERT_TRUE(pump_until([] { return get_tcp_connection_state(KEY) == TCP_ESTABLISHED; }));
    }
    pump_for(100);
    EXPECT_EQ(get_tcp_connection_state(KEY), interruption.state_after);
    EXPECT_EQ(connection_notices(window), static_cast<size_t>(interruption.connections));
    peer.close_client();
    EXPECT_FALSE(peer.accept_client(0)) << "no further connect reached the controller";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LookupInterrupted,
    ::testing::Values(Interruption{"Disconnected", [](Recorder&, int) { disconnect_device(KEY); },
                                   TCP_CLOSED, 0, 1},
                      Interruption{"Deleted", [](Recorder&, int) { delete_device(KEY); },
                                   CORVEL_UNKNOWN_DEVICE, 0, 1},
                      Interruption{"DeletedAndAddedAgain",
                                   [](Recorder& window, int port) {
                                       delete_device(KEY);
                                       add_device(&window, KEY, u"controller.test", 0, port, 1, 0,
                                                  0);
                                   },
                                   TCP_CLOSED, 0, 1},
                      Interruption{"ConnectedAnew",
                                   [](Recorder&, int) {
                                       int32_t error = 0;
                                       disconnect_device(KEY);
                                       connect_device(KEY, &error);
                                   },
                                   TCP_ESTABLISHED, 1, 2}),
    [](const auto& info) { return std::string(info.param.name); });
