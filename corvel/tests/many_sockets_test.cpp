// Corvel with thousands of connections, as a polling thread walking every controller once a
// pass sees it while another thread dispatches: sends to sockets that would block, controllers
// deleted under a pass, answers arriving in any order, and thousands of sockets ready at once.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <memory>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>

#include "answering_peer.h"
#include "polling_thread.h"
#include "support.h"

using namespace corvel_test;

namespace {

constexpr int32_t FIRST_KEY = 5000;
constexpr int ANSWERING = 2000;
constexpr int32_t FIRST_BLOCKED_KEY = 9000;
constexpr int BLOCKED = 3;
constexpr size_t REQUEST_SIZE = 12;
// What a blocked controller is sent in all: more than the kernel takes from a sender whose
// peer does not read (up to about 56 KB with this window), and less than that plus the 64 KiB
// Corvel keeps before it gives up on a connection.
constexpr int BLOCKED_FRAMES = 7000;
constexpr SmallWindow SMALL_WINDOW{2048, 536};

uint8_t unit_of(int32_t key) {
    return static_cast<uint8_t>(1 + key % 247);
}

std::vector<int32_t> key_range(int32_t first, int count) {
    std::vector<int32_t> keys;
    for (int i = 0; i < count; ++i)
        keys.push_back(first + i);
    return keys;
}

// The n-th read_discrete_inputs(key, 8, ...) of a connection whose input base is the key.
Bytes expected_request(int32_t key, int n) {
    Bytes frame = hex("2C 00 00 00 00 06 00 02 00 00 00 08");
    frame[1] = static_cast<uint8_t>(n);
    frame[6] = unit_of(key);
    frame[8] = static_cast<uint8_t>(key >> 8);
    frame[9] = static_cast<uint8_t>(key & 0xFF);
    return frame;
}

// The first `frames` requests of such a connection, back to back.
Bytes expected_stream(int32_t key, int frames) {
    Bytes stream;
    for (int n = 0; n < frames; ++n) {
        const Bytes frame = expected_request(key, n);
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    return stream;
}

// The index of the first frame where the bytes differ from the expected stream, or -1.
long first_wrong_frame(const Bytes& bytes, int32_t key) {
    const Bytes expected = expected_stream(key, static_cast<int>(bytes.size() / REQUEST_SIZE + 1));
    for (size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] != expected[i]) return static_cast<long>(i / REQUEST_SIZE);
    return -1;
}

class ManySockets : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved_limit_), 0);
        rlimit raised = saved_limit_;
        raised.rlim_cur = raised.rlim_max;
        ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &raised), 0);
        // The blocked peers never answer; the answer watchdog is not what these tests watch.
        corvel_set_answer_timeout(0);
        answers_.assign(FIRST_BLOCKED_KEY + BLOCKED, 0);
        window_.on_notice = [this](const Notice& notice) { tally(notice); };
    }

    void TearDown() override {
        for (const int32_t key : keys_)
            delete_device(key);
        corvel_set_answer_timeout(CORVEL_ANSWER_TIMEOUT_MS);
        setrlimit(RLIMIT_NOFILE, &saved_limit_);
    }

    void tally(const Notice& notice) {
        if (notice.message != CORVEL_WM_DATA) return;
        if (notice.lparam != MB_INPUTS || deleted_.count(notice.key)) {
            ++unexpected_;
            return;
        }
        ++answers_.at(static_cast<size_t>(notice.key));
        if (on_answer_) on_answer_(notice.key);
    }

    // Registers and connects `count` clients of the peer, the first at `first` with input
    // base `first_base`, the next one above.
    bool connect_all(int32_t first, int count, int port, int first_base) {
        for (int i = 0; i < count; ++i) {
            const int32_t key = first + i;
            if (add_device(&window_, key, u"127.0.0.1", CORVEL_MODE_CLIENT, port, unit_of(key),
                           first_base + i, 0) != CORVEL_OK)
                return false;
            keys_.push_back(key);
            int32_t error = 0;
            if (connect_device(key, &error) != CORVEL_OK) return false;
        }
        int ready = 0;
        return pump_until(
            [&] {
                while (ready < count && get_tcp_connection_state(first + ready) == TCP_ESTABLISHED)
                    ++ready;
                return ready == count;
            },
            10000);
    }

    // The controllers whose peers do not read, each behind its own small window.
    bool connect_blocked(std::vector<std::unique_ptr<RawPeer>>& peers) {
        for (int i = 0; i < BLOCKED; ++i) {
            const int32_t key = FIRST_BLOCKED_KEY + i;
            peers.push_back(std::make_unique<RawPeer>(SMALL_WINDOW));
            keys_.push_back(key);
            if (!connect_client(window_, key, *peers.back(), key, 0, unit_of(key))) return false;
        }
        return true;
    }

    bool all_answered(int32_t first, int count, int expected) const {
        for (int i = 0; i < count; ++i)
            if (answers_[static_cast<size_t>(first + i)] != expected) return false;
        return true;
    }

    void remove(int32_t first, int count) {
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(delete_device(first + i), CORVEL_OK);
            deleted_.insert(first + i);
        }
    }

    // The blocked peer first takes what the kernel holds without Corvel dispatching, then the
    // rest while it dispatches: every frame whole, in order, none lost or repeated.
    void expect_delivered_after_blocking(RawPeer& peer, int32_t key, int frames) {
        const size_t total = REQUEST_SIZE * static_cast<size_t>(frames);
        Bytes bytes = peer.read_quietly(100);
        EXPECT_LT(bytes.size(), total) << "key " << key << ": nothing waited in Corvel's buffer";
        const Bytes rest = peer.read_exact(total - bytes.size(), 5000);
        bytes.insert(bytes.end(), rest.begin(), rest.end());
        ASSERT_EQ(bytes.size(), total) << "key " << key;
        EXPECT_EQ(first_wrong_frame(bytes, key), -1) << "key " << key;
        EXPECT_TRUE(peer.nothing_more());
    }

    Recorder window_;
    std::vector<int32_t> keys_;
    std::vector<int> answers_; // input notifications, by key
    std::set<int32_t> deleted_;
    int unexpected_ = 0; // other data notifications, or any after the key's deletion
    std::function<void(int32_t key)> on_answer_;
    rlimit saved_limit_{};
};

TEST_F(ManySockets, PassesOverThousandsOfSocketsKeepWhatWouldBlockWholeAndInOrder) {
    AnsweringPeer peer;
    ASSERT_TRUE(connect_all(FIRST_KEY, ANSWERING, peer.port(), FIRST_KEY));
    std::vector<std::unique_ptr<RawPeer>> blocked;
    ASSERT_TRUE(connect_blocked(blocked));
    constexpr int PASSES = 7;
    PollingThread poller({key_range(FIRST_KEY, ANSWERING), key_range(FIRST_BLOCKED_KEY, BLOCKED),
                          BLOCKED_FRAMES / PASSES, PASSES, PASSES});
    poller.allow(PASSES);
    ASSERT_TRUE(pump_until(
        [&] { return poller.done() && all_answered(FIRST_KEY, ANSWERING, PASSES); }, 10000));
    poller.join();
    EXPECT_EQ(peer.answered(), size_t(ANSWERING * PASSES)) << "requests sent twice";
    for (int32_t key = FIRST_KEY; key < FIRST_KEY + ANSWERING; ++key)
        ASSERT_EQ(poller.count(key, CORVEL_OK), PASSES) << "key " << key;
    EXPECT_EQ(unexpected_, 0);
    for (int i = 0; i < BLOCKED; ++i) {
        const int32_t key = FIRST_BLOCKED_KEY + i;
        ASSERT_EQ(poller.count(key, CORVEL_OK), BLOCKED_FRAMES);
        expect_delivered_after_blocking(*blocked[i], key, BLOCKED_FRAMES);
    }
}

// Requests of one key: every one accepted until it was deleted, every one refused after.
void expect_refused_from_deletion_on(const std::vector<int32_t>& results, int32_t key) {
    size_t accepted = 0;
    while (accepted < results.size() && results[accepted] == CORVEL_OK)
        ++accepted;
    for (size_t i = accepted; i < results.size(); ++i)
        ASSERT_EQ(results[i], CORVEL_UNKNOWN_DEVICE) << "key " << key << " request " << i;
}

TEST_F(ManySockets, ControllersDeletedDuringPassesAreGoneAndTheOthersStillAnswered) {
    AnsweringPeer peer;
    ASSERT_TRUE(connect_all(FIRST_KEY, ANSWERING, peer.port(), FIRST_KEY));
    std::vector<std::unique_ptr<RawPeer>> blocked;
    ASSERT_TRUE(connect_blocked(blocked));
    constexpr int PASSES = 6;
    constexpr int BURST_PASSES = 3;
    PollingThread poller({key_range(FIRST_KEY, ANSWERING), key_range(FIRST_BLOCKED_KEY, BLOCKED),
                          BLOCKED_FRAMES / BURST_PASSES, BURST_PASSES, PASSES});
    poller.allow(BURST_PASSES);
    // In the second pass, behind the walk and ahead of it.
    ASSERT_TRUE(pump_until([&] { return poller.walked() >= ANSWERING + ANSWERING / 2; }, 10000));
    remove(FIRST_KEY, 50);
    remove(FIRST_KEY + 1800, 50);
    // Between passes, with a blocked controller's requests still in Corvel's buffer.
    ASSERT_TRUE(pump_until([&] { return poller.passes_done() == BURST_PASSES; }, 10000));
    remove(FIRST_KEY + 1000, 20);
    remove(FIRST_BLOCKED_KEY, 1);
    poller.allow(PASSES);
    ASSERT_TRUE(pump_until([&] { return poller.walked() >= 4 * ANSWERING + 100; }, 10000));
    remove(FIRST_KEY + 1990, 10);
    ASSERT_TRUE(pump_until([&] { return poller.done(); }, 10000));
    poller.join();

    std::set<uint16_t> expected_closed;
    for (int32_t key = FIRST_KEY; key < FIRST_KEY + ANSWERING; ++key) {
        const std::vector<int32_t>& results = poller.results(key);
        expect_refused_from_deletion_on(results, key);
        if (!deleted_.count(key)) {
            ASSERT_EQ(poller.count(key, CORVEL_OK), PASSES) << "key " << key;
            continue;
        }
        expected_closed.insert(static_cast<uint16_t>(key));
        EXPECT_EQ(results.back(), CORVEL_UNKNOWN_DEVICE) << "key " << key;
        EXPECT_LE(answers_[static_cast<size_t>(key)], poller.count(key, CORVEL_OK));
    }
    EXPECT_EQ(poller.count(FIRST_KEY + 1000, CORVEL_OK), BURST_PASSES);
    ASSERT_TRUE(pump_until(
        [&] {
            return all_answered(FIRST_KEY + 50, 950, PASSES) &&
                   all_answered(FIRST_KEY + 1020, 780, PASSES) &&
                   all_answered(FIRST_KEY + 1850, 140, PASSES) &&
                   peer.closed_addresses() == expected_closed;
        },
        5000));
    EXPECT_EQ(unexpected_, 0);

    // The deleted blocked controller's peer gets a prefix of its requests, then the close.
    const int32_t gone = FIRST_BLOCKED_KEY;
    expect_refused_from_deletion_on(poller.results(gone), gone);
    EXPECT_EQ(poller.count(gone, CORVEL_OK), BLOCKED_FRAMES / BURST_PASSES * BURST_PASSES);
    Bytes received;
    EXPECT_TRUE(blocked[0]->read_until_closed(received));
    EXPECT_LT(received.size(), REQUEST_SIZE * BLOCKED_FRAMES) << "nothing waited in Corvel";
    EXPECT_EQ(first_wrong_frame(received, gone), -1);
    for (int i = 1; i < BLOCKED; ++i) {
        const int32_t key = FIRST_BLOCKED_KEY + i;
        expect_delivered_after_blocking(*blocked[i], key, poller.count(key, CORVEL_OK));
    }
}

TEST_F(ManySockets, AnswersInShuffledOrderReachTheControllerThatAsked) {
    AnsweringPeer peer(address_and_id_answer);
    constexpr int CONTROLLERS = 500;
    constexpr int PER_PASS = 3;
    constexpr int PASSES = 2;
    constexpr int FIRST_BASE = 1000;
    ASSERT_TRUE(connect_all(FIRST_KEY, CONTROLLERS, peer.port(), FIRST_BASE));
    // What each answer left in its controller's registers while its notification ran.
    std::map<int32_t, std::vector<std::pair<int32_t, int32_t>>> seen;
    on_answer_ = [&](int32_t key) {
        seen[key].emplace_back(get_received_input_register_value(key, 0),
                               get_received_input_register_value(key, 1));
    };
    for (int pass = 0; pass < PASSES; ++pass) {
        peer.hold();
        int32_t error = 0;
        for (int n = 0; n < PER_PASS; ++n)
            for (int32_t key = FIRST_KEY; key < FIRST_KEY + CONTROLLERS; ++key)
                ASSERT_EQ(input_registers_read(key, 2, &error), CORVEL_OK);
        ASSERT_TRUE(pump_until([&] { return peer.held() == size_t(CONTROLLERS * PER_PASS); }));
        peer.release(static_cast<unsigned>(pass + 1));
        ASSERT_TRUE(pump_until(
            [&] { return all_answered(FIRST_KEY, CONTROLLERS, (pass + 1) * PER_PASS); }, 5000));
    }
    EXPECT_EQ(unexpected_, 0);
    for (int i = 0; i < CONTROLLERS; ++i) {
        const int32_t key = FIRST_KEY + i;
        const std::vector<std::pair<int32_t, int32_t>>& answers = seen[key];
        ASSERT_EQ(answers.size(), size_t(PASSES * PER_PASS));
        for (int n = 0; n < PASSES * PER_PASS; ++n)
            ASSERT_EQ(answers[size_t(n)], std::make_pair(FIRST_BASE + i, 0x3400 + n))
                << "key " << key << " answer " << n;
        EXPECT_EQ(get_received_input_register_value(key, 0), FIRST_BASE + i);
    }
}

// Streams answers nobody asked for into a connection from a thread of its own, for at most
// five seconds, so that its socket stays readable all along.
class Flood {
  public:
    explicit Flood(RawPeer& peer) : thread_([this, &peer] { run(peer.client_socket()); }) {}
    ~Flood() { stop(); }
    void stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    bool running() const { return !finished_; }

  private:
    void run(int socket) {
        Bytes chunk;
        for (int i = 0; i < 400; ++i) {
            const Bytes frame = hex("2C 00 00 00 00 04 01 02 01 00");
            chunk.insert(chunk.end(), frame.begin(), frame.end());
        }
        // One endless stream of whole frames, however the sends split it.
        size_t at = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!stop_ && std::chrono::steady_clock::now() < deadline) {
            pollfd p{socket, POLLOUT, 0};
            if (poll(&p, 1, 10) != 1) continue;
            const ssize_t n = send(socket, chunk.data() + at, chunk.size() - at, MSG_DONTWAIT);
            if (n > 0) at = (at + static_cast<size_t>(n)) % chunk.size();
        }
        finished_ = true;
    }

    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

// corvel_dispatch handles a bounded number of events a call: thousands of sockets made ready
// at once are all handled over the calls that follow, and a connection that never stops
// being readable takes its turn without holding the others back.
TEST_F(ManySockets, ThousandsOfReadySocketsAreAllHandledAndNoneStarvedByABusyOne) {
    AnsweringPeer peer;
    ASSERT_TRUE(connect_all(FIRST_KEY, ANSWERING, peer.port(), FIRST_KEY));
    RawPeer busy_peer;
    const int32_t busy = FIRST_BLOCKED_KEY;
    keys_.push_back(busy);
    ASSERT_TRUE(connect_client(window_, busy, busy_peer));
    peer.hold();
    int32_t error = 0;
    for (int32_t key = FIRST_KEY; key < FIRST_KEY + ANSWERING; ++key)
        ASSERT_EQ(read_discrete_inputs(key, 8, &error, 0), CORVEL_OK);
    ASSERT_TRUE(pump_until([&] { return peer.held() == size_t(ANSWERING); }));
    Flood flood(busy_peer);
    ASSERT_TRUE(pump_until([&] { return get_dropped_answer_count(busy) > 0; }));
    peer.release(7);
    int events = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!all_answered(FIRST_KEY, ANSWERING, 1) && std::chrono::steady_clock::now() < deadline) {
        const int handled = corvel_dispatch(10);
        if (handled > 0) events += handled;
    }
    ASSERT_TRUE(all_answered(FIRST_KEY, ANSWERING, 1));
    EXPECT_TRUE(flood.running()) << "the others were answered only once the busy one went quiet";
    EXPECT_GE(events, ANSWERING);
    const int32_t dropped = get_dropped_answer_count(busy);
    pump_for(20);
    EXPECT_GT(get_dropped_answer_count(busy), dropped) << "the busy connection lost its turn";
    flood.stop();
    EXPECT_EQ(unexpected_, 0);
    EXPECT_TRUE(all_answered(FIRST_KEY, ANSWERING, 1)) << "an answer was decoded twice";
}

} // namespace
