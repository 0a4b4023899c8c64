#pragma once
// The answers of the TKB-11 and RLX devices to the two substitute protocols (tkb11lib on the
// device-management port, Kestrel on its own), built from the same settings as the
// device-management record, so that a device is the same device to every library.

#include "device_management.h"

#include "tkb11lib/tkb11lib.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tevronsim {

struct SubstituteOutcome {
    std::vector<Datagram> replies;
    std::string log; // JSON members for the request log
};

// True when datagram is a tkb11lib frame (not one of the device-management protocol).
bool is_tkb11_frame(std::span<const std::uint8_t> datagram);

// nullopt when the request is not for this device (another model, MAC or protocol).
std::optional<SubstituteOutcome> tkb11_answer(const DeviceConfig& config,
                                              const ManagementSettings& settings,
                                              std::span<const std::uint8_t> datagram,
                                              std::uint32_t own_address);
std::optional<SubstituteOutcome> kestrel_answer(const DeviceConfig& config,
                                                const ManagementSettings& settings,
                                                std::span<const std::uint8_t> datagram,
                                                std::uint32_t own_address);

// The records themselves, for the tests.
tkb11_record tkb11_device_record(const DeviceConfig& config, const ManagementSettings& settings,
                                 std::uint32_t own_address);

} // namespace tevronsim
