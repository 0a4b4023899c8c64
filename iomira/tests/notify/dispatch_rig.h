#pragma once
// The monitor against a simulator with its port changes going into a real dispatch.

#include "monitor/polling_rig.h"
#include "notify/port_change_dispatch.h"

#include <string>

namespace iomira::test {

// The dispatch lives in a base so that it exists before the rig's handler takes it.
struct DispatchHolder {
    PortChangeDispatch dispatch;
};

class DispatchRig : public DispatchHolder, public MonitorRig {
  public:
    explicit DispatchRig(const std::string& devices) : MonitorRig(devices, &dispatch) {}
};

} // namespace iomira::test
