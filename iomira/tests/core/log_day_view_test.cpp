// A day of the log read on the view's own thread: indexed in chunks, filtered as rows come,
// filtered again when the filter changes, and the day being written followed.

#include "common/written_log.h"
#include "core/log_day_view.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace iomira {
namespace {

using test::WrittenLog;
using namespace std::chrono_literals;

// Waits on the view's change reports instead of looking at the clock.
class Watched {
  public:
    Watched(const QString& folder, const QDate& day, bool follow)
        : view(folder, day, follow, [this] { changed(); }) {}

    template <class Done> bool waitFor(Done done) {
        std::unique_lock lock(mutex_);
        return reported_.wait_for(lock, 20s, [&] { return done(view.state()); });
    }
    bool settled() {
        return waitFor([](const LogDayView::State& s) { return !s.busy; });
    }

  private:
    void changed() {
        { std::lock_guard lock(mutex_); }
        reported_.notify_all();
    }
    // Made before the view and ended after it: its thread reports through them until it ends.
    std::mutex mutex_;
    std::condition_variable reported_;

  public:
    LogDayView view;
};

TEST(LogDayViewing, TheDayIsIndexedAndFilteredOnItsOwnThread) {
    WrittenLog log;
    log.lines(20000, "Pump 1");
    log.lines(5000, "Pump 2");
    Watched watched(log.folder(), log.day(), false);
    ASSERT_TRUE(watched.settled());
    EXPECT_EQ(watched.view.state().rows, 25000);
    EXPECT_FALSE(watched.view.state().filtered);
    EXPECT_EQ(watched.view.state().indexedBytes, log.bytesOfDay(log.day()));

    LogFilter filter;
    filter.controller = "Pump 2";
    watched.view.setFilter(filter);
    ASSERT_TRUE(watched.settled());
    const LogDayView::State state = watched.view.state();
    EXPECT_TRUE(state.filtered);
    EXPECT_EQ(state.matched, 5000u);
    const std::vector<uint32_t> rows = watched.view.matches(state.generation, 0);
    ASSERT_EQ(rows.size(), 5000u);
    EXPECT_EQ(rows.front(), 20000u);
    EXPECT_EQ(rows.back(), 24999u);
    EXPECT_EQ(watched.view.matches(state.generation, 4990).size(), 10u);
    EXPECT_TRUE(watched.view.matches(state.generation - 1, 0).empty());

    watched.view.setFilter({});
    ASSERT_TRUE(watched.settled());
    EXPECT_FALSE(watched.view.state().filtered);
    EXPECT_EQ(watched.view.state().matched, 0u);
}

TEST(LogDayViewing, TheDayBeingWrittenIsFollowedWithItsFilter) {
    WrittenLog log;
    log.lines(10, "Pump 1");
    Watched watched(log.folder(), log.day(), true);
    LogFilter filter;
    filter.controller = "Pump 2";
    watched.view.setFilter(filter);
    ASSERT_TRUE(watched.settled());
    EXPECT_EQ(watched.view.state().matched, 0u);

    log.lines(3, "Pump 2");
    watched.view.lookAgain();
    ASSERT_TRUE(watched.waitFor([](const LogDayView::State& s) { return s.matched == 3; }));

    log.rotate(QTime(15, 0, 0));
    log.lines(2, "Pump 2");
    log.lines(2, "Pump 1");
    watched.view.lookAgain();
    ASSERT_TRUE(watched.waitFor([](const LogDayView::State& s) { return s.rows == 17; }));
    ASSERT_TRUE(watched.waitFor([](const LogDayView::State& s) { return s.matched == 5; }));
    const LogDayView::State state = watched.view.state();
    EXPECT_EQ(watched.view.matches(state.generation, 0),
              (std::vector<uint32_t>{10, 11, 12, 13, 14}));
}

} // namespace
} // namespace iomira
