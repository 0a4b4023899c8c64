// Reading a script of 1000 controllers in CSV form and importing it into an empty store:
// Corvel registration, the store and the groups included. Goal: under 3 s in all.
#include "app/controller_directory.h"
#include "app/script_import.h"
#include "app/script_reader.h"
#include "core/controller_keys.h"
#include "core/controller_table.h"
#include "core/event_log.h"
#include "core/group_store.h"
#include "core/log_entries.h"
#include "core/sqlite_store.h"
#include "core/user_prompts.h"
#include "corvel/corvel.h"
#include "monitor/monitor_log.h"
#include "monitor/shared_controllers.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

using namespace iomira;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kControllers = 1000;

class CountingPrompts final : public UserPrompts {
  public:
    void error(const QString&) override { ++shown; }
    void information(const QString&) override { ++shown; }
    bool ask(const QString&, bool) override { return true; }
    int shown = 0;
};

// Ten groups, every controller with its port names and an output's warning, none connecting.
QByteArray script() {
    QByteArray csv = "Comment,Group,Product,HostAddr,HostPort,AutomaticConnection,DiComment0,"
                     "DoComment0,UseWarningMsg,DoMsgOn0\r\n";
    for (int i = 0; i < kControllers; ++i) {
        csv += "controller " + QByteArray::number(i) + ",hall " + QByteArray::number(i % 10) +
               ",TKA-35,127.0.0.1," + QByteArray::number(1502 + i % 100) +
               ",0,door,lamp,1,Switch the lamp on?\r\n";
    }
    return csv;
}

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    StoreOpenError error;
    auto store = SqliteStore::open(dir.filePath("store.sqlite"), &error);
    if (!store) {
        std::fprintf(stderr, "%s\n", qPrintable(storeOpenMessage(error)));
        return 1;
    }
    saveGroup(*store, CROOTData(0, QStringLiteral("Default"), 0));
    CountingPrompts prompts;
    ControllerTable table;
    table.setSaver([&](const CQUORVISData& c) { saveController(*store, c); });
    SharedControllers shared{table};
    EventLog log;
    EventLogWriters writers{log, [](int) { return 0; }};
    LogSwitches switches;
    MonitorLog monitorLog{writers, switches};
    corvel_window window{[](corvel_window*, uint32_t, uintptr_t, intptr_t) {}};
    ControllerDirectory directory(*store, prompts);
    directory.loadGroups();
    directory.setControllers(shared, monitorLog, &window);

    const QByteArray bytes = script();
    const auto start = Clock::now();
    const ScriptReadOutcome outcome = readCsvScript(bytes);
    const auto read = Clock::now();
    const ScriptImportSummary summary = importScript(directory, outcome);
    const auto end = Clock::now();

    std::printf("script of %d controllers, %lld bytes: read %.1f ms, import %.1f ms, "
                "total %.1f ms (goal < 3000 ms)\n",
                kControllers, static_cast<long long>(bytes.size()), ms(read - start),
                ms(end - read), ms(end - start));
    std::printf("read %d, added %d, groups %d, warnings %lld, messages %d\n", summary.read,
                summary.added, directory.groups().size(),
                static_cast<long long>(summary.warnings.size()), prompts.shown);
    table.forEach([](const CQUORVISData& c) { delete_device(c.DeviceId); });
    return summary.added == kControllers ? 0 : 1;
}
