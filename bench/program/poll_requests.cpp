#include "poll_requests.h"

#include "models.h"
#include "sim_child.h"

#include <cstdlib>

namespace iomira::bench {

std::string benchDeviceFile(int count) {
    return benchDeviceFile(0, count);
}

std::string benchDeviceFile(int first, int count) {
    std::string devices;
    for (int i = first; i < first + count; ++i) {
        const PolledModel& m = benchDeviceModel(i);
        devices += "[" + benchDeviceName(i) + "]\nmodel = " + m.name +
                   "\nlisten = 127.0.0.1:0\nunit_id = " + (m.rlx ? "255" : "1") + "\n";
    }
    return devices;
}

std::vector<SoakDevice> benchSoakDevices(int count) {
    std::vector<SoakDevice> devices;
    for (int i = 0; i < count; ++i) {
        const tevronsim::ModelInfo* m = tevronsim::find_model(benchDeviceModel(i).name);
        devices.push_back({benchDeviceName(i), m ? m->inputs : 0, m ? m->analog : 0});
    }
    return devices;
}

int polledDeviceIndex(const std::string& logLine) {
    const std::string device = simtest::json_text(logLine, "device");
    if (device.size() < 2 || device[0] != 'd') return -1;
    char* end = nullptr;
    const long index = std::strtol(device.c_str() + 1, &end, 10);
    if (*end != '\0' || index < 0) return -1;
    const PolledModel& m = benchDeviceModel(int(index));
    if (simtest::json_number(logLine, "function") != m.function) return -1;
    if (m.address >= 0 && simtest::json_number(logLine, "address") != m.address) return -1;
    return int(index);
}

} // namespace iomira::bench
