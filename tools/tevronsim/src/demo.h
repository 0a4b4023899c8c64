#pragma once
// The built-in demonstration set: one device of every model, each on a loopback address of
// its own (127.0.0.2 and up) and a port of its own, answering every library there.

#include "device.h"
#include "device_management_file.h"

#include <vector>

namespace tevronsim {

constexpr std::uint16_t kDemoFirstPort = 15020;

std::vector<DeviceConfig> demo_devices(std::uint16_t first_port);

// The address of the device at position index: 127.0.0.2 and up.
std::string demo_address(std::size_t index);

// One device-management site per device (names in demo order), on its own address, with the
// settings base gives each device (its MAC, comment, ...).
std::vector<ManagementConfig> demo_sites(const std::vector<std::string>& names,
                                         const ManagementConfig& base);

} // namespace tevronsim
