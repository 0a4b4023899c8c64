#pragma once

#include <QString>

namespace simtest {
class SimChild;
}

namespace iomira::bench {

// A store at `path` with `count` controllers named "Controller 001"..., one for each of the
// simulator's devices, spread evenly over `groupCount` groups; `logging` logs all their events.
bool writeBenchStore(const QString& path, simtest::SimChild& sim, int count, int groupCount,
                     bool logging);

} // namespace iomira::bench
