#include "ui/common/lamp_images.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace iomira {

namespace {

struct Shades {
    QColor light, body, rim;
};

Shades shadesOf(LampColor color) {
    switch (color) {
    case LampColor::Yellow:
        return {QColor(0xFF, 0xF8, 0xB0), QColor(0xF5, 0xC5, 0x00), QColor(0x9A, 0x72, 0x00)};
    case LampColor::Green:
        return {QColor(0xC8, 0xFF, 0xC0), QColor(0x22, 0xB5, 0x2A), QColor(0x0E, 0x62, 0x14)};
    case LampColor::Grey:
        break;
    }
    return {QColor(0xF4, 0xF4, 0xF4), QColor(0xB4, 0xB4, 0xB4), QColor(0x6A, 0x6A, 0x6A)};
}

// Marks are drawn on a 16-unit grid; the painter is scaled to the pixmap.
void drawBody(QPainter& p, LampColor color) {
    const Shades s = shadesOf(color);
    QRadialGradient gradient(QPointF(6.0, 5.5), 9.0);
    gradient.setColorAt(0.0, s.light);
    gradient.setColorAt(0.55, s.body);
    gradient.setColorAt(1.0, s.body.darker(120));
    p.setPen(QPen(s.rim, 1.0));
    p.setBrush(gradient);
    p.drawEllipse(QRectF(1.0, 1.0, 14.0, 14.0));
}

// A value that is not known: the body fades to a third and is crossed by dark hatching.
void drawUnknownBody(QPainter& p, LampColor color) {
    p.save();
    p.setOpacity(0.35);
    drawBody(p, color);
    p.restore();
    QPainterPath disc;
    disc.addEllipse(QRectF(1.0, 1.0, 14.0, 14.0));
    p.save();
    p.setClipPath(disc);
    QPen hatch(QColor(0x50, 0x50, 0x50), 1.1);
    p.setPen(hatch);
    for (qreal x = -14.0; x < 16.0; x += 3.5)
        p.drawLine(QPointF(x, 16.0), QPointF(x + 16.0, 0.0));
    p.restore();
    p.setPen(QPen(QColor(0x6A, 0x6A, 0x6A), 1.0, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(1.0, 1.0, 14.0, 14.0));
}

void markPen(QPainter& p, const QColor& color, qreal width) {
    QPen pen(color, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
}

void drawError(QPainter& p) {
    // A red disc with a white cross in the lower right corner.
    p.setPen(QPen(QColor(0x80, 0x00, 0x00), 0.8));
    p.setBrush(QColor(0xE0, 0x20, 0x20));
    p.drawEllipse(QRectF(7.5, 7.5, 8.0, 8.0));
    markPen(p, Qt::white, 1.4);
    p.drawLine(QPointF(9.8, 9.8), QPointF(13.2, 13.2));
    p.drawLine(QPointF(13.2, 9.8), QPointF(9.8, 13.2));
}

void drawSpeaker(QPainter& p) {
    QPainterPath path;
    path.moveTo(3.5, 6.5);
    path.lineTo(6.0, 6.5);
    path.lineTo(9.0, 4.0);
    path.lineTo(9.0, 12.0);
    path.lineTo(6.0, 9.5);
    path.lineTo(3.5, 9.5);
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0x30, 0x30));
    p.drawPath(path);
    markPen(p, QColor(0x30, 0x30, 0x30), 1.1);
    p.drawArc(QRectF(7.5, 5.5, 5.0, 5.0), -50 * 16, 100 * 16);
}

void drawLock(QPainter& p) {
    markPen(p, QColor(0x30, 0x30, 0x30), 1.3);
    p.drawArc(QRectF(5.5, 3.5, 5.0, 6.0), 0, 180 * 16);
    p.drawLine(QPointF(5.5, 6.5), QPointF(5.5, 8.0));
    p.drawLine(QPointF(10.5, 6.5), QPointF(10.5, 8.0));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0x30, 0x30));
    p.drawRoundedRect(QRectF(4.0, 7.5, 8.0, 5.5), 1.0, 1.0);
}

// A square wave: high-low-high for a pulse to ON, low-high-low for one to OFF.
void drawPulse(QPainter& p, bool inverted) {
    const qreal hi = 5.0, lo = 11.0;
    const qreal a = inverted ? hi : lo, b = inverted ? lo : hi;
    QPainterPath path;
    path.moveTo(3.0, a);
    path.lineTo(6.0, a);
    path.lineTo(6.0, b);
    path.lineTo(10.0, b);
    path.lineTo(10.0, a);
    path.lineTo(13.0, a);
    markPen(p, QColor(0x20, 0x20, 0x20), 1.5);
    p.drawPath(path);
}

void drawWarning(QPainter& p) {
    QPainterPath triangle;
    triangle.moveTo(8.0, 2.8);
    triangle.lineTo(13.6, 12.8);
    triangle.lineTo(2.4, 12.8);
    triangle.closeSubpath();
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xFF, 0xD8, 0x20));
    p.drawPath(triangle);
    markPen(p, QColor(0x20, 0x20, 0x20), 1.4);
    p.drawLine(QPointF(8.0, 6.2), QPointF(8.0, 9.4));
    p.drawPoint(QPointF(8.0, 11.3));
}

void drawMark(QPainter& p, LampMark mark) {
    switch (mark) {
    case LampMark::Error:
        drawError(p);
        break;
    case LampMark::Speaker:
        drawSpeaker(p);
        break;
    case LampMark::Lock:
        drawLock(p);
        break;
    case LampMark::Pulse:
        drawPulse(p, false);
        break;
    case LampMark::InvertedPulse:
        drawPulse(p, true);
        break;
    case LampMark::Warning:
        drawWarning(p);
        break;
    case LampMark::None:
        break;
    }
}

} // namespace

QPixmap drawLamp(LampImage image, qreal devicePixelRatio, int logicalSize) {
    const int pixels = qMax(1, qRound(logicalSize * devicePixelRatio));
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(pixels / 16.0, pixels / 16.0);
    if (image.unknown)
        drawUnknownBody(p, image.color);
    else
        drawBody(p, image.color);
    drawMark(p, image.mark);
    p.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QIcon lampIcon(LampImage image, int logicalSize) {
    QIcon icon;
    for (qreal ratio : {1.0, 1.5, 2.0})
        icon.addPixmap(drawLamp(image, ratio, logicalSize));
    return icon;
}

} // namespace iomira
