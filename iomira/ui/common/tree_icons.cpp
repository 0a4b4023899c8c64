#include "ui/common/tree_icons.h"

#include "app/tree_texts.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>
#include <initializer_list>

namespace iomira {

namespace {

// Everything is drawn on a 16-unit canvas and scaled.
void lamp(QPainter& p, QColor fill, QColor rim) {
    QRadialGradient shade(QPointF(6.5, 6), 8);
    shade.setColorAt(0, fill.lighter(150));
    shade.setColorAt(1, fill);
    p.setPen(QPen(rim, 1));
    p.setBrush(shade);
    p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
}

void mark(QPainter& p, const QPainterPath& path, QColor color = Qt::white) {
    p.setPen(QPen(color, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

QPainterPath polyline(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.moveTo(*points.begin());
    for (auto point = points.begin() + 1; point != points.end(); ++point)
        path.lineTo(*point);
    return path;
}

void drawConnecting(QPainter& p) {
    lamp(p, QColor(0xF0, 0xA8, 0x20), QColor(0xB0, 0x70, 0x00));
    QPainterPath dots;
    for (double x : {5.5, 8.0, 10.5})
        dots.addEllipse(QPointF(x, 8), 0.45, 0.45);
    mark(p, dots);
}

void drawConnected(QPainter& p) {
    lamp(p, QColor(0x2E, 0xA0, 0x43), QColor(0x1B, 0x6B, 0x2B));
    mark(p, polyline({{5.2, 8.2}, {7.2, 10.2}, {10.8, 5.8}}));
}

void drawError(QPainter& p) {
    lamp(p, QColor(0xD9, 0x30, 0x25), QColor(0x96, 0x1B, 0x14));
    QPainterPath cross;
    cross.moveTo(5.8, 5.8);
    cross.lineTo(10.2, 10.2);
    cross.moveTo(10.2, 5.8);
    cross.lineTo(5.8, 10.2);
    mark(p, cross);
}

// Connected but silent: an amber lamp with the hands of a clock.
void drawNotResponding(QPainter& p) {
    lamp(p, QColor(0xE0, 0x78, 0x10), QColor(0x9A, 0x4A, 0x00));
    mark(p, polyline({{8, 4.8}, {8, 8}, {10.4, 9.4}}));
}

void drawInformation(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x6F, 0x86, 0xA6));
    p.drawRoundedRect(QRectF(5.5, 5.5, 5, 5), 1.2, 1.2);
}

void drawGroup(QPainter& p) {
    QPainterPath folder;
    folder.moveTo(1.5, 4);
    folder.lineTo(6, 4);
    folder.lineTo(7.5, 5.5);
    folder.lineTo(14.5, 5.5);
    folder.lineTo(14.5, 13.5);
    folder.lineTo(1.5, 13.5);
    folder.closeSubpath();
    QLinearGradient shade(0, 4, 0, 13.5);
    shade.setColorAt(0, QColor(0xFF, 0xD8, 0x6B));
    shade.setColorAt(1, QColor(0xE8, 0xAE, 0x2C));
    p.setPen(QPen(QColor(0xB0, 0x80, 0x10), 1));
    p.setBrush(shade);
    p.drawPath(folder);
    p.setPen(QPen(QColor(0xFF, 0xEC, 0xB0), 1));
    p.drawLine(QPointF(2.5, 7), QPointF(13.5, 7));
}

void drawClosed(QPainter& p, bool automatic) {
    p.setPen(QPen(QColor(0x80, 0x86, 0x8E), 1.4));
    p.setBrush(QColor(0xE4, 0xE7, 0xEB));
    p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    if (!automatic) return;
    // A small circular arrow: this controller connects by itself.
    QPainterPath arrow;
    arrow.arcMoveTo(QRectF(5, 5, 6, 6), 90);
    arrow.arcTo(QRectF(5, 5, 6, 6), 90, 270);
    mark(p, arrow, QColor(0x2B, 0x6C, 0xC4));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2B, 0x6C, 0xC4));
    QPolygonF head;
    head << QPointF(8, 3.3) << QPointF(10.2, 5) << QPointF(8, 6.7);
    p.drawPolygon(head);
}

QPixmap render(int index, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    switch (index) {
    case ICON_CONNECTING:
        drawConnecting(p);
        break;
    case ICON_CONNECTED:
        drawConnected(p);
        break;
    case ICON_ERROR:
        drawError(p);
        break;
    case ICON_INFORMATION:
        drawInformation(p);
        break;
    case ICON_GROUP:
        drawGroup(p);
        break;
    case ICON_CLOSED_MANUAL:
        drawClosed(p, false);
        break;
    case ICON_CLOSED_AUTOMATIC:
        drawClosed(p, true);
        break;
    case ICON_NOT_RESPONDING:
        drawNotResponding(p);
        break;
    default:
        break;
    }
    return pixmap;
}

} // namespace

QIcon treeIcon(int index) {
    static const std::array<QIcon, kTreeIconCount> icons = [] {
        std::array<QIcon, kTreeIconCount> all;
        for (int i = 0; i < kTreeIconCount; ++i) {
            all[i].addPixmap(render(i, 16));
            all[i].addPixmap(render(i, 32));
        }
        return all;
    }();
    return index >= 0 && index < kTreeIconCount ? icons[index] : QIcon();
}

} // namespace iomira
