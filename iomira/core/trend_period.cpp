#include "core/trend_period.h"

#include <algorithm>
#include <cmath>

namespace iomira {

namespace {

int64_t boundedLength(double length) {
    return static_cast<int64_t>(std::clamp(std::round(length),
                                           static_cast<double>(kTrendShortestPeriod),
                                           static_cast<double>(kTrendLongestPeriod)));
}

} // namespace

TrendPeriod lastPeriod(int64_t now, int64_t length) {
    return {now - boundedLength(static_cast<double>(length)), now, true};
}

TrendPeriod followed(const TrendPeriod& period, int64_t now) {
    return period.live ? TrendPeriod{now - period.length(), now, true} : period;
}

TrendPeriod zoomed(const TrendPeriod& period, double factor, int64_t anchor) {
    const int64_t length = boundedLength(static_cast<double>(period.length()) * factor);
    const double share = period.length() > 0 ? static_cast<double>(anchor - period.from) /
                                                   static_cast<double>(period.length())
                                             : 0.5;
    const int64_t from =
        anchor - static_cast<int64_t>(std::round(std::clamp(share, 0.0, 1.0) * length));
    return {from, from + length, false};
}

TrendPeriod panned(const TrendPeriod& period, int64_t seconds) {
    return {period.from + seconds, period.to + seconds, false};
}

TrendPeriod chosenPeriod(int64_t from, int64_t to) {
    const int64_t first = std::min(from, to);
    return {first, first + boundedLength(static_cast<double>(std::max(from, to) - first)), false};
}

} // namespace iomira
