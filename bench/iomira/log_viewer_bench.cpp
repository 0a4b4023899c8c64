// The event viewer's reading of one day of the log: a day of 5 MiB files (1 GB unless an
// argument gives the size in MB) written by the program's own event log with a mix of
// controllers and line kinds, then the time to the first rows, the whole day's index in MB/s
// (goal > 200), filters over it in MB/s (goal > 100) and the index's memory as a share of the
// files (goal < 10 %), from its own sizes and from the growth of resident memory.
#include "core/event_log.h"
#include "core/log_day_view.h"
#include "core/log_entries.h"
#include "core/log_texts.h"
#include "core/quorvis_data.h"
#include "core/texts.h"
#include "process_figures.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

using namespace iomira;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kControllers = 40;
constexpr auto kWriteTimeLimit = std::chrono::minutes(15);
constexpr auto kWaitLimit = std::chrono::minutes(5);

std::vector<CQUORVISData> controllers() {
    std::vector<CQUORVISData> list;
    for (int i = 0; i < kControllers; ++i) {
        CQUORVISData c;
        c.DeviceId = i + 1;
        c.DeviceComment = i % 4 == 3 ? QString::fromUtf8("펌프실 %1").arg(i)
                                     : QStringLiteral("Boiler room %1").arg(i);
        c.HostAddr = QStringLiteral("10.20.0.%1").arg(i + 1);
        for (int p = 0; p < kDigitalPorts; ++p) {
            c.DiComment[p] = QStringLiteral("DI%1 sensor").arg(p);
            c.DoComment[p] = QStringLiteral("DO%1 valve").arg(p);
        }
        list.push_back(c);
    }
    return list;
}

// One polling turn of a controller as the program logs it; now and then a connection event
// or a mail.
void pollTurn(EventLog& log, const CQUORVISData& c, int turn, const QDateTime& now) {
    log.WriteEntry(stateEntryLine(c, logText(TEXT_SEND_READ_INPUTS), -1, LOG_VALUE_NONE, 3, now));
    log.WriteEntry(stateEntryLine(c, logText(TEXT_RESPONSE_INPUTS), -1, LOG_VALUE_NONE, 3, now));
    for (int i = 0; i < 8; ++i)
        log.WriteEntry(inputStatusEntryLine(c, i, (turn + i) % 2, now));
    for (int ch = 0; ch < 4; ++ch)
        log.WriteEntry(valueEntryLine(c, QStringLiteral("ANALOG"), logText(TEXT_ANALOG_VALUE), ch,
                                      (turn * 7 + ch * 100) % 4096, now));
    for (int o = 0; o < 4; ++o)
        log.WriteEntry(
            stateEntryLine(c, logText(TEXT_OUTPUT_PORT_STATUS), o, (turn + o) % 2, 3, now));
    if (turn % 50 == 0) log.WriteEntry(stateEntryLine(c, {}, -1, LOG_VALUE_NONE, 3, now));
    if (turn % 200 == 0)
        log.WriteEntry(stateEntryLine(c,
                                      QStringLiteral("[%1]Try to send a mail.(%2-INPUT0,DI0 "
                                                     "sensor,ON)")
                                          .arg(turn)
                                          .arg(c.DeviceComment),
                                      -1, LOG_VALUE_NONE, 3, now));
}

// Writes about `bytes` of one day; false when the time limit stopped it first.
bool writeDay(const QString& folder, qint64 bytes) {
    QDateTime now(QDate(2026, 5, 6), QTime(0, 0, 0));
    EventLog log(folder, [&now] { return now; });
    if (log.OpenNewFile() != 0) return false;
    const std::vector<CQUORVISData> list = controllers();
    const auto start = Clock::now();
    qint64 written = 0;
    for (int turn = 0; written < bytes; ++turn) {
        if (Clock::now() - start > kWriteTimeLimit) return false;
        // Spread over the day: a second passes every few turns.
        if (turn % 3 == 0 && now.time() < QTime(23, 59, 0)) now = now.addSecs(1);
        pollTurn(log, list[static_cast<size_t>(turn % kControllers)], turn, now);
        if (turn % 1000 == 0) written = bench::folderBytes(folder.toStdString());
    }
    return true;
}

// Waits on the view's reports for a state.
class Waiter {
  public:
    void changed() {
        { std::lock_guard lock(mutex_); }
        cv_.notify_all();
    }
    template <class Done> bool wait(const LogDayView& view, Done done) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, kWaitLimit, [&] { return done(view.state()); });
    }

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
};

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double mb(qint64 bytes) {
    return bytes / 1e6;
}

void timeFilter(LogDayView& view, Waiter& waiter, const char* name, const LogFilter& filter,
                qint64 bytes) {
    const auto start = Clock::now();
    view.setFilter(filter);
    const bool done = waiter.wait(view, [](const LogDayView::State& s) { return !s.busy; });
    const double seconds = secondsSince(start);
    std::printf("filter %-12s %9zu rows in %6.2f s = %6.0f MB/s (goal > 100)%s\n", name,
                view.state().matched, seconds, mb(bytes) / seconds, done ? "" : " NOT FINISHED");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? std::atoll(argv[1]) : 1024;
    QTemporaryDir dir(QStringLiteral("/tmp/iomira-log-viewer-bench-XXXXXX"));
    if (megabytes <= 0 || !dir.isValid()) return 2;

    const auto writeStart = Clock::now();
    const bool complete = writeDay(dir.path(), megabytes * 1000 * 1000);
    const qint64 bytes = bench::folderBytes(dir.path().toStdString());
    std::printf("day written by EventLog: %.0f MB in %.1f s%s\n", mb(bytes),
                secondsSince(writeStart), complete ? "" : " (stopped by the time limit)");

    const long rssBefore = bench::residentKb();
    Waiter waiter;
    const auto start = Clock::now();
    LogDayView view(dir.path(), QDate(2026, 5, 6), false, [&waiter] { waiter.changed(); });
    waiter.wait(view, [](const LogDayView::State& s) { return s.rows > 0; });
    std::printf("first rows after %.1f ms\n", secondsSince(start) * 1000);
    const bool indexed = waiter.wait(view, [](const LogDayView::State& s) { return !s.busy; });
    const double seconds = secondsSince(start);
    const LogDayView::State state = view.state();
    std::printf("index: %lld rows, %.0f MB in %.2f s = %.0f MB/s (goal > 200)%s\n",
                static_cast<long long>(state.rows), mb(state.indexedBytes), seconds,
                mb(state.indexedBytes) / seconds, indexed ? "" : " NOT FINISHED");
    const long rssGrowth = bench::residentKb() - rssBefore;
    const size_t own = view.index().memoryBytes();
    std::printf("index memory: %.1f MB own = %.2f %% of the files; resident memory grew %.1f MB "
                "= %.2f %% (goal < 10 %%)\n",
                mb(static_cast<qint64>(own)), 100.0 * static_cast<double>(own) / bytes,
                rssGrowth / 1000.0, 100.0 * rssGrowth * 1000.0 / bytes);

    LogFilter byController;
    byController.controller = QStringLiteral("Boiler room 17");
    timeFilter(view, waiter, "controller", byController, bytes);
    LogFilter byText;
    byText.text = QStringLiteral("do3 VALVE");
    timeFilter(view, waiter, "text", byText, bytes);
    LogFilter combined = byController;
    combined.text = QStringLiteral("analog");
    combined.categories = logCategoryBit(LogLineCategory::Input);
    combined.from = QDateTime(QDate(2026, 5, 6), QTime(6, 0, 0));
    combined.to = QDateTime(QDate(2026, 5, 6), QTime(18, 0, 0));
    timeFilter(view, waiter, "combined", combined, bytes);
    return 0;
}
