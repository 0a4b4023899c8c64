#pragma once

#include "app/pulse_settings.h"

#include <QPixmap>

namespace iomira {

inline constexpr int kPulsePictureWidth = 160;
inline constexpr int kPulsePictureHeight = 64;

// A drawing of the output's signal: a high pulse rising from low, a low pulse falling from
// high, a flat low line for an output that is only switched.
QPixmap pulsePicture(PulseLevel level);

} // namespace iomira
