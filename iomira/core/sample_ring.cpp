#include "core/sample_ring.h"

#include <algorithm>
#include <limits>

namespace iomira {

namespace {

// The offset of a time after the base, never below `floor` nor beyond what 32 bits hold.
uint32_t offsetOf(int64_t base, int64_t seconds, uint32_t floor) {
    const int64_t offset =
        std::clamp<int64_t>(seconds - base, floor, std::numeric_limits<uint32_t>::max());
    return static_cast<uint32_t>(offset);
}

} // namespace

size_t SampleView::lowerBound(int64_t seconds) const {
    size_t low = 0, high = size();
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        if (this->seconds(middle) < seconds)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

SampleView SampleView::slice(size_t begin, size_t end) const {
    const size_t split = first_.size();
    const auto part = [](std::span<const TrendSample> s, size_t b, size_t e) {
        return b < e ? s.subspan(b, e - b) : std::span<const TrendSample>();
    };
    return {base_, part(first_, std::min(begin, split), std::min(end, split)),
            part(second_, std::max(begin, split) - split, std::max(end, split) - split)};
}

SampleView SampleView::between(int64_t from, int64_t to) const {
    if (to < from) return {base_, {}};
    const size_t begin = lowerBound(from);
    const size_t end = to == std::numeric_limits<int64_t>::max() ? size() : lowerBound(to + 1);
    return slice(begin, end);
}

void SampleSeries::append(int64_t seconds, int32_t raw) {
    const uint32_t last = samples.empty() ? 0 : samples.back().offset;
    samples.push_back({offsetOf(base, seconds, last), raw});
}

SampleRing::SampleRing(int64_t baseSeconds, size_t capacity)
    : base_(baseSeconds), samples_(std::max<size_t>(capacity, 1)) {}

void SampleRing::append(int64_t seconds, int32_t raw) {
    const size_t cap = samples_.size();
    const uint32_t last = count_ == 0 ? 0 : samples_[(oldest_ + count_ - 1) % cap].offset;
    const TrendSample sample{offsetOf(base_, seconds, last), raw};
    if (count_ < cap) {
        samples_[(oldest_ + count_) % cap] = sample;
        ++count_;
    } else {
        samples_[oldest_] = sample;
        oldest_ = (oldest_ + 1) % cap;
        overwritten_ = true;
    }
}

SampleView SampleRing::all() const {
    const std::span<const TrendSample> whole(samples_);
    const size_t tail = std::min(count_, samples_.size() - oldest_);
    return {base_, whole.subspan(oldest_, tail), whole.subspan(0, count_ - tail)};
}

int64_t SampleRing::completeFrom() const {
    return overwritten_ ? base_ + samples_[oldest_].offset : base_;
}

} // namespace iomira
