#pragma once
// The verdict of a soak run on its figures: the program lived, every controller was connected
// and polled at the end, and neither memory, descriptors nor the event log grew without bound.

#include "process_figures.h"

#include <cstdint>
#include <string>
#include <vector>

namespace iomira::bench {

// Resident memory may grow this much over the baseline (allocator and caches settling).
inline constexpr double kRssGrowthPercent = 5.0;
// In the clean last unit every controller gets at least this share of its polls (one a second).
inline constexpr double kMinPollShare = 0.5;
// The event log's bound per controller and minute. Polled once a second, a controller of the
// benchmark's model mix writes about 10 lines of 75 bytes a second (the request and response
// lines and a line per port or value read), some 43 kB a minute; a fault writes a few lines and
// keeps polls away meanwhile, and a damaged stream's lines are folded to one a second. Half as
// much again is left for the minutes with many reconnections.
inline constexpr int64_t kLogBytesPerControllerMinute = 64 * 1024;

struct SoakSample {
    int64_t atMs = 0;
    int connected = 0;
    long rssKb = 0;
    Descriptors fds;
    int64_t logBytes = 0;
};

struct SoakOutcome {
    int controllers = 0;
    SoakSample baseline;
    SoakSample end;
    std::vector<int64_t> windowPolls; // per controller, in the clean last unit
    int64_t windowMs = 0;
    std::vector<SoakSample> samples; // the baseline, each minute after it and the end
    bool simulatorAlive = false;
};

struct SoakCheck {
    std::string name;
    bool passed = false;
    std::string detail;
};

std::vector<SoakCheck> soakChecks(const SoakOutcome& outcome);
// The highest rate of the event log between two samples, in bytes a minute.
int64_t highestLogBytesPerMinute(const std::vector<SoakSample>& samples);

} // namespace iomira::bench
