#include "soak_checks.h"

#include <algorithm>
#include <cstdio>

namespace iomira::bench {

namespace {

template <typename... Args> std::string format(const char* pattern, Args... args) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

SoakCheck aliveCheck(const SoakOutcome& o) {
    return {"alive", o.simulatorAlive,
            o.simulatorAlive ? "program and simulator ran to the end"
                             : "the simulator stopped answering"};
}

SoakCheck connectedCheck(const SoakOutcome& o) {
    return {"connected", o.end.connected == o.controllers,
            format("%d of %d connected at the end", o.end.connected, o.controllers)};
}

SoakCheck pollCheck(const SoakOutcome& o) {
    const int64_t least = int64_t(kMinPollShare * double(o.windowMs) / 1000.0);
    int short_ = 0, first = -1;
    int64_t lowest = o.windowPolls.empty() ? 0 : o.windowPolls[0];
    for (size_t i = 0; i < o.windowPolls.size(); ++i) {
        lowest = std::min(lowest, o.windowPolls[i]);
        if (o.windowPolls[i] >= std::max<int64_t>(1, least)) continue;
        ++short_;
        if (first < 0) first = int(i);
    }
    const bool complete = int(o.windowPolls.size()) == o.controllers;
    std::string detail = format("fewest polls %lld in the last %.0f s (at least %lld)",
                                (long long)lowest, double(o.windowMs) / 1000.0, (long long)least);
    if (short_ > 0) detail += format("; %d short, first d%d", short_, first);
    return {"polled", complete && short_ == 0, detail};
}

SoakCheck memoryCheck(const SoakOutcome& o) {
    // Memory given back is no fault; only growth is.
    const double growth =
        100.0 * double(o.end.rssKb - o.baseline.rssKb) / double(std::max(1L, o.baseline.rssKb));
    return {"memory", o.baseline.rssKb > 0 && growth <= kRssGrowthPercent,
            format("RSS %ld kB -> %ld kB (%+.2f %%, at most +%.0f %%)", o.baseline.rssKb,
                   o.end.rssKb, growth, kRssGrowthPercent)};
}

SoakCheck descriptorCheck(const SoakOutcome& o) {
    const Descriptors& b = o.baseline.fds;
    const Descriptors& e = o.end.fds;
    return {"descriptors", b.total == e.total && b.total > 0,
            format("%d (%d sockets) -> %d (%d sockets)", b.total, b.sockets, e.total, e.sockets)};
}

SoakCheck logCheck(const SoakOutcome& o) {
    const int64_t highest = highestLogBytesPerMinute(o.samples);
    const int64_t bound = kLogBytesPerControllerMinute * o.controllers;
    return {
        "event log", highest <= bound,
        format("at most %lld bytes a minute (bound %lld)", (long long)highest, (long long)bound)};
}

} // namespace

int64_t highestLogBytesPerMinute(const std::vector<SoakSample>& samples) {
    int64_t highest = 0;
    for (size_t i = 1; i < samples.size(); ++i) {
        const int64_t ms = samples[i].atMs - samples[i - 1].atMs;
        if (ms <= 0) continue;
        const int64_t bytes = samples[i].logBytes - samples[i - 1].logBytes;
        highest = std::max(highest, bytes * 60000 / ms);
    }
    return highest;
}

std::vector<SoakCheck> soakChecks(const SoakOutcome& o) {
    return {aliveCheck(o),  connectedCheck(o),  pollCheck(o),
            memoryCheck(o), descriptorCheck(o), logCheck(o)};
}

} // namespace iomira::bench
