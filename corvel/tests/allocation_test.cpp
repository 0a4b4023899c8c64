// Running out of memory at any allocation of an exported function: the function returns -2
// (out error ENOMEM where it has one), no exception escapes, and the entry is left whole.
#include <gtest/gtest.h>

#include <cerrno>
#include <poll.h>

#include "faults.h"
#include "support.h"

using namespace corvel_test;

namespace {

constexpr int32_t KEY = 501;
// Long enough that its narrow copy cannot live inside the string object.
constexpr const char16_t* LONG_HOST = u"controller-in-the-east-hall.test";
constexpr int MAX_ALLOCATIONS = 50; // more than any single call makes

struct Cleanup {
    ~Cleanup() { delete_device(KEY); }
};

// Calls `call` with the 1st, 2nd, ... allocation failing until a call completes without
// reaching its failure; `check` sees every result of a call whose allocation failed.
template <class Call, class Check> int fail_each_allocation(Call&& call, Check&& check) {
    int failures = 0;
    for (int nth = 1; nth <= MAX_ALLOCATIONS; ++nth) {
        int32_t result = 0;
        bool failed = false;
        {
            AllocationFailure failure(nth);
            EXPECT_NO_THROW(result = call());
            failed = failure.failed();
        }
        if (!failed) return failures;
        ++failures;
        check(result);
    }
    ADD_FAILURE() << "still allocating after " << MAX_ALLOCATIONS;
    return failures;
}

} // namespace

TEST(OutOfMemory, AddDeviceRegistersAllOrNothing) {
    Cleanup cleanup;
    Recorder window;
    const int failures =
        fail_each_allocation([&] { return add_device(&window, KEY, LONG_HOST, 0, 502, 1, 0, 0); },
                             [&](int32_t result) {
                                 EXPECT_EQ(result, CORVEL_SOCKET_ERROR);
                                 EXPECT_EQ(get_tcp_connection_state(KEY), CORVEL_UNKNOWN_DEVICE)
                                     << "nothing kept";
                             });
    EXPECT_GE(failures, 3) << "the entry, the host text and the table's node";
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_CLOSED) << "the last call registered it";
}

TEST(OutOfMemory, UpdateDeviceChangesNothingWhenItFails) {
    Cleanup cleanup;
    Recorder window;
    RawPeer peer;
    ASSERT_EQ(add_device(&window, KEY, u"127.0.0.1", 0, peer.port(), 1, 0, 0), CORVEL_OK);
    const int failures = fail_each_allocation(
        [&] { return update_device(KEY, LONG_HOST, 0, closed_port(), 1, 0, 0); },
        [&](int32_t result) { EXPECT_EQ(result, CORVEL_SOCKET_ERROR); });
    EXPECT_GE(failures, 1);
    ASSERT_EQ(update_device(KEY, u"127.0.0.1", 0, peer.port(), 1, 0, 0), CORVEL_OK);
    int32_t error = 0;
    ASSERT_EQ(connect_device(KEY, &error), CORVEL_OK);
    EXPECT_TRUE(peer.accept_client()) << "the entry still works";
}

TEST(OutOfMemory, ConnectFailsLikeAnyFailedConnect) {
    Cleanup cleanup;
    Recorder window;
    ASSERT_EQ(add_device(&window, KEY, LONG_HOST, 0, closed_port(), 1, 0, 0), CORVEL_OK);
    int32_t error = 0;
    const int failures = fail_each_allocation(
        [&] {
            window.notices.clear();
            error = 0;
            return connect_device(KEY, &error);
        },
        [&](int32_t result) {
            EXPECT_EQ(result, CORVEL_SOCKET_ERROR);
            EXPECT_EQ(error, ENOMEM);
            EXPECT_EQ(get_tcp_connection_state(KEY), TCP_ERROR);
            EXPECT_EQ(get_tcp_error_code(KEY), ENOMEM);
            ASSERT_EQ(window.notices.size(), 1u);
            EXPECT_EQ(window.notices[0].lparam, CORVEL_LPARAM(ENOMEM, CORVEL_FD_CONNECT));
        });
    EXPECT_GE(failures, 1) << "the lookup's job";
    ASSERT_TRUE(pump_until([] { return get_tcp_connection_state(KEY) == TCP_ERROR; }))
        << "the last connect went on to a refused connect";
}

TEST(OutOfMemory, RequestFailsAndTheConnectionStays) {
    Cleanup cleanup;
    Recorder window;
    RawPeer peer;
    ASSERT_TRUE(connect_client(window, KEY, peer));
    int32_t error = 0;
    const int failures = fail_each_allocation(
        [&] {
            error = 0;
            return read_coils(KEY, 8, &error, 0);
        },
        [&](int32_t result) {
            EXPECT_EQ(result, CORVEL_SOCKET_ERROR);
            EXPECT_EQ(error, ENOMEM);
            EXPECT_EQ(get_tcp_connection_state(KEY), TCP_ESTABLISHED);
        });
    EXPECT_GE(failures, 1);
    EXPECT_EQ(peer.read_exact(12), hex("2D 00 00 00 00 06 01 01 00 00 00 08"))
        << "only the request that went through is on the wire, with the first sequence number";
}

TEST(OutOfMemory, AnswerDeadlineCheckIsTriedAgain) {
    Cleanup cleanup;
    struct DefaultTimeoutAfterwards {
        ~DefaultTimeoutAfterwards() { corvel_set_answer_timeout(CORVEL_ANSWER_TIMEOUT_MS); }
    } restore;
    Recorder window;
    RawPeer peer;
    ASSERT_TRUE(connect_client(window, KEY, peer));
    ASSERT_EQ(corvel_set_answer_timeout(200), CORVEL_OK);
    int32_t error = 0;
    ASSERT_EQ(read_coils(KEY, 8, &error, 0), CORVEL_OK);
    ASSERT_EQ(peer.read_exact(12).size(), 12u);

    const intptr_t timed_out = CORVEL_LPARAM(ETIMEDOUT, CORVEL_FD_CLOSE);
    pollfd ready{corvel_event_fd(), POLLIN, 0};
    bool check_failed = false;
    for (int wakes = 0; wakes < 10 && !window.has(CORVEL_WM_CONNECTION, timed_out); ++wakes) {
        ASSERT_EQ(poll(&ready, 1, 2000), 1) << "the deadline is kept after a failed check";
        if (check_failed) {
            corvel_dispatch(0);
            continue;
        }
        AllocationFailure failure(1);
        EXPECT_EQ(corvel_dispatch(0), 1);
        check_failed = failure.failed();
        EXPECT_FALSE(window.has(CORVEL_WM_CONNECTION, timed_out));
    }
    EXPECT_TRUE(check_failed);
    EXPECT_TRUE(window.has(CORVEL_WM_CONNECTION, timed_out));
    EXPECT_EQ(get_tcp_connection_state(KEY), TCP_ERROR);
}
