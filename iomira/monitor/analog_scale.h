#pragma once

#include <QString>

#include <cstdint>

namespace iomira {

// The engineering range of an analog channel, from the record's minimum and maximum texts.
// A text that is not a finite number counts as 0, so a mistyped range still gives a display.
struct AnalogRange {
    double min = 0;
    double max = 0;
};
AnalogRange analogRange(const QString& minText, const QString& maxText);

// The largest raw value of the 12-bit converters; raw values are clamped to 0..kAnalogRawMax.
inline constexpr int kAnalogRawMax = 4095;

// The raw value scaled into the range and rounded to hundredths (0.005 rounds up).
int64_t scaledHundredths(const AnalogRange& range, int raw);
// "12.34mA ": two decimals, the unit and a space.
QString analogText(int64_t hundredths, const QString& unit);
// What a channel shows while its controller is not connected.
QString disconnectedAnalogText(const QString& unit);

// A bar graph's range in hundredths: the range's integer parts times 100, lowest first, kept
// within what a bar can hold.
struct BarRange {
    int low = 0;
    int high = 0;
};
BarRange barRange(const AnalogRange& range);
int barPosition(const BarRange& bar, int64_t hundredths);

} // namespace iomira
