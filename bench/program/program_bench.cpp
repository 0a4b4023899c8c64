// Iomira on a store of many controllers, all served by the simulator on loopback:
//   iomira_program_bench [CONTROLLERS [GROUPS [SECONDS [log]]]]   (default 300 10 10)
// Prints the time to fill the device tree from the store, the whole start-up (with the shown
// group's windows), the time until every controller is connected,
// the polls each controller received per second (counted in the simulator's request log)
// and the CPU use of the program and of the simulators while polling. "log" logs every controller's
// events too. Then every link drops at once: the notification window's lines, the longest wait of
// the user interface and the time until all are connected again.

#include "bench_store.h"
#include "core/event_log.h"
#include "core/freed_memory.h"
#include "core/log_entries.h"
#include "core/object_loader.h"
#include "core/root_data.h"
#include "core/schedule_list.h"
#include "core/sound_library.h"
#include "core/sqlite_store.h"
#include "core/user_prompts.h"
#include "corvel/corvel.h"
#include "monitor/corvel_registration.h"
#include "monitor/corvel_target.h"
#include "monitor/monitor_log.h"
#include "monitor/shared_controllers.h"
#include "poll_requests.h"
#include "process_figures.h"
#include "simulator_fleet.h"
#include "ui/main/main_frame.h"
#include "ui/main/quorvis2_app.h"
#include "ui/tree/device_list_pane.h"
#include "ui/windows/notification_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

namespace {

using namespace iomira;
using bench::benchDeviceModel;
using bench::benchDeviceName;

class SilentPrompts final : public UserPrompts {
  public:
    void error(const QString& text) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    void information(const QString&) override {}
    bool ask(const QString&, bool) override { return false; }
};

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A loop of its own: quitting the application would ask the main window to close.
void runEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

struct StartupFigures {
    double storeLoadMs = 0; // groups and objects read, controllers registered with Corvel
    double treeFillMs = 0;  // the tree filled and every automatic connection started
};

// The device list alone, as start-up fills it: groups, controllers loaded and registered,
// the tree filled with the 30-per-group split and every automatic connection started.
StartupFigures startupFigures(const QString& storePath, const QString& logFolder) {
    auto store = SqliteStore::open(storePath, nullptr);
    SilentPrompts prompts;
    ControllerTable table;
    SharedControllers shared(table);
    SoundLibrary sounds;
    CScheduleDataList mail, messages;
    EventLog log(logFolder);
    LogSwitches switches;
    EventLogWriters writers(log, [](int id) { return get_tcp_connection_state(id); });
    MonitorLog monitorLog(writers, switches);
    QElapsedTimer clock;
    clock.start();
    ControllerDirectory directory(*store, prompts);
    CDeviceListPane pane(directory);
    CorvelTarget target([&pane](uint32_t message, uintptr_t wparam, intptr_t lparam) {
        pane.onCorvelNotification(message, wparam, lparam);
    });
    pane.loadGroups();
    ObjectLoadTargets targets{table, sounds, mail, messages, QString(), {}, {}, {}, {}};
    targets.registerController = [&](const CQUORVISData& c) {
        return registerInCorvel(target.window(), c);
    };
    loadObjects(*store, targets);
    StartupFigures figures;
    figures.storeLoadMs = double(clock.nsecsElapsed()) / 1e6;
    clock.restart();
    pane.setControllers(shared, monitorLog, target.window());
    pane.fillAtStartup();
    figures.treeFillMs = double(clock.nsecsElapsed()) / 1e6;
    table.forEach([](const CQUORVISData& c) { delete_device(c.DeviceId); });
    return figures;
}

// The longest gap between the ticks of a 5 ms timer: how long the user interface stalls.
class StallProbe {
  public:
    StallProbe() {
        clock_.start();
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
        timer_.start(5);
    }
    double longestMs() const { return double(longest_) / 1e6; }

  private:
    QElapsedTimer clock_;
    QTimer timer_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

// The simulators' share of one core between two readings: their sum and the busiest one, so
// that a slow simulator cannot hide behind a fast program.
void printSimulatorCpu(const std::vector<double>& before, const std::vector<double>& after,
                       double wall) {
    double sum = 0, busiest = 0;
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
        const double used = after[i] - before[i];
        sum += used;
        busiest = std::max(busiest, used);
    }
    std::printf("simulator CPU while polling: %.1f %% of one core over %zu processes, "
                "busiest %.1f %%\n",
                100.0 * sum / wall, before.size(), 100.0 * busiest / wall);
}

// Shows other groups one after another, as a click on each does: the longest until the
// group's windows are up and the events they set off are handled.
double longestGroupSwitchMs(CDeviceListPane& pane, int switches) {
    double longest = 0;
    const int count = pane.groups().size();
    for (int i = 1; i <= switches && count > 1; ++i) {
        const CROOTData* group = pane.groups().GroupAt(i * 37 % count);
        if (!group) continue;
        QElapsedTimer clock;
        clock.start();
        pane.showGroup(group->RootID);
        QCoreApplication::processEvents();
        longest = std::max(longest, double(clock.nsecsElapsed()) / 1e6);
    }
    return longest;
}

void dropEveryLink(CQuorvis2App& app, bench::SimulatorFleet& sim, int count,
                   const std::function<int()>& connected) {
    const auto* window = app.mainFrame()->findChild<CDlgMSG*>();
    if (!window) return;
    const int before = window->messages().count();
    StallProbe probe;
    QElapsedTimer clock;
    clock.start();
    sim.commandAll("drop *");
    // One line when each link is lost and one when it is back.
    while ((window->messages().count() - before < 2 * count || connected() < count) &&
           clock.elapsed() < 30000)
        runEventsFor(20);
    std::printf("all %d links dropped at once:  %d lines (goal %d), %d connected after %.1f ms, "
                "longest wait of the user interface %.1f ms\n",
                count, window->messages().count() - before, 2 * count, connected(),
                double(clock.nsecsElapsed()) / 1e6, probe.longestMs());
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    const int groupCount = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    const int seconds = argc > 3 ? std::clamp(std::atoi(argv[3]), 1, 120) : 10;
    const bool logging = argc > 4 && std::string(argv[4]) == "log";

    bench::SimulatorFleet sim(count);

    QTemporaryDir dir;
    qputenv("IOMIRA_STORE", dir.filePath("store.sqlite").toUtf8());
    qputenv("IOMIRA_DOCUMENTS", dir.filePath("documents").toUtf8());
    const auto portOf = [&sim](int i) { return sim.port(i); };
    if (!bench::writeBenchStore(dir.filePath("store.sqlite"), portOf, count, groupCount, logging)) {
        std::fprintf(stderr, "could not write the store\n");
        return 1;
    }

    const StartupFigures startup =
        startupFigures(dir.filePath("store.sqlite"), dir.filePath("fill-logs"));
    // What writing the store and the figures above freed goes back to the system, so that the
    // resident memory printed below is the program's own.
    returnFreedMemory();

    SilentPrompts prompts;
    CQuorvis2App app;
    app.setPrompts(&prompts);
    QElapsedTimer clock;
    clock.start();
    if (!app.InitInstance()) return 1;
    const double startedMs = double(clock.nsecsElapsed()) / 1e6;

    auto connected = [&] {
        int n = 0;
        app.controllers().forEach([&](const CQUORVISData& c) {
            n += get_tcp_connection_state(c.DeviceId) == TCP_ESTABLISHED ? 1 : 0;
        });
        return n;
    };
    while (connected() < count && clock.elapsed() < 30000)
        runEventsFor(20);
    const double connectedMs = double(clock.nsecsElapsed()) / 1e6;
    runEventsFor(2000); // first reads and change-report set-up settle

    const auto logMark = sim.logMark();
    const auto simCpu0 = sim.cpuSeconds();
    const double cpu0 = cpuSeconds();
    QElapsedTimer window;
    window.start();
    runEventsFor(seconds * 1000);
    const double wall = double(window.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpu0;
    const auto simCpu = sim.cpuSeconds();
    // Before the request logs are read into this process, which would count them as its own.
    const long residentKb = bench::residentKb();
    const auto lines = sim.logLinesSince(logMark);

    std::map<int, int> polls;
    for (const auto& line : lines) {
        const int index = bench::polledDeviceIndex(line);
        if (index >= 0) ++polls[index];
    }
    double lowest = 1e9, highest = 0, sum = 0;
    for (int i = 0; i < count; ++i) {
        const double rate = polls[i] / wall;
        lowest = std::min(lowest, rate);
        highest = std::max(highest, rate);
        sum += rate;
    }
    std::printf("controllers %d in %d groups, event log %s\n", count, groupCount,
                logging ? "on" : "off");
    std::printf("store loaded:                %8.1f ms (goal 1000 ms)\n", startup.storeLoadMs);
    std::printf("device tree filled:          %8.1f ms (goal 1000 ms)\n", startup.treeFillMs);
    std::printf("whole start-up:              %8.1f ms (with the shown group's windows)\n",
                startedMs);
    std::printf("start to all %d connected: %8.1f ms (%d connected)\n", count, connectedMs,
                connected());
    std::printf("polls per controller per s:  mean %.3f, min %.3f, max %.3f (goal 1)\n",
                sum / count, lowest, highest);
    std::printf("requests at the simulator:   %.0f per s\n", double(lines.size()) / wall);
    std::printf(
        "program CPU while polling:   %.1f %% of one core over %.1f s (goal < 20 %% at 10,000)\n",
        100.0 * cpu / wall, wall);
    printSimulatorCpu(simCpu0, simCpu, wall);
    std::printf("resident memory:             %8.1f MB (goal < 200 MB)\n",
                double(residentKb) / 1024.0);
    std::printf("longest switch of the shown group: %.1f ms over 10 switches (goal < 100 ms)\n",
                longestGroupSwitchMs(*app.mainFrame()->pane(), 10));
    dropEveryLink(app, sim, count, connected);
    app.mainFrame()->setClosingConfirmed(true);
    return 0;
}
