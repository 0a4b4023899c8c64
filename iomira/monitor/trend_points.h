#pragma once

#include "core/sample_ring.h"
#include "monitor/trend_scale.h"

#include <QList>
#include <QPointF>

#include <vector>

namespace iomira {

// The points of a chart line: x in milliseconds since the epoch, y the shown value. A digital
// port's value holds until the next sample, so its points form steps.
QList<QPointF> trendPoints(const std::vector<TimedSample>& samples, const TrendScale& scale);

} // namespace iomira
