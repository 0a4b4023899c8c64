// Calls from a window procedure back into Corvel, and requests from a second thread while the
// dispatching thread decodes, disconnects and deletes.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support.h"

using namespace corvel_test;

namespace {
constexpr int32_t KEY = 301;
}

TEST(Reentry, IdentificationRequestFromInsideTheConnectNotification) {
    Recorder window;
    RawPeer peer;
    window.on_notice = [](const Notice& n) {
        int32_t error = 0;
        if (n.message == CORVEL_WM_CONNECTION && n.lparam == CORVEL_FD_CONNECT) {
            EXPECT_EQ(rlx8xx_eit_request(n.key, 4, 0x83, &error, 0), CORVEL_OK);
        }
    };
    ASSERT_TRUE(connect_client(window, KEY, peer, 0, 0, 5));
    EXPECT_EQ(peer.read_exact(11), hex("37 00 00 00 00 05 05 2B 0E 04 83"));
    delete_device(KEY);
}

TEST(Reentry, DisconnectInsideADataNotificationStopsDecodingTheRest) {
    Recorder window;
    RawPeer peer;
    ASSERT_TRUE(connect_client(window, KEY, peer));
    window.on_notice = [](const Notice& n) {
        if (n.message == CORVEL_WM_DATA) disconnect_device(n.key);
    };
    // Two requests, so that both answers are decoded (an answer nobody waits for is dropped).
    int32_t error = 0;
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(read_discrete_inputs(KEY, 8, &error, 0), CORVEL_OK);
    ASSERT_EQ(peer.read_exact(24).size(), 24u);
    peer.write(hex("2C 00 00 00 00 04 01 02 01 01 2C 01 00 00 00 04 01 02 01 02"));
    ASSERT_TRUE(pump_until([&] { return !window.data_codes().empty(); }));
    pump_for(50);
    EXPECT_EQ(window.data_codes().size(), 1u);
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_CLOSED);
    EXPECT_EQ(get_received_port_value(KEY, 1, 1), 0) << "the second frame was not decoded";
    delete_device(KEY);
}

TEST(Reentry, DeleteInsideANotification) {
    Recorder window;
    RawPeer peer;
    ASSERT_TRUE(connect_client(window, KEY, peer));
    window.on_notice = [](const Notice& n) {
        if (n.message == CORVEL_WM_DATA) {
            EXPECT_EQ(delete_device(n.key), CORVEL_OK);
        }
    };
    // Two requests, so that both answers are decoded (an answer nobody waits for is dropped).
    int32_t error = 0;
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(read_discrete_inputs(KEY, 8, &error, 0), CORVEL_OK);
    ASSERT_EQ(peer.read_exact(24).size(), 24u);
    peer.write(hex("2C 00 00 00 00 04 01 02 01 01 2C 01 00 00 00 04 01 02 01 02"));
    ASSERT_TRUE(pump_until([&] { return !window.data_codes().empty(); }));
    pump_for(50);
    EXPECT_EQ(window.data_codes().size(), 1u);
    EXPECT_EQ(get_tcp_connection_state(KEY), CORVEL_UNKNOWN_DEVICE);
}

TEST(Threads, PollingThreadSendsWhileTheWindowThreadDecodesAndDeletes) {
    Recorder window;
    RawPeer peer;
    ASSERT_TRUE(connect_client(window, KEY, peer));
    std::atomic<bool> stop{false};
    std::atomic<int> sent{0};
    std::atomic<int> refused{0};
    std::thread poller([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!stop && std::chrono::steady_clock::now() < deadline) {
            int32_t error = 0;
            const int32_t result = read_discrete_inputs(KEY, 8, &error, 0);
            if (result == CORVEL_OK) ++sent;
            if (result == CORVEL_UNKNOWN_DEVICE) ++refused;
            get_received_port_value(KEY, 1, 0);
            get_di_counter_value_register(KEY, 3);
        }
    });
    // Answer what arrives for a while, then delete the entry under the sender's feet.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    uint8_t sequence = 0;
    while (std::chrono::steady_clock::now() < until) {
        Bytes request = peer.read_exact(12, 20);
        if (request.size() == 12) {
            Bytes answer = hex("2C 00 00 00 00 04 01 02 01");
            answer.push_back(sequence++);
            peer.write(answer);
        }
        corvel_dispatch(1);
    }
    EXPECT_EQ(delete_device(KEY), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return refused > 0; }));
    stop = true;
    poller.join();
    EXPECT_GT(sent.load(), 0);
    EXPECT_GT(window.data_codes().size(), 0u);
}

TEST(Threads, ConnectFailingAtOnceNotifiesOnTheCallersThread) {
    Recorder window;
    std::thread::id notified_on;
    window.on_notice = [&](const Notice&) { notified_on = std::this_thread::get_id(); };
    ASSERT_EQ(add_device(&window, KEY, u"fe80::1", 0, 502, 1, 0, 0), CORVEL_OK);
    std::thread::id caller_id;
    size_t notices_at_return = 0;
    int32_t result = 0;
    std::thread caller([&] {
        caller_id = std::this_thread::get_id();
        int32_t error = 0;
        result = connect_device(KEY, &error);
        notices_at_return = window.notices.size();
    });
    caller.join();
    EXPECT_EQ(result, CORVEL_SOCKET_ERROR);
    EXPECT_EQ(notices_at_return, 1u);
    EXPECT_EQ(notified_on, caller_id);
    delete_device(KEY);
}
