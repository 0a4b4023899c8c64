#include "monitor/trend_scale.h"

#include "core/quorvis_data.h"
#include "corvel/corvel.h"
#include "monitor/temperature_text.h"

namespace iomira {

double TrendScale::value(int32_t raw) const {
    switch (kind) {
    case TrendKind::Analog:
        return static_cast<double>(scaledHundredths(range, raw)) / 100.0;
    case TrendKind::Temperature:
        return temperatureHundredths(raw) / 100.0;
    case TrendKind::Counter:
        return static_cast<uint32_t>(raw);
    case TrendKind::DigitalInput:
    case TrendKind::DigitalOutput:
        break;
    }
    return raw != 0 ? 1.0 : 0.0;
}

QString TrendScale::text(int32_t raw) const {
    switch (kind) {
    case TrendKind::Analog:
        return analogText(scaledHundredths(range, raw), {}).trimmed();
    case TrendKind::Temperature:
        return temperatureText(raw, -1);
    case TrendKind::Counter:
        return QString::number(static_cast<uint32_t>(raw));
    case TrendKind::DigitalInput:
    case TrendKind::DigitalOutput:
        break;
    }
    return raw != 0 ? QStringLiteral("1") : QStringLiteral("0");
}

TrendScale trendScale(const CQUORVISData& c, TrendKind kind, int index) {
    TrendScale scale{kind, {}, {}};
    if (kind == TrendKind::Analog && index >= 0 && index < kAnalogChannels) {
        scale.range = analogRange(c.AIMin[index], c.AIMax[index]);
        scale.unit = c.AIUnit[index];
    }
    if (kind == TrendKind::Temperature)
        scale.unit = temperatureUnit(get_ai_mode(c.DeviceId, 0)).trimmed();
    return scale;
}

} // namespace iomira
