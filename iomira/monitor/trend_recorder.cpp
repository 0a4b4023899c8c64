#include "monitor/trend_recorder.h"

#include "core/quorvis_data.h"

#include <QDateTime>

#include <limits>

namespace iomira {

TrendRecorder::TrendRecorder(Clock clock, size_t maxChannels, size_t ringCapacity)
    : clock_(std::move(clock)), maxChannels_(maxChannels), ringCapacity_(ringCapacity) {
    if (!clock_) clock_ = [] { return QDateTime::currentSecsSinceEpoch(); };
}

bool TrendRecorder::watch(const TrendChannel& channel) {
    if (watching(channel)) return true;
    if (rings_.size() >= maxChannels_) return false;
    rings_.emplace(channel, std::make_unique<SampleRing>(clock_(), ringCapacity_));
    return true;
}

SampleView TrendRecorder::samples(const TrendChannel& channel) const {
    const auto found = rings_.find(channel);
    return found == rings_.end() ? SampleView() : found->second->all();
}

int64_t TrendRecorder::completeFrom(const TrendChannel& channel) const {
    const auto found = rings_.find(channel);
    return found == rings_.end() ? std::numeric_limits<int64_t>::max()
                                 : found->second->completeFrom();
}

void TrendRecorder::polledValue(const CQUORVISData& c, TrendKind kind, int index, int32_t raw) {
    const auto found = rings_.find({c.DeviceId, kind, index});
    if (found != rings_.end()) found->second->append(clock_(), raw);
}

} // namespace iomira
