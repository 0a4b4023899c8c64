#pragma once

#include <QIcon>
#include <QPixmap>

namespace iomira {

// The lamp of one port: its body colour and the mark drawn over it.
enum class LampColor { Grey, Yellow, Green };
enum class LampMark { None, Error, Speaker, Lock, Pulse, InvertedPulse, Warning };

struct LampImage {
    LampColor color = LampColor::Grey;
    LampMark mark = LampMark::None;
    bool operator==(const LampImage&) const = default;
};

inline constexpr int kLampSize = 16;

// The lamp drawn for a device pixel ratio, so that it stays crisp on scaled screens.
QPixmap drawLamp(LampImage image, qreal devicePixelRatio, int logicalSize = kLampSize);
// The lamp at 100 % and 200 %, for buttons and labels.
QIcon lampIcon(LampImage image, int logicalSize = kLampSize);

} // namespace iomira
