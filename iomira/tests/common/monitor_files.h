#pragma once

#include "common/event_pump.h"
#include "common/test_support.h"

#include "core/event_log.h"
#include "core/log_entries.h"
#include "core/sqlite_store.h"
#include "core/user_prompts.h"
#include "monitor/log_switches.h"
#include "monitor/monitor_events.h"
#include "monitor/monitor_log.h"

#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace iomira::test {

// What the monitor told the windows around it.
class RecordingEvents final : public MonitorEvents {
  public:
    void connectionStarted(int deviceId) override { started.push_back(deviceId); }
    void connectionNotified(int deviceId, intptr_t lparam) override {
        notified.push_back({deviceId, lparam});
    }
    void showError(const QString& message) override { errors << message; }
    void answered(int deviceId) override {
        answers.push_back(deviceId);
        if (alsoAnswered) alsoAnswered(deviceId);
    }
    void responseChanged(int deviceId) override { responseChanges.push_back(deviceId); }
    void reconnecting(int deviceId) override { reconnections.push_back(deviceId); }
    std::vector<int> started;
    std::vector<int> reconnections;
    std::vector<int> answers;
    std::vector<int> responseChanges;
    // Hears every answer, as the program's monitoring does.
    std::function<void(int deviceId)> alsoAnswered;
    std::vector<std::pair<int, intptr_t>> notified;
    QStringList errors;
};

// A store, a documents folder and an open event log of the test's own.
struct TestFiles {
    TestFiles();
    QTemporaryDir dir;
    std::unique_ptr<SqliteStore> store;
    EventLog log;
    LogSwitches switches;
    EventLogWriters writers;
    MonitorLog monitorLog;
    // Every entry written so far, without the header, split into their eight columns.
    std::vector<QStringList> entries() const;
    // The Etc column of every entry of one controller.
    QStringList etcOf(const QString& name) const;
};

// Keys are process-wide in Corvel; every rig takes fresh ones.
int nextDeviceId();

// Device-file text of one simulated controller listening on an ephemeral loopback port.
std::string simDevice(const std::string& name, const std::string& model,
                      const std::string& extra = {});

// Requests of one device in a simulator log, optionally only those of one function code.
int countRequests(const std::vector<std::string>& log, const std::string& device,
                  long function = -1);

} // namespace iomira::test
