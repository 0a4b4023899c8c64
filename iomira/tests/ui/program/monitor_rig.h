#pragma once
// Polling and connection handling wired as the device list wires them, against a simulator,
// with a clock the test moves.

#include "program_test_support.h"

#include "core/controller_table.h"
#include "corvel/corvel.h"
#include "monitor/connection_manager.h"
#include "monitor/notification_handler.h"
#include "monitor/shared_controllers.h"
#include "notify/port_change_dispatch.h"
#include "sim_child.h"

#include <memory>

namespace iomira::test {

class MonitorRig {
  public:
    explicit MonitorRig(const std::string& devices);
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
    PortChangeDispatch dispatch;
    NotificationHandler handler;

  private:
    struct Target {
        corvel_window window;
        MonitorRig* rig;
    } target_;
    CQUORVISData& insert(CQUORVISData record);
};

// Keys are process-wide in Corvel; every rig takes fresh ones.
int nextDeviceId();

} // namespace iomira::test
