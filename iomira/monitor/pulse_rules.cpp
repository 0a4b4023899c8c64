#include "monitor/pulse_rules.h"

#include "core/device_family.h"
#include "core/quorvis_data.h"
#include "corvel/corvel.h"

namespace iomira {

OutputClick outputClick(const CQUORVISData& c, int port, int connectionState, bool rlxPulseFlag) {
    if (connectionState != TCP_ESTABLISHED || port < 0 || port >= kDigitalPorts)
        return OutputClick::Ignore;
    if (c.OutputPortControl == 1) return OutputClick::Restricted;
    if (c.DeviceType == FAMILY_GENERIC && c.UsePulseDo[port] == 1) return OutputClick::Pulse;
    const bool rlxOutputs = c.DeviceType == FAMILY_RLX830 || c.DeviceType == FAMILY_RLX850;
    if (rlxOutputs && rlxPulseFlag) return OutputClick::RlxPulse;
    return OutputClick::Toggle;
}

int pulseTimerMs(const CQUORVISData& c, int port) {
    return (port >= 0 && port < kDigitalPorts ? c.DurationDo[port] : 0) + kPulseGraceMs;
}

int coilReadDelayMs(int deviceType) {
    return deviceType == FAMILY_GENERIC ? 0 : 100;
}

void PulseTracker::started(int port) {
    pendingPort_ = port;
    if (port >= 0 && port < int(finished_.size())) finished_[port] = false;
}

void PulseTracker::timerFired(int port) {
    if (port >= 0 && port < int(finished_.size())) finished_[port] = true;
}

bool PulseTracker::outputsAnswered() {
    if (pendingPort_ < 0 || !finished_[pendingPort_]) return false;
    finished_[pendingPort_] = false;
    pendingPort_ = -1;
    return true;
}

} // namespace iomira
