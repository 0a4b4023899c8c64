#pragma once

#include <cstdint>

namespace iomira {

// The stretch of time a trend shows, in seconds since the epoch, both ends included. A live
// period keeps its length and ends at the present as time goes on.
struct TrendPeriod {
    int64_t from = 0;
    int64_t to = 0;
    bool live = false;

    int64_t length() const { return to - from; }
    bool operator==(const TrendPeriod&) const = default;
};

// Zooming stops at a minute and at a year.
inline constexpr int64_t kTrendShortestPeriod = 60;
inline constexpr int64_t kTrendLongestPeriod = 366 * 86400;

// The last `length` seconds up to `now`, following the present.
TrendPeriod lastPeriod(int64_t now, int64_t length);
// A live period moved on to `now`; any other period as it is.
TrendPeriod followed(const TrendPeriod& period, int64_t now);
// Shrunk (factor below 1) or grown around `anchor`, which stays where it is on the screen.
// The result is no longer live: it no longer ends at the present.
TrendPeriod zoomed(const TrendPeriod& period, double factor, int64_t anchor);
// Moved by `seconds` (later when positive); moving it never makes it live.
TrendPeriod panned(const TrendPeriod& period, int64_t seconds);
// From..to as the operator chose it, the ends in either order and kept within the limits.
TrendPeriod chosenPeriod(int64_t from, int64_t to);

} // namespace iomira
