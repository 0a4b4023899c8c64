#pragma once
// Polling and connection handling wired as the device list wires them, against a simulator,
// with a clock the test moves.

#include "common/monitor_files.h"

#include "core/controller_table.h"
#include "corvel/corvel.h"
#include "monitor/connection_manager.h"
#include "monitor/corvel_target.h"
#include "monitor/notification_handler.h"
#include "monitor/port_change_listener.h"
#include "monitor/shared_controllers.h"
#include "sim_child.h"

#include <functional>
#include <memory>

namespace iomira::test {

// Port changes that nobody listens to.
class IgnoredPortChanges final : public PortChangeListener {
  public:
    void DispatchInputChanges(CQUORVISData&) override {}
    void DispatchOutputChanges(CQUORVISData&) override {}
};

class MonitorRig {
    IgnoredPortChanges ignored_; // before the handler that may use it

  public:
    // Port changes go to `listener`, or nowhere without one.
    explicit MonitorRig(const std::string& devices, PortChangeListener* listener = nullptr);
    ~MonitorRig();

    // A controller of `model` at the simulated device `device`, registered in Corvel.
    CQUORVISData& add(const std::string& device, const QString& model, const QString& name);
    // A client controller whose port has nobody listening.
    CQUORVISData& addUnreachable(const QString& name);
    bool waitState(const CQUORVISData& c, int state, int timeoutMs = 5000);
    std::vector<std::string> requests() const { return sim.log_lines(); }

    TestFiles files;
    simtest::SimChild sim;
    ControllerTable table;
    SharedControllers shared{table};
    RecordingEvents events;
    int64_t now = 100'000'000'000; // the rig's clock, in nanoseconds
    ConnectionManager connections;
    NotificationHandler handler;
    // Hears every notification after the handler, as another window of the program would.
    std::function<void(uint32_t message, uintptr_t deviceId, intptr_t lparam)> alsoNotify;

  private:
    CorvelTarget target_;
    CQUORVISData& insert(CQUORVISData record);
};

// A logged controller of `model` on a loopback port, connected automatically.
CQUORVISData loopbackRecord(const QString& model, int port, const QString& name);

} // namespace iomira::test
