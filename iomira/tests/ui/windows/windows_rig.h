#pragma once

// The whole program started on a store of its own, its controllers served by a simulator.

#include "app/demo_store.h"
#include "common/event_pump.h"
#include "common/test_support.h"
#include "core/sqlite_store.h"
#include "core/user_prompts.h"
#include "sim_child.h"
#include "ui/main/quorvis2_app.h"

#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>

namespace iomira::test {

struct RigController {
    std::string device; // the simulator's device name
    std::string model;
    int group = 0;
};

class WindowsRig {
  public:
    WindowsRig(const std::vector<RigController>& controllers, const QStringList& groups);
    ~WindowsRig();

    // Starts the program; false when start-up failed.
    bool start();
    CQUORVISData* controller(const std::string& device) const;
    int deviceId(const std::string& device) const;
    bool waitConnected(const std::string& device, int timeoutMs = 5000);
    // Waits until the simulator holds `count` connections of the device.
    bool waitSimulatorConnections(const std::string& device, size_t count);
    // Requests the simulator logged for a device, optionally of one function code.
    int requests(const std::string& device, long function = -1) const;
    // A fresh read of a controller's stored record.
    CQUORVISData stored(const std::string& device) const;

    QTemporaryDir dir;
    std::unique_ptr<SqliteStore> seed;
    simtest::SimChild sim;
    RecordingPrompts prompts;
    std::unique_ptr<CQuorvis2App> app;

  private:
    std::vector<RigController> controllers_;
};

} // namespace iomira::test
