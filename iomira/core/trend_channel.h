#pragma once

#include <cstdint>

namespace iomira {

// What a trended value is: the shown value of an analog channel, the RLX-840's temperature, an
// input counter, or the state of a digital input or output.
enum class TrendKind : uint8_t { Analog, Temperature, Counter, DigitalInput, DigitalOutput };

// One trended value of one controller; `index` counts channels, counters or ports from 0.
struct TrendChannel {
    int deviceId = 0;
    TrendKind kind = TrendKind::Analog;
    int index = 0;

    bool operator==(const TrendChannel&) const = default;
    // By controller, then kind, then index: the order the recorder keeps its rings in.
    bool operator<(const TrendChannel& o) const {
        if (deviceId != o.deviceId) return deviceId < o.deviceId;
        if (kind != o.kind) return kind < o.kind;
        return index < o.index;
    }
};

// Digital ports are drawn as steps between 0 and 1; the other kinds as lines.
inline bool isDigitalTrend(TrendKind kind) {
    return kind == TrendKind::DigitalInput || kind == TrendKind::DigitalOutput;
}

} // namespace iomira
