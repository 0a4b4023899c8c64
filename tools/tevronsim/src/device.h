#pragma once
// One simulated controller: its configuration (the record a device file section describes),
// its I/O state, the faults a test has switched on, and the output pulses under way.

#include "event_loop.h"
#include "models.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tevronsim {

struct Endpoint {
    enum class Role { Server, Client };
    Role role = Role::Server;
    std::string host = "127.0.0.1"; // server: address to listen on; client: host to connect to
    std::uint16_t port = 0;         // server: 0 picks a free port
};

struct IoState {
    std::uint16_t inputs = 0; // bit n: input n
    std::uint16_t outputs = 0;
    std::array<std::uint32_t, kMaxCounters> counters{};
    std::array<std::uint16_t, kMaxAnalog> analog{}; // raw register values
    std::array<std::uint8_t, kMaxAnalog> modes{};
    std::array<std::uint16_t, kMaxAnalog> errors{};
    bool operator==(const IoState&) const = default;
};

struct DeviceConfig {
    std::string name;
    const ModelInfo* model = nullptr;
    Endpoint endpoint;
    std::uint8_t unit_id = 1;
    std::uint16_t input_base = 0;
    std::uint16_t output_base = 0;
    IoState initial;
    std::uint16_t pulse_flags = 0; // outputs the controller pulses itself (RLX)
    std::uint16_t pulse_ms = 500;  // length of those pulses
    std::uint8_t change_port = 0;  // input port named in identification object 0x83
    // Port descriptions the device-management and substitute protocols report (16 bytes
    // each there); empty ones are reported as "DI<n>" / "DO<n>".
    std::array<std::string, 16> input_names;
    std::array<std::string, 16> output_names;
};

// The description reported for input (or output) port n.
std::string port_name(const DeviceConfig& config, bool input, int n);

struct Faults {
    std::uint8_t exception = 0; // non-zero: every request is answered with it
    int delay_ms = 0;
    bool silent = false;
    bool refuse = false;
};

class Device {
  public:
    explicit Device(DeviceConfig config);

    const DeviceConfig& config() const { return config_; }
    const ModelInfo& model() const { return *config_.model; }
    const std::string& name() const { return config_.name; }
    IoState& io() { return io_; }
    const IoState& io() const { return io_; }
    Faults& faults() { return faults_; }
    const Faults& faults() const { return faults_; }
    // The outputs the controller pulses itself and their length; a test may change them while
    // the device runs, and a client learns them at its next identification request.
    std::uint16_t pulse_flags() const { return pulse_flags_; }
    std::uint16_t pulse_ms() const { return pulse_ms_; }
    void set_pulse_flags(std::uint16_t flags, std::uint16_t ms);

    // A rising edge on a counting input also counts.
    void set_input(int port, bool on);
    // Setting an output ends a pulse under way on it.
    void set_output(int port, bool on);
    bool output(int port) const { return (io_.outputs >> port) & 1u; }

    bool pulsing(int port) const { return pulses_.at(port).has_value(); }
    // Drives the output to level until now + length, then back to its value before.
    void start_pulse(int port, bool level, std::chrono::milliseconds length, Clock::time_point now);
    void advance(Clock::time_point now);
    std::optional<Clock::time_point> next_deadline() const;

  private:
    struct Pulse {
        Clock::time_point end;
        bool restore;
    };
    void write_output(int port, bool on);

    DeviceConfig config_;
    IoState io_;
    Faults faults_;
    std::uint16_t pulse_flags_;
    std::uint16_t pulse_ms_;
    std::array<std::optional<Pulse>, 16> pulses_;
};

} // namespace tevronsim
