#pragma once
// The built-in demonstration set: one device of every model on consecutive loopback ports.

#include "device.h"

#include <vector>

namespace tevronsim {

constexpr std::uint16_t kDemoFirstPort = 15020;

std::vector<DeviceConfig> demo_devices(std::uint16_t first_port);

} // namespace tevronsim
