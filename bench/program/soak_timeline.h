#pragma once
// The phases of a soak run. A unit is a minute, or a third of a shorter run:
//   faults for the first unit but a settling time; the baseline figures at the unit's end,
//   with every fault undone; faults again until a unit and a settling time before the end;
//   the last unit clean, in which every controller must be polled.
// The baseline is taken with nothing under a fault so that the end, clean as well, compares
// with it descriptor for descriptor.

#include <algorithm>
#include <cstdint>

namespace iomira::bench {

inline constexpr int kSoakMinMinutes = 1;
inline constexpr int kSoakMaxMinutes = 240;

struct SoakTimeline {
    explicit SoakTimeline(int minutes)
        : runMs(int64_t(minutes) * 60000), unitMs(std::min<int64_t>(60000, runMs / 3)),
          settleMs(std::min<int64_t>(15000, unitMs / 2)) {}

    int64_t firstClearMs() const { return unitMs - settleMs; }
    int64_t baselineMs() const { return unitMs; }
    int64_t lastClearMs() const { return runMs - unitMs - settleMs; }
    int64_t windowStartMs() const { return runMs - unitMs; }
    bool faultsAt(int64_t ms) const {
        return ms < firstClearMs() || (ms >= baselineMs() && ms < lastClearMs());
    }

    int64_t runMs;
    int64_t unitMs;
    int64_t settleMs;
};

} // namespace iomira::bench
