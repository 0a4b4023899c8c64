#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace iomira {

// One polled value: seconds after its store's base time and the raw value as the controller
// sent it (a counter's 32 bits as they are), scaled only when shown.
struct TrendSample {
    uint32_t offset = 0;
    int32_t raw = 0;
};
static_assert(sizeof(TrendSample) == 8);
static_assert(offsetof(TrendSample, offset) == 0 && offsetof(TrendSample, raw) == 4);

// A sample with its time in seconds since the epoch.
struct TimedSample {
    int64_t seconds = 0;
    int32_t raw = 0;
    bool operator==(const TimedSample&) const = default;
};

// Samples in time order as at most two runs (a ring's older part, then its newer part) that
// share one base time. Only a view: the store it points into must outlive it.
class SampleView {
  public:
    SampleView() = default;
    SampleView(int64_t base, std::span<const TrendSample> first,
               std::span<const TrendSample> second = {})
        : base_(base), first_(first), second_(second) {}

    size_t size() const { return first_.size() + second_.size(); }
    bool empty() const { return size() == 0; }
    const TrendSample& operator[](size_t i) const {
        return i < first_.size() ? first_[i] : second_[i - first_.size()];
    }
    int64_t seconds(size_t i) const { return base_ + (*this)[i].offset; }
    TimedSample at(size_t i) const { return {seconds(i), (*this)[i].raw}; }
    // The samples from `from` to `to`, both included.
    SampleView between(int64_t from, int64_t to) const;

  private:
    size_t lowerBound(int64_t seconds) const;
    SampleView slice(size_t begin, size_t end) const;

    int64_t base_ = 0;
    std::span<const TrendSample> first_;
    std::span<const TrendSample> second_;
};

// Samples read back from somewhere else (the log files), in time order.
struct SampleSeries {
    int64_t base = 0;
    std::vector<TrendSample> samples;

    // Times before the base or earlier than the last sample's are taken as the last time, so
    // the series stays in order.
    void append(int64_t seconds, int32_t raw);
    SampleView view() const { return {base, samples}; }
};

// A day at one sample a second.
inline constexpr size_t kTrendRingCapacity = 86400;

// The recent samples of one channel: a fixed capacity allocated once, the oldest sample
// overwritten by the newest. Times never run backwards inside the ring: a sample older than
// the newest (the clock was set back) takes the newest's time.
class SampleRing {
  public:
    explicit SampleRing(int64_t baseSeconds, size_t capacity = kTrendRingCapacity);

    void append(int64_t seconds, int32_t raw);
    size_t size() const { return count_; }
    size_t capacity() const { return samples_.size(); }
    size_t memoryBytes() const { return samples_.capacity() * sizeof(TrendSample); }
    SampleView all() const;
    SampleView between(int64_t from, int64_t to) const { return all().between(from, to); }
    // From when the ring holds every sample there was: its start, or once it has overwritten
    // samples, its oldest one.
    int64_t completeFrom() const;

  private:
    int64_t base_;
    std::vector<TrendSample> samples_;
    size_t oldest_ = 0;
    size_t count_ = 0;
    bool overwritten_ = false;
};

} // namespace iomira
