#include "monitor/corvel_registration.h"

#include "core/quorvis_data.h"

namespace iomira {

int registerInCorvel(corvel_window* window, const CQUORVISData& c) {
    return add_device(window, c.DeviceId, corvelHost(c.HostAddr), c.IsServer, c.HostPort, c.UnitId,
                      c.InputAddr, c.OutputAddr);
}

int updateInCorvel(const CQUORVISData& c) {
    return update_device(c.DeviceId, corvelHost(c.HostAddr), c.IsServer, c.HostPort, c.UnitId,
                         c.InputAddr, c.OutputAddr);
}

int removeFromCorvel(int deviceId) {
    const int disconnected = disconnect_device(deviceId);
    if (disconnected != CORVEL_OK) return disconnected;
    return delete_device(deviceId);
}

} // namespace iomira
