#include "monitor/analog_scale.h"

#include <algorithm>
#include <cmath>

namespace iomira {

namespace {

double finiteNumber(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

// Hundredths beyond this would not fit a bar's int range, and no converter measures that far.
constexpr double kHundredthsLimit = 2.0e9;

int64_t clampedHundredths(double hundredths) {
    return static_cast<int64_t>(std::clamp(hundredths, -kHundredthsLimit, kHundredthsLimit));
}

} // namespace

AnalogRange analogRange(const QString& minText, const QString& maxText) {
    return {finiteNumber(minText), finiteNumber(maxText)};
}

int64_t scaledHundredths(const AnalogRange& range, int raw) {
    const int clampedRaw = std::clamp(raw, 0, kAnalogRawMax);
    const double value = (range.max - range.min) / kAnalogRawMax * clampedRaw + range.min;
    return clampedHundredths(std::floor(value * 100.0 + 0.5));
}

QString analogText(int64_t hundredths, const QString& unit) {
    return QString::asprintf("%.2f", static_cast<double>(hundredths) / 100.0) + unit +
           QLatin1Char(' ');
}

QString disconnectedAnalogText(const QString& unit) {
    return QStringLiteral("0.00") + unit + QLatin1Char(' ');
}

BarRange barRange(const AnalogRange& range) {
    const auto bound = [](double v) {
        return static_cast<int>(clampedHundredths(std::trunc(v) * 100.0));
    };
    const int a = bound(range.min), b = bound(range.max);
    return {std::min(a, b), std::max(a, b)};
}

int barPosition(const BarRange& bar, int64_t hundredths) {
    return static_cast<int>(std::clamp<int64_t>(hundredths, bar.low, bar.high));
}

} // namespace iomira
