#pragma once

#include "monitor/lamp_image.h"

#include <QIcon>
#include <QPixmap>

namespace iomira {

inline constexpr int kLampSize = 16;

// The lamp drawn for a device pixel ratio, so that it stays crisp on scaled screens.
QPixmap drawLamp(LampImage image, qreal devicePixelRatio, int logicalSize = kLampSize);
// The lamp at 100 % and 200 %, for buttons and labels.
QIcon lampIcon(LampImage image, int logicalSize = kLampSize);

} // namespace iomira
