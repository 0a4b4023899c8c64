// Iomira for a long run against the simulator on loopback, with faults on its controllers:
//   iomira_soak MINUTES [--seed N] [--controllers N]      (MINUTES 1 to 240, 300 controllers)
// Runs the whole program in this process, with every controller's event log on, while
// dropping links, silencing devices, answering with exceptions, sending malformed frames,
// refusing connections, delaying answers and changing inputs, each fault undone after a
// while. Prints a line a minute and a verdict (see soak_checks.h); exits 1 when a check fails.

#include "bench_store.h"
#include "core/sqlite_store.h"
#include "core/user_prompts.h"
#include "corvel/corvel.h"
#include "poll_requests.h"
#include "process_figures.h"
#include "request_log_counter.h"
#include "sim_child.h"
#include "soak_checks.h"
#include "soak_faults.h"
#include "soak_timeline.h"
#include "ui/main/main_frame.h"
#include "ui/main/quorvis2_app.h"
#include "ui/windows/notification_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>

namespace {

using namespace iomira;
using namespace iomira::bench;

constexpr int kTickMs = 100;
constexpr int kConnectWaitMs = 60000;
// How long the baseline waits for every controller to be back before it is taken anyway.
constexpr int64_t kBaselineWaitMs = 30000;

// The operator: confirms what is asked (closing the notification messages) and has every
// notice printed.
class OperatorPrompts final : public UserPrompts {
  public:
    void error(const QString& text) override {
        ++notices;
        std::printf("notice: %s\n", qPrintable(text));
    }
    void information(const QString& text) override { error(text); }
    bool ask(const QString&, bool) override { return true; }
    int notices = 0;
};

struct Options {
    int minutes = 0;
    uint64_t seed = 0;
    int controllers = 300;
};

bool parseNumber(const char* text, long long min, long long max, long long& out) {
    char* end = nullptr;
    errno = 0;
    out = std::strtoll(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && out >= min && out <= max;
}

std::optional<Options> parseOptions(int argc, char** argv) {
    Options o;
    long long value = 0;
    if (argc < 2 || !parseNumber(argv[1], kSoakMinMinutes, kSoakMaxMinutes, value)) {
        std::fprintf(stderr,
                     "usage: iomira_soak MINUTES [--seed N] [--controllers N]\n"
                     "MINUTES is a whole number from %d to %d\n",
                     kSoakMinMinutes, kSoakMaxMinutes);
        return std::nullopt;
    }
    o.minutes = int(value);
    o.seed = std::random_device{}();
    for (int i = 2; i < argc; i += 2) {
        const std::string name = argv[i];
        const bool has = i + 1 < argc;
        if (name == "--seed" && has && parseNumber(argv[i + 1], 0, INT64_MAX, value)) {
            o.seed = uint64_t(value);
        } else if (name == "--controllers" && has && parseNumber(argv[i + 1], 1, 1000, value)) {
            o.controllers = int(value);
        } else {
            std::fprintf(stderr, "iomira_soak: bad option '%s' (--seed N, --controllers 1-1000)\n",
                         argv[i]);
            return std::nullopt;
        }
    }
    return o;
}

// A loop of its own: quitting the application would ask the main window to close.
void runEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// Standard error sent elsewhere for as long as it lives; the old one back after.
class RedirectedStderr {
  public:
    explicit RedirectedStderr(const char* path) : saved_(dup(STDERR_FILENO)) {
        const int target = open(path, O_WRONLY | O_CLOEXEC);
        dup2(target, STDERR_FILENO);
        close(target);
    }
    ~RedirectedStderr() {
        dup2(saved_, STDERR_FILENO);
        close(saved_);
    }
    RedirectedStderr(const RedirectedStderr&) = delete;
    RedirectedStderr& operator=(const RedirectedStderr&) = delete;

  private:
    int saved_;
};

// The simulator's own diagnostics (a line per connection) would bury the figures.
std::unique_ptr<simtest::SimChild> startQuietSimulator(int count) {
    RedirectedStderr quiet("/dev/null");
    return std::make_unique<simtest::SimChild>(benchDeviceFile(count));
}

bool writeStore(const QString& path, simtest::SimChild& sim, int count) {
    const auto portOf = [&sim](int i) { return sim.port(benchDeviceName(i)); };
    return bench::writeBenchStore(path, portOf, count, std::max(1, count / 30), true);
}

class SoakRun {
  public:
    SoakRun(CQuorvis2App& app, simtest::SimChild& sim, const Options& options, QString logFolder)
        : app_(app), sim_(sim), options_(options), timeline_(options.minutes),
          plan_(benchSoakDevices(options.controllers), options.seed),
          requests_(sim.dir() + "/requests.jsonl", options.controllers),
          logFolder_(logFolder.toStdString()) {
        outcome_.controllers = options.controllers;
        outcome_.windowMs = timeline_.unitMs;
        outcome_.simulatorAlive = true;
    }

    int connected() {
        int n = 0;
        app_.controllers().forEach([&](const CQUORVISData& c) {
            n += get_tcp_connection_state(c.DeviceId) == TCP_ESTABLISHED ? 1 : 0;
        });
        return n;
    }

    const SoakOutcome& run();
    int skipped() const { return skipped_; }
    const FaultPlan& plan() const { return plan_; }

  private:
    void tick(int64_t nowMs);
    void steerFaults(int64_t nowMs);
    void send(const std::vector<std::string>& commands);
    SoakSample sample(int64_t nowMs);
    void minuteLine(const SoakSample& s, const char* label);
    void confirmNotifications();

    CQuorvis2App& app_;
    simtest::SimChild& sim_;
    Options options_;
    SoakTimeline timeline_;
    FaultPlan plan_;
    RequestLogCounter requests_;
    std::string logFolder_;
    SoakOutcome outcome_;
    bool baselineTaken_ = false;
    bool windowStarted_ = false;
    int64_t nextMinuteMs_ = 60000;
    std::vector<int64_t> lastLineTotals_;
    std::vector<int64_t> windowTotals_;
    int skipped_ = 0;
};

const SoakOutcome& SoakRun::run() {
    requests_.readNew();
    lastLineTotals_ = requests_.totals();
    QElapsedTimer clock;
    clock.start();
    while (outcome_.simulatorAlive && clock.elapsed() < timeline_.runMs) {
        runEventsFor(kTickMs);
        tick(std::min<int64_t>(clock.elapsed(), timeline_.runMs - 1));
    }
    outcome_.end = sample(clock.elapsed());
    outcome_.samples.push_back(outcome_.end);
    minuteLine(outcome_.end, "end");
    outcome_.windowPolls = pollsBetween(windowTotals_, requests_.totals());
    return outcome_;
}

void SoakRun::tick(int64_t nowMs) {
    steerFaults(nowMs);
    send(plan_.step(nowMs));
    const bool baselineDue = nowMs >= timeline_.baselineMs() && !baselineTaken_;
    if (baselineDue && (connected() == options_.controllers ||
                        nowMs >= timeline_.baselineMs() + kBaselineWaitMs)) {
        baselineTaken_ = true;
        outcome_.baseline = sample(nowMs);
        outcome_.samples.push_back(outcome_.baseline);
        minuteLine(outcome_.baseline, "baseline");
        // The baseline taken at a minute's mark is that minute's line.
        if (nowMs >= nextMinuteMs_) nextMinuteMs_ += 60000;
    }
    if (nowMs >= timeline_.windowStartMs() && !windowStarted_) {
        windowStarted_ = true;
        requests_.readNew();
        windowTotals_ = requests_.totals();
    }
    if (nowMs >= nextMinuteMs_) {
        nextMinuteMs_ += 60000;
        confirmNotifications();
        const SoakSample s = sample(nowMs);
        if (baselineTaken_ && s.atMs > outcome_.baseline.atMs) outcome_.samples.push_back(s);
        minuteLine(s, nullptr);
    }
}

// Faults stop before the baseline and the last unit; they start again once the baseline is
// taken.
void SoakRun::steerFaults(int64_t nowMs) {
    const bool wanted =
        timeline_.faultsAt(nowMs) && (nowMs < timeline_.firstClearMs() || baselineTaken_);
    if (wanted == plan_.faultsOn()) return;
    if (wanted) {
        plan_.startFaults(nowMs);
        return;
    }
    // What was planned before the phase's end still comes, so that a seed repeats its run.
    const int64_t endMs =
        nowMs < timeline_.baselineMs() ? timeline_.firstClearMs() : timeline_.lastClearMs();
    send(plan_.step(endMs - 1));
    send(plan_.clearAll());
}

void SoakRun::send(const std::vector<std::string>& commands) {
    for (const std::string& command : commands) {
        try {
            sim_.command(command);
        } catch (const std::runtime_error& e) {
            // A malformed frame needs a connection; the device may have none just now.
            if (std::strstr(e.what(), "no connection to send it on")) {
                ++skipped_;
                continue;
            }
            std::printf("simulator: %s\n", e.what());
            if (std::strstr(e.what(), "tevronsim ")) outcome_.simulatorAlive = false;
        }
    }
}

SoakSample SoakRun::sample(int64_t nowMs) {
    return {nowMs, connected(), residentKb(), openDescriptors(), folderBytes(logFolder_)};
}

// The notification window collects a message per link lost and back; the operator clears it.
void SoakRun::confirmNotifications() {
    if (auto* window = app_.mainFrame()->findChild<CDlgMSG*>())
        if (window->messages().count() > 0) window->press(CDlgMSG::ConfirmAll);
}

void SoakRun::minuteLine(const SoakSample& s, const char* label) {
    requests_.readNew();
    const std::vector<int64_t> polls = pollsBetween(lastLineTotals_, requests_.totals());
    lastLineTotals_ = requests_.totals();
    int64_t lowest = polls.empty() ? 0 : *std::min_element(polls.begin(), polls.end());
    int64_t sum = 0;
    for (int64_t p : polls)
        sum += p;
    char at[32];
    if (label)
        std::snprintf(at, sizeof at, "%-8s", label);
    else
        std::snprintf(at, sizeof at, "min %-4lld", (long long)((s.atMs + 30000) / 60000));
    std::printf("%s %6.1f s  connected %d/%d  polls min %lld avg %.1f  RSS %ld kB  fds %d "
                "(%d sockets)  log %lld B  faults %d (%zu on)\n",
                at, double(s.atMs) / 1000.0, s.connected, options_.controllers, (long long)lowest,
                polls.empty() ? 0.0 : double(sum) / double(polls.size()), s.rssKb, s.fds.total,
                s.fds.sockets, (long long)s.logBytes, plan_.injected(), plan_.activeCount());
    std::fflush(stdout);
}

void printSummary(const SoakOutcome& o, const SoakRun& run, int notices) {
    const double minutes = double(o.end.atMs - o.baseline.atMs) / 60000.0;
    const int64_t written = o.end.logBytes - o.baseline.logBytes;
    std::printf("\nsummary\n");
    std::printf("faults injected:  %d:", run.plan().injected());
    for (int k = 0; k < int(FaultKind::Count); ++k)
        std::printf(" %s %d", faultKindName(FaultKind(k)), run.plan().injected(FaultKind(k)));
    std::printf("; %d malformed frames found no connection\n", run.skipped());
    std::printf("event log:        %lld bytes in all, %lld since the baseline, %.0f bytes a "
                "minute (%.0f per controller)\n",
                (long long)o.end.logBytes, (long long)written,
                minutes > 0 ? double(written) / minutes : 0.0,
                minutes > 0 ? double(written) / minutes / o.controllers : 0.0);
    std::printf("notices shown:    %d\n", notices);
}

int reportChecks(const SoakOutcome& o) {
    int failed = 0;
    for (const SoakCheck& c : soakChecks(o)) {
        std::printf("%-4s %-12s %s\n", c.passed ? "ok" : "FAIL", c.name.c_str(), c.detail.c_str());
        failed += c.passed ? 0 : 1;
    }
    return failed;
}

int runSoak(const Options& options) {
    std::printf("soak: %d minutes, %d controllers, seed %llu\n", options.minutes,
                options.controllers, (unsigned long long)options.seed);
    std::unique_ptr<simtest::SimChild> sim = startQuietSimulator(options.controllers);
    QTemporaryDir dir;
    const QString storePath = dir.filePath("store.sqlite");
    qputenv("IOMIRA_STORE", storePath.toUtf8());
    qputenv("IOMIRA_DOCUMENTS", dir.filePath("documents").toUtf8());
    if (!writeStore(storePath, *sim, options.controllers)) {
        std::fprintf(stderr, "could not write the store\n");
        return 2;
    }
    OperatorPrompts prompts;
    int failed = 0;
    {
        CQuorvis2App app;
        app.setPrompts(&prompts);
        if (!app.InitInstance()) return 2;
        SoakRun run(app, *sim, options, dir.filePath("documents/Iomira"));
        QElapsedTimer wait;
        wait.start();
        while (run.connected() < options.controllers && wait.elapsed() < kConnectWaitMs)
            runEventsFor(kTickMs);
        std::printf("start: %d of %d connected after %.1f s\n", run.connected(),
                    options.controllers, double(wait.elapsed()) / 1000.0);
        const SoakOutcome& outcome = run.run();
        printSummary(outcome, run, prompts.notices);
        failed = reportChecks(outcome);
        app.mainFrame()->setClosingConfirmed(true);
    }
    std::printf("%-4s %-12s %s\n", "ok", "clean end", "the program shut down");
    if (failed > 0) {
        // The event log and the store stay for a look at what went wrong.
        dir.setAutoRemove(false);
        std::printf("kept for inspection: %s\n", qPrintable(dir.path()));
    }
    std::printf("%s\n", failed == 0 ? "soak passed" : "soak FAILED");
    return failed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = parseOptions(argc, argv);
    if (!options) return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    try {
        return runSoak(*options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "iomira_soak: %s\n", e.what());
        return 2;
    }
}
