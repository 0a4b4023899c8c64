// Lamps as the windows paint them.

#include "ui/common/lamp_images.h"

#include <QImage>

#include <vector>

#include <gtest/gtest.h>

namespace iomira {
namespace {

using C = LampColor;
using M = LampMark;

// The lamp's centre carries its colour and its corners stay clear, at both scalings.
TEST(LampDrawing, PixelsMatchTheRatioAndTheColour) {
    for (qreal ratio : {1.0, 2.0}) {
        const QImage grey = drawLamp({C::Grey, M::None}, ratio).toImage();
        const QImage yellow = drawLamp({C::Yellow, M::None}, ratio).toImage();
        const QImage green = drawLamp({C::Green, M::None}, ratio).toImage();
        ASSERT_EQ(grey.width(), int(16 * ratio));
        ASSERT_EQ(grey.height(), int(16 * ratio));
        const QPoint mid(int(10 * ratio), int(10 * ratio));
        const QColor y = yellow.pixelColor(mid), g = green.pixelColor(mid),
                     n = grey.pixelColor(mid);
        EXPECT_GT(y.red(), 200);
        EXPECT_LT(y.blue(), 80);
        EXPECT_GT(g.green(), g.red() + 60);
        EXPECT_LT(qAbs(n.red() - n.blue()), 12);
        EXPECT_EQ(grey.pixelColor(0, 0).alpha(), 0);
    }
    const QImage plain = drawLamp({C::Green, M::None}, 2.0).toImage();
    for (M mark : {M::Error, M::Speaker, M::Lock, M::Pulse, M::InvertedPulse, M::Warning}) {
        EXPECT_NE(drawLamp({C::Green, mark}, 2.0).toImage(), plain) << int(mark);
    }
    EXPECT_NE(drawLamp({C::Green, M::Pulse}, 1.0).toImage(),
              drawLamp({C::Green, M::InvertedPulse}, 1.0).toImage());
}

// An unknown value never looks like a port that reads 0: every picture with the overlay differs
// from every known one, the body is faded and its marks are still drawn.
TEST(LampDrawing, UnknownLampsDifferFromEveryKnownLampAndKeepTheirMarks) {
    const std::vector<M> marks{M::None,  M::Error,         M::Speaker, M::Lock,
                               M::Pulse, M::InvertedPulse, M::Warning};
    std::vector<QImage> known;
    for (C color : {C::Grey, C::Yellow, C::Green})
        for (M mark : marks)
            known.push_back(drawLamp({color, mark}, 2.0).toImage());
    for (C color : {C::Grey, C::Yellow, C::Green}) {
        for (M mark : marks) {
            const QImage unknown = drawLamp({color, mark, true}, 2.0).toImage();
            for (const QImage& image : known)
                EXPECT_NE(unknown, image) << int(color) << " " << int(mark);
            if (mark != M::None) {
                EXPECT_NE(unknown, drawLamp({color, M::None, true}, 2.0).toImage()) << int(mark);
            }
        }
    }
    // Faded: a yellow lamp's body is far less saturated than when its value is known.
    const QPoint body(8, 20); // between two hatch lines
    const QColor plain = drawLamp({C::Yellow, M::None}, 2.0).toImage().pixelColor(body);
    const QColor faded = drawLamp({C::Yellow, M::None, true}, 2.0).toImage().pixelColor(body);
    EXPECT_LT(faded.alpha(), plain.alpha());
}

} // namespace
} // namespace iomira
