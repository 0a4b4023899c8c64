#include "simulator.h"

namespace tevronsim {

void Simulator::add(DeviceConfig config) {
    hosts_.push_back(std::make_unique<DeviceHost>(loop_, log_, std::move(config)));
}

std::string Simulator::start() {
    for (auto& h : hosts_) {
        std::string error = h->start();
        if (!error.empty()) return error;
    }
    return "";
}

DeviceHost* Simulator::find(const std::string& name) {
    for (auto& h : hosts_) {
        if (h->device().name() == name) return h.get();
    }
    return nullptr;
}

std::string Simulator::device_line(const DeviceHost& host) const {
    const auto& d = host.device();
    return "device " + d.name() + " " + std::string(d.model().name) + " " + host.endpoint_text() +
           " unit " + std::to_string(d.config().unit_id);
}

} // namespace tevronsim
