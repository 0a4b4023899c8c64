#pragma once

#include <QString>

#include <functional>

namespace iomira::bench {

// The loopback port the simulator gave benchmark device `index`.
using DevicePort = std::function<int(int index)>;

// A store at `path` with `count` controllers named "Controller 001"..., one for each of the
// simulator's devices, spread evenly over `groupCount` groups; `logging` logs all their events.
bool writeBenchStore(const QString& path, const DevicePort& portOf, int count, int groupCount,
                     bool logging);

} // namespace iomira::bench
