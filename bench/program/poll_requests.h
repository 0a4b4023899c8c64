#pragma once
// The models the program benchmarks put on the simulator, with the request that starts each
// one's poll, so that the polls a controller received can be counted in the request log.

#include "soak_faults.h"

#include <iterator>
#include <string>
#include <vector>

namespace iomira::bench {

struct PolledModel {
    const char* name;
    long function;
    long address; // -1: any address
    bool rlx;
};

inline constexpr PolledModel kPolledModels[] = {
    {"TKA-31", 2, -1, false}, {"TKA-35", 2, -1, false}, {"TKA-33", 2, -1, false},
    {"TKB-11", 2, -1, false}, {"RLX-810", 4, 0, true},  {"RLX-820", 2, 0, true},
    {"RLX-830", 1, 0, true},  {"RLX-850", 2, 0, true},  {"RLX-840", 4, 8, true},
};
inline constexpr int kPolledModelCount = int(std::size(kPolledModels));

// Device i of a benchmark is named "d<i>" and plays model i modulo the model count.
inline std::string benchDeviceName(int i) {
    return "d" + std::to_string(i);
}
inline const PolledModel& benchDeviceModel(int i) {
    return kPolledModels[i % kPolledModelCount];
}

// The simulator's device file for `count` such devices, each on a loopback port of its own:
// all of them, or those from index `first` on.
std::string benchDeviceFile(int count);
std::string benchDeviceFile(int first, int count);
// The port counts of those devices, as the simulator plays their models.
std::vector<SoakDevice> benchSoakDevices(int count);
// The device index of a request log line when it is the start of that device's poll, else -1.
int polledDeviceIndex(const std::string& logLine);

} // namespace iomira::bench
