#pragma once

#include "core/trend_channel.h"
#include "core/trend_decimation.h"
#include "monitor/analog_scale.h"

#include <QString>

namespace iomira {

class CQUORVISData;

// How a channel's raw values are shown: analog channels in the record's range as the window
// shows them, the temperature in degrees, counters as counts, ports as 0 or 1.
struct TrendScale {
    TrendKind kind = TrendKind::Analog;
    AnalogRange range;
    QString unit; // an analog channel's unit, or the temperature's degrees

    double value(int32_t raw) const;
    // The value as the window writes it, without the unit: "12.34", "-3.5", "4294967295", "1".
    QString text(int32_t raw) const;
    RawOrder order() const {
        return kind == TrendKind::Counter ? RawOrder::Unsigned : RawOrder::Signed;
    }
};

TrendScale trendScale(const CQUORVISData& controller, TrendKind kind, int index);

} // namespace iomira
