#pragma once

#include "core/sample_ring.h"
#include "core/trend_channel.h"
#include "monitor/polled_value_listener.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

namespace iomira {

// A day of samples for 64 channels is about 44 MB; the program holds no more than that.
inline constexpr size_t kTrendMaxChannels = 64;

// Keeps the recent samples of the channels someone trends. A channel records from the moment
// it is first watched until the program ends; channels nobody asked for cost nothing.
class TrendRecorder final : public PolledValueListener {
  public:
    // Seconds since the epoch.
    using Clock = std::function<int64_t()>;

    explicit TrendRecorder(Clock clock = {}, size_t maxChannels = kTrendMaxChannels,
                           size_t ringCapacity = kTrendRingCapacity);

    // Starts recording the channel; false when it is not recorded yet and the limit is reached.
    bool watch(const TrendChannel& channel);
    bool watching(const TrendChannel& channel) const { return rings_.count(channel) > 0; }
    // The channel's samples; empty when the channel is not watched.
    SampleView samples(const TrendChannel& channel) const;
    // From when the channel's samples are all there (see SampleRing); an unwatched channel
    // has none from any time.
    int64_t completeFrom(const TrendChannel& channel) const;
    size_t channelCount() const { return rings_.size(); }
    size_t maxChannels() const { return maxChannels_; }
    int64_t now() const { return clock_(); }

    void polledValue(const CQUORVISData& controller, TrendKind kind, int index,
                     int32_t raw) override;

  private:
    Clock clock_;
    size_t maxChannels_;
    size_t ringCapacity_;
    std::map<TrendChannel, std::unique_ptr<SampleRing>> rings_;
};

} // namespace iomira
