// The event loop on real descriptors: only ready handlers run, once per pass, however many
// descriptors are watched; handlers removed, replaced or closed earlier in a pass are never
// called for the stale event; the poll event bits go both ways; timers run in order.

#include "event_loop.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <vector>

using namespace tevronsim;

namespace {

struct Pair {
    int watched = -1;
    int peer = -1;
};

// Socket pairs whose watched ends the tests own; closed at the end of each test. A deque, so
// that the handlers' references stay valid as pairs are added.
class Pairs {
  public:
    ~Pairs() {
        for (const auto& p : pairs_) {
            if (p.watched >= 0) ::close(p.watched);
            ::close(p.peer);
        }
    }
    Pair& add() {
        int sv[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, sv) != 0)
            ADD_FAILURE() << "socketpair";
        pairs_.push_back({sv[0], sv[1]});
        return pairs_.back();
    }
    Pair& operator[](std::size_t i) { return pairs_[i]; }

  private:
    std::deque<Pair> pairs_;
};

void poke(const Pair& p) {
    ASSERT_EQ(::write(p.peer, "x", 1), 1);
}

void drain(int fd) {
    char buf[64];
    while (::read(fd, buf, sizeof buf) > 0) {
    }
}

// 2,000 pairs take 4,000 descriptors, above the usual soft limit of 1,024.
bool allow_descriptors(rlim_t wanted) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return false;
    if (limit.rlim_cur >= wanted) return true;
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < wanted) return false;
    limit.rlim_cur = wanted;
    return ::setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

TEST(EventLoopDescriptors, AmongThousandsOnlyTheReadyOnesRunOncePerPass) {
    constexpr int kPairs = 2000;
    if (!allow_descriptors(2 * kPairs + 64)) GTEST_SKIP() << "too few descriptors allowed";
    EventLoop loop;
    Pairs pairs;
    std::map<int, int> calls; // pair index -> handler runs
    for (int i = 0; i < kPairs; ++i) {
        Pair& p = pairs.add();
        loop.watch(p.watched, POLLIN, [&calls, &p, i](short revents) {
            EXPECT_TRUE(revents & POLLIN);
            ++calls[i];
            drain(p.watched);
        });
    }
    const std::vector<int> ready = {0, 7, 999, 1500, kPairs - 1};
    for (int i : ready)
        poke(pairs[static_cast<std::size_t>(i)]);
    loop.run_once(1000);
    EXPECT_EQ(calls.size(), ready.size());
    for (int i : ready)
        EXPECT_EQ(calls[i], 1) << "pair " << i;
    // Drained: nothing runs again.
    loop.run_once(0);
    EXPECT_EQ(calls.size(), ready.size());
    for (int i : ready)
        EXPECT_EQ(calls[i], 1) << "pair " << i;
}

TEST(EventLoopDescriptors, MoreReadyThanOneWakeupTakesRunOnTheNextPasses) {
    constexpr int kPairs = 600;
    if (!allow_descriptors(2 * kPairs + 64)) GTEST_SKIP() << "too few descriptors allowed";
    EventLoop loop;
    Pairs pairs;
    std::vector<int> calls(kPairs);
    for (int i = 0; i < kPairs; ++i) {
        Pair& p = pairs.add();
        loop.watch(p.watched, POLLIN, [&calls, &p, i](short) {
            ++calls[static_cast<std::size_t>(i)];
            drain(p.watched);
        });
        poke(p);
    }
    int total = 0;
    for (int pass = 0; pass < 10 && total < kPairs; ++pass) {
        loop.run_once(0);
        total = 0;
        for (int c : calls)
            total += c;
    }
    for (int i = 0; i < kPairs; ++i)
        EXPECT_EQ(calls[static_cast<std::size_t>(i)], 1) << "pair " << i;
}

TEST(EventLoopDescriptors, AnUnreadDescriptorIsReportedAgain) {
    EventLoop loop;
    Pairs pairs;
    Pair& p = pairs.add();
    int calls = 0;
    loop.watch(p.watched, POLLIN, [&calls](short) { ++calls; });
    poke(p);
    loop.run_once(1000);
    loop.run_once(1000);
    EXPECT_EQ(calls, 2);
}

// Two ready descriptors; whichever handler runs first acts on the other one.
class EventLoopStale : public ::testing::Test {
  protected:
    EventLoopStale() {
        pairs.add();
        pairs.add();
    }
    void watch_both(const std::function<void(int other)>& act) {
        for (int i = 0; i < 2; ++i) {
            loop.watch(pairs[static_cast<std::size_t>(i)].watched, POLLIN, [this, i, act](short) {
                ++original[i];
                drain(pairs[static_cast<std::size_t>(i)].watched);
                if (acted) return;
                acted = true;
                act(1 - i);
            });
        }
        poke(pairs[0]);
        poke(pairs[1]);
    }
    int first_to_run() const { return original[0] ? 0 : 1; }

    EventLoop loop;
    Pairs pairs;
    int original[2] = {0, 0};
    bool acted = false;
};

TEST_F(EventLoopStale, AHandlerUnwatchedEarlierInThePassIsNotCalled) {
    watch_both([this](int other) { loop.unwatch(pairs[static_cast<std::size_t>(other)].watched); });
    loop.run_once(1000);
    EXPECT_EQ(original[0] + original[1], 1);
    poke(pairs[0]);
    poke(pairs[1]);
    loop.run_once(1000);
    EXPECT_EQ(original[first_to_run()], 2);
    EXPECT_EQ(original[1 - first_to_run()], 0);
}

TEST_F(EventLoopStale, AReplacedHandlerIsNotCalledAndItsSuccessorWaitsForTheNextPass) {
    int successor = 0;
    watch_both([this, &successor](int other) {
        // Not drained: the descriptor stays ready for the new handler.
        loop.watch(pairs[static_cast<std::size_t>(other)].watched, POLLIN,
                   [&successor](short) { ++successor; });
    });
    loop.run_once(1000);
    EXPECT_EQ(original[0] + original[1], 1);
    EXPECT_EQ(successor, 0);
    loop.run_once(1000);
    EXPECT_EQ(successor, 1);
    EXPECT_EQ(original[0] + original[1], 1);
}

TEST_F(EventLoopStale, ADescriptorNumberReusedInThePassDoesNotGetTheOldEvent) {
    int newcomer = 0;
    Pair fresh;
    watch_both([this, &newcomer, &fresh](int other) {
        Pair& old = pairs[static_cast<std::size_t>(other)];
        loop.unwatch(old.watched);
        ::close(old.watched);
        const int number = old.watched;
        old.watched = -1;
        fresh = pairs.add();
        // The lowest free number is the one just closed.
        EXPECT_EQ(fresh.watched, number);
        loop.watch(fresh.watched, POLLIN, [&newcomer](short) { ++newcomer; });
    });
    loop.run_once(1000);
    EXPECT_EQ(original[0] + original[1], 1);
    EXPECT_EQ(newcomer, 0);
    poke(fresh);
    loop.run_once(1000);
    EXPECT_EQ(newcomer, 1);
}

TEST(EventLoopClosing, AHandlerThatClosesItsOwnDescriptorLeavesTheLoopWorking) {
    EventLoop loop;
    Pairs pairs;
    Pair& closing = pairs.add();
    Pair& other = pairs.add();
    int closing_calls = 0, other_calls = 0;
    loop.watch(closing.watched, POLLIN, [&](short) {
        ++closing_calls;
        ::close(closing.watched);
        closing.watched = -1;
    });
    loop.watch(other.watched, POLLIN, [&](short) {
        ++other_calls;
        drain(other.watched);
    });
    poke(closing);
    loop.run_once(1000);
    EXPECT_EQ(closing_calls, 1);
    // Closed without unwatch: it never reports again, and the others still do.
    poke(other);
    loop.run_once(1000);
    loop.run_once(0);
    EXPECT_EQ(closing_calls, 1);
    EXPECT_EQ(other_calls, 1);
    // Its number, handed out again, is watched afresh; a late unwatch of it before that is
    // harmless.
    Pair& reused = pairs.add();
    int reused_calls = 0;
    loop.watch(reused.watched, POLLIN, [&](short) {
        ++reused_calls;
        drain(reused.watched);
    });
    poke(reused);
    loop.run_once(1000);
    EXPECT_EQ(reused_calls, 1);
    EXPECT_EQ(closing_calls, 1);
}

TEST(EventLoopClosing, UnwatchAfterCloseIsHarmless) {
    EventLoop loop;
    Pairs pairs;
    Pair& p = pairs.add();
    loop.watch(p.watched, POLLIN, [](short) { ADD_FAILURE() << "called after unwatch"; });
    ::close(p.watched);
    loop.unwatch(p.watched);
    p.watched = -1;
    loop.run_once(0);
}

TEST(EventLoopEvents, PollBitsArriveAsPollBits) {
    EventLoop loop;
    Pairs pairs;
    Pair& p = pairs.add();
    short seen = 0;
    loop.watch(p.watched, POLLOUT, [&seen](short revents) { seen = revents; });
    loop.run_once(1000);
    EXPECT_EQ(seen, POLLOUT);

    // Switched to reading: nothing to read, nothing runs.
    seen = 0;
    loop.set_events(p.watched, POLLIN | POLLRDHUP);
    loop.run_once(0);
    EXPECT_EQ(seen, 0);

    ::close(p.peer);
    p.peer = ::open("/dev/null", O_RDONLY | O_CLOEXEC); // for the destructor
    loop.run_once(1000);
    EXPECT_TRUE(seen & POLLIN);
    EXPECT_TRUE(seen & POLLRDHUP);
    EXPECT_TRUE(seen & POLLHUP);
    EXPECT_FALSE(seen & POLLOUT);
}

TEST(EventLoopEvents, AFileThatEpollRefusesIsAlwaysReadyAsWithPoll) {
    // Standard input may be /dev/null or a file of commands.
    EventLoop loop;
    int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    int calls = 0;
    loop.watch(fd, POLLIN, [&](short revents) {
        EXPECT_EQ(revents, POLLIN);
        char c;
        if (++calls == 2 && ::read(fd, &c, 1) == 0) loop.unwatch(fd);
    });
    loop.run_once(1000);
    loop.run_once(1000);
    loop.run_once(0);
    EXPECT_EQ(calls, 2);
    ::close(fd);
}

TEST(EventLoopTimers, RunInTheOrderDueAndCancelledOnesNever) {
    EventLoop loop;
    std::vector<int> order;
    auto now = Clock::now();
    std::vector<EventLoop::TimerId> ids;
    for (int i : {3, 1, 4, 0, 2})
        ids.push_back(loop.add_timer(now + std::chrono::milliseconds(i),
                                     [&order, i] { order.push_back(i); }));
    loop.cancel_timer(ids[2]); // the one due at 4 ms
    loop.cancel_timer(ids[2]); // twice is harmless
    while (order.size() < 4 && Clock::now() < now + std::chrono::seconds(5))
        loop.run_once(100);
    loop.run_once(10);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3}));
    loop.cancel_timer(ids[0]); // already run
}

TEST(EventLoopTimers, AnImmediateTimerAddedByATimerWaitsForTheNextPass) {
    EventLoop loop;
    int inner = 0;
    loop.add_timer(std::chrono::milliseconds(0),
                   [&] { loop.add_timer(std::chrono::milliseconds(0), [&inner] { ++inner; }); });
    loop.run_once(0);
    EXPECT_EQ(inner, 0);
    loop.run_once(0);
    EXPECT_EQ(inner, 1);
}

TEST(EventLoopTimers, ATimerCancelledByAnotherOneBeforeItIsDueNeverRuns) {
    EventLoop loop;
    bool ran = false;
    auto later = loop.add_timer(std::chrono::milliseconds(30), [&ran] { ran = true; });
    loop.add_timer(std::chrono::milliseconds(0), [&] { loop.cancel_timer(later); });
    auto until = Clock::now() + std::chrono::milliseconds(60);
    while (Clock::now() < until)
        loop.run_once(20);
    EXPECT_FALSE(ran);
}

} // namespace
