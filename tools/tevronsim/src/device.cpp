#include "device.h"

namespace tevronsim {

std::string port_name(const DeviceConfig& config, bool input, int n) {
    const std::string& name = (input ? config.input_names : config.output_names).at(size_t(n));
    if (!name.empty()) return name;
    return (input ? "DI" : "DO") + std::to_string(n);
}

Device::Device(DeviceConfig config)
    : config_(std::move(config)), io_(config_.initial), pulse_flags_(config_.pulse_flags),
      pulse_ms_(config_.pulse_ms) {}

void Device::set_pulse_flags(std::uint16_t flags, std::uint16_t ms) {
    pulse_flags_ = flags;
    pulse_ms_ = ms;
}

void Device::set_input(int port, bool on) {
    bool was = (io_.inputs >> port) & 1u;
    if (on) {
        io_.inputs = static_cast<std::uint16_t>(io_.inputs | 1u << port);
    } else {
        io_.inputs = static_cast<std::uint16_t>(io_.inputs & ~(1u << port));
    }
    if (on && !was && port < model().counters) ++io_.counters[port];
}

void Device::write_output(int port, bool on) {
    if (on) {
        io_.outputs = static_cast<std::uint16_t>(io_.outputs | 1u << port);
    } else {
        io_.outputs = static_cast<std::uint16_t>(io_.outputs & ~(1u << port));
    }
}

void Device::set_output(int port, bool on) {
    pulses_.at(port).reset();
    write_output(port, on);
}

void Device::start_pulse(int port, bool level, std::chrono::milliseconds length,
                         Clock::time_point now) {
    pulses_.at(port) = Pulse{now + length, output(port)};
    write_output(port, level);
}

void Device::advance(Clock::time_point now) {
    for (std::size_t port = 0; port < pulses_.size(); ++port) {
        auto& p = pulses_[port];
        if (p && p->end <= now) {
            write_output(static_cast<int>(port), p->restore);
            p.reset();
        }
    }
}

std::optional<Clock::time_point> Device::next_deadline() const {
    std::optional<Clock::time_point> next;
    for (const auto& p : pulses_) {
        if (p && (!next || p->end < *next)) next = p->end;
    }
    return next;
}

} // namespace tevronsim
