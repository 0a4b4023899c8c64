#include "simulator_fleet.h"

#include "poll_requests.h"

#include <algorithm>

namespace iomira::bench {

SimulatorFleet::SimulatorFleet(int count) {
    for (int first = 0; first < count; first += kDevicesPerSimulator) {
        const int slice = std::min(kDevicesPerSimulator, count - first);
        children_.push_back(std::make_unique<simtest::SimChild>(benchDeviceFile(first, slice)));
    }
}

int SimulatorFleet::port(int device) const {
    return children_.at(std::size_t(device / kDevicesPerSimulator))->port(benchDeviceName(device));
}

std::vector<std::size_t> SimulatorFleet::logMark() const {
    std::vector<std::size_t> mark;
    for (const auto& child : children_)
        mark.push_back(child->log_lines().size());
    return mark;
}

std::vector<std::string> SimulatorFleet::logLinesSince(const std::vector<std::size_t>& mark) const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < children_.size(); ++i) {
        auto lines = children_[i]->log_lines();
        const std::size_t from = std::min(i < mark.size() ? mark[i] : 0, lines.size());
        out.insert(out.end(), std::make_move_iterator(lines.begin() + std::ptrdiff_t(from)),
                   std::make_move_iterator(lines.end()));
    }
    return out;
}

void SimulatorFleet::commandAll(const std::string& line) {
    for (auto& child : children_)
        child->command(line);
}

std::vector<double> SimulatorFleet::cpuSeconds() const {
    std::vector<double> out;
    for (const auto& child : children_)
        out.push_back(child->cpu_seconds());
    return out;
}

} // namespace iomira::bench
