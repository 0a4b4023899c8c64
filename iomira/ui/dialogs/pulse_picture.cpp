#include "ui/dialogs/pulse_picture.h"

#include <QPainter>
#include <QPainterPath>

namespace iomira {

QPixmap pulsePicture(PulseLevel level) {
    QPixmap picture(kPulsePictureWidth, kPulsePictureHeight);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0xc0, 0xc0, 0xc0), 1, Qt::DotLine));
    const int top = 12, bottom = kPulsePictureHeight - 12;
    const int left = 10, right = kPulsePictureWidth - 10;
    painter.drawLine(left, top, right, top);
    painter.drawLine(left, bottom, right, bottom);

    const int rest = level == PulseLevel::Low ? top : bottom;
    const int active = level == PulseLevel::Low ? bottom : top;
    const int riseAt = kPulsePictureWidth / 3, fallAt = 2 * kPulsePictureWidth / 3;
    QPainterPath signal(QPointF(left, rest));
    if (level != PulseLevel::Disable) {
        signal.lineTo(riseAt, rest);
        signal.lineTo(riseAt, active);
        signal.lineTo(fallAt, active);
        signal.lineTo(fallAt, rest);
    }
    signal.lineTo(right, rest);
    const QColor ink =
        level == PulseLevel::Disable ? QColor(0x90, 0x90, 0x90) : QColor(0, 0x5b, 0x9f);
    painter.setPen(QPen(ink, 2));
    painter.drawPath(signal);
    if (level != PulseLevel::Disable) {
        // The arrow under the pulse stands for the length the field sets.
        painter.setPen(QPen(ink, 1));
        const int y = (top + bottom) / 2;
        painter.drawLine(riseAt + 3, y, fallAt - 3, y);
        painter.drawLine(riseAt + 3, y, riseAt + 8, y - 4);
        painter.drawLine(riseAt + 3, y, riseAt + 8, y + 4);
        painter.drawLine(fallAt - 3, y, fallAt - 8, y - 4);
        painter.drawLine(fallAt - 3, y, fallAt - 8, y + 4);
    }
    return picture;
}

} // namespace iomira
