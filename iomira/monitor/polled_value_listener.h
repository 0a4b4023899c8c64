#pragma once

#include "core/trend_channel.h"

#include <cstdint>

namespace iomira {

class CQUORVISData;

// Who hears each value a poll brought (analog channels, the temperature, counters, input and
// output ports), on the UI thread as the response is handled, whether or not it is logged.
// `raw` is the value as received: a register, a counter's 32 bits, a port's 0 or 1.
class PolledValueListener {
  public:
    virtual ~PolledValueListener() = default;
    virtual void polledValue(const CQUORVISData& controller, TrendKind kind, int index,
                             int32_t raw) = 0;
};

} // namespace iomira
