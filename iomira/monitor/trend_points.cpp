#include "monitor/trend_points.h"

namespace iomira {

QList<QPointF> trendPoints(const std::vector<TimedSample>& samples, const TrendScale& scale) {
    const bool steps = isDigitalTrend(scale.kind);
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(steps ? 2 * samples.size() : samples.size()));
    for (const TimedSample& s : samples) {
        const double x = static_cast<double>(s.seconds) * 1000.0;
        const double y = scale.value(s.raw);
        if (steps && !points.isEmpty() && points.back().y() != y)
            points.append(QPointF(x, points.back().y()));
        points.append(QPointF(x, y));
    }
    return points;
}

} // namespace iomira
