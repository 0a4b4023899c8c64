#pragma once

#include "core/trend_channel.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace iomira {

class CQUORVISData;

// The channels a controller's polls bring, in the order the chooser lists them: analog
// channels or the temperature, counting inputs' counters, digital inputs, digital outputs.
std::vector<TrendChannel> trendChannelsOf(const CQUORVISData& controller);
// What a trend opened for the controller shows first: its analog channels or temperature, or
// where it has none, all its channels.
std::vector<TrendChannel> firstTrendChannelsOf(const CQUORVISData& controller);

// The name the operator gave the channel ("Level", "Door"), else its short name ("AI2",
// "DI1"); a counter is named as such before its input's name ("Counter 1 Door").
QString trendChannelName(const CQUORVISData& controller, const TrendChannel& channel);

// The colour of a channel's line as 0x00RRGGBB: an analog channel's or the temperature's own
// foreground colour where the operator chose one, else the `ordinal`-th of a set of distinct
// colours; a colour in `taken` (the lines drawn before) is passed over for the next free one.
uint32_t trendColor(const CQUORVISData& controller, const TrendChannel& channel, int ordinal,
                    const std::vector<uint32_t>& taken = {});

} // namespace iomira
