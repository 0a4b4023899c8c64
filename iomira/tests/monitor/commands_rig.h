#pragma once
// Controllers registered in Corvel and connected to a simulator of their own; every data
// notification is kept, and a test may hand it on as a window would.

#include "common/monitor_files.h"
#include "core/event_log.h"
#include "core/log_entries.h"
#include "core/quorvis_data.h"
#include "corvel/corvel.h"
#include "monitor/corvel_target.h"
#include "monitor/log_switches.h"
#include "monitor/monitor_log.h"
#include "sim_child.h"

#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace iomira::test {

// A request as the simulator logged it.
struct Request {
    long function;
    long address;
    long quantity; // the value of a write
    bool operator==(const Request&) const = default;
};

class CommandsRig {
  public:
    // `devices` pairs each simulated device name with its model.
    explicit CommandsRig(const std::vector<std::pair<std::string, std::string>>& devices);
    ~CommandsRig();

    // A controller of the simulated device, registered and connected at both ends.
    CQUORVISData& connect(const std::string& device, int family, int inputs, int outputs);
    // How many data notifications of `code` arrived since the test began.
    int dataCount(int code) const;
    // The requests logged for a device from log line `from` on.
    std::vector<Request> requestsOf(const std::string& device, size_t from = 0) const;
    size_t logSize() const { return sim.log_lines().size(); }
    // How many connections the simulator holds for the device.
    size_t connectionsAt(const std::string& device);
    // Waits until `count` requests of the device have been logged from line `from` on.
    bool waitRequests(const std::string& device, size_t from, size_t count);

    // Whether an entry's Etc column holds `text`.
    bool logged(const QString& text) const;

    simtest::SimChild sim;
    TestFiles files;
    MonitorLog& monitorLog = files.monitorLog;
    std::vector<int> dataCodes; // every data notification's code, in order
    std::function<void(int code)> onData;
    // Hears every notification after it was recorded, as an open window of the program would.
    std::function<void(uint32_t message, uintptr_t deviceId, intptr_t lparam)> onNotify;

  private:
    CorvelTarget target_;
    std::vector<std::unique_ptr<CQUORVISData>> controllers_;
    std::vector<std::string> devices_;
};

} // namespace iomira::test
