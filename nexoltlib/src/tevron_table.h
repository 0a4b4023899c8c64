// The device table of the Tevron_ layer: one entry per MAC over the three device lists,
// sorted by MAC, rebuilt after every successful search or read.
#pragma once

#include "device_lists.h"

#include "nexoltlib/nexoltlib.h"

#include <cstddef>

namespace nexolt {

inline constexpr size_t kMaxTevronDevices = 1024;

void rebuild_tevron_table();
// The table entry whose MAC is the device's first 6 bytes, or nullptr.
const tevron_info* find_tevron(const void* device);
// The device-list entry the table entry was built from, or nullptr.
DeviceEntry* tevron_device_entry(const void* device);

} // namespace nexolt
