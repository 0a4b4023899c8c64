// Entries written per second through EventLog::WriteEntry (goal: over 50,000), and how often
// the free space of the disk was looked at meanwhile.
#include "core/event_log.h"
#include "core/log_entries.h"
#include "core/quorvis_data.h"

#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

using namespace iomira;
using Clock = std::chrono::steady_clock;

int main() {
    constexpr int kLines = 200000;
    constexpr auto kTimeLimit = std::chrono::seconds(20);
    QTemporaryDir dir;
    int probes = 0;
    EventLog log(dir.path(), {}, [&probes](const QString& folder) {
        ++probes;
        return probeDiskSpace(folder);
    });
    if (log.OpenNewFile() != 0) return 1;
    CQUORVISData controller;
    controller.DeviceComment = QStringLiteral("Boiler room 2");
    controller.DiComment[3] = QStringLiteral("Door contact");
    const QString line = inputStatusEntryLine(controller, 3, 1, QDateTime::currentDateTime());

    const auto start = Clock::now();
    int written = 0;
    while (written < kLines && Clock::now() - start < kTimeLimit) {
        if (log.WriteEntry(line) != 0) return 1;
        ++written;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("WriteEntry: %d lines of %lld bytes in %.3f s = %.0f lines/s (goal > 50000)\n",
                written, static_cast<long long>(line.size()), seconds, written / seconds);
    std::printf("free space looked at %d times (every 1000 lines or 5 s)\n", probes);
    return 0;
}
