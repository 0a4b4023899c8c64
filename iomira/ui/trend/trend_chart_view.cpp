#include "ui/trend/trend_chart_view.h"

#include "core/string_table.h"
#include "core/texts.h"

#include <QDateTime>
#include <QDateTimeAxis>
#include <QGraphicsLineItem>
#include <QKeyEvent>
#include <QLineSeries>
#include <QRubberBand>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace iomira {

namespace {

// One wheel notch or key press zooms by this much; a key pans by a tenth of the period.
constexpr double kZoomStep = 0.8;
constexpr int64_t kPanShare = 10;
// A right-button drag narrower than this is a click, not a period.
constexpr int kSmallestMark = 4;

QString timeFormat(int64_t length) {
    return length <= 86400 ? QStringLiteral("hh:mm:ss") : QStringLiteral("MM-dd hh:mm");
}

} // namespace

TrendChartView::TrendChartView(QWidget* parent)
    : QChartView(new QChart, parent), time_(new QDateTimeAxis), values_(new QValueAxis),
      ports_(new QValueAxis), cursor_(new QGraphicsLineItem),
      band_(new QRubberBand(QRubberBand::Rectangle, viewport())) {
    setRenderHint(QPainter::Antialiasing, false);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    QChart* c = chart();
    // A column beside the plot leaves every channel's whole name readable.
    c->legend()->setAlignment(Qt::AlignRight);
    time_->setTitleText(loadString(TEXT_TREND_TIME));
    c->addAxis(time_, Qt::AlignBottom);
    c->addAxis(values_, Qt::AlignLeft);
    ports_->setRange(-0.1, 1.1);
    ports_->setTickCount(2);
    ports_->setLabelFormat(QStringLiteral("%d"));
    c->addAxis(ports_, Qt::AlignRight);
    ports_->setVisible(false);
    cursor_->setPen(QPen(Qt::gray, 1, Qt::DashLine));
    cursor_->setVisible(false);
    scene()->addItem(cursor_);
}

QLineSeries* TrendChartView::seriesOf(const TrendChannel& channel) const {
    const auto found = series_.find(channel);
    return found == series_.end() ? nullptr : found->second;
}

QLineSeries* TrendChartView::seriesFor(const TrendLine& line) {
    QLineSeries*& series = series_[line.channel];
    if (!series) {
        series = new QLineSeries;
        chart()->addSeries(series);
        series->attachAxis(time_);
        series->attachAxis(line.steps ? ports_ : values_);
    }
    series->setName(line.name);
    series->setPen(QPen(QColor(QRgb(line.color)), 1.5));
    return series;
}

void TrendChartView::dropSeriesNotIn(const std::vector<TrendLine>& lines) {
    for (auto it = series_.begin(); it != series_.end();) {
        const bool shown = std::any_of(lines.begin(), lines.end(),
                                       [&](const TrendLine& l) { return l.channel == it->first; });
        if (shown) {
            ++it;
            continue;
        }
        chart()->removeSeries(it->second);
        delete it->second;
        it = series_.erase(it);
    }
}

void TrendChartView::fitValueAxes(const std::vector<TrendLine>& lines) {
    double low = std::numeric_limits<double>::max(), high = std::numeric_limits<double>::lowest();
    bool ports = false;
    for (const TrendLine& line : lines) {
        ports = ports || line.steps;
        if (line.steps) continue;
        for (const QPointF& p : line.points) {
            low = std::min(low, p.y());
            high = std::max(high, p.y());
        }
    }
    if (low > high) {
        low = 0;
        high = 1;
    }
    const double margin = high > low ? (high - low) * 0.05 : std::max(1.0, std::abs(high) * 0.05);
    values_->setRange(low - margin, high + margin);
    ports_->setVisible(ports);
}

void TrendChartView::showLines(const std::vector<TrendLine>& lines, const TrendPeriod& period) {
    period_ = period;
    dropSeriesNotIn(lines);
    for (const TrendLine& line : lines)
        seriesFor(line)->replace(line.points);
    time_->setFormat(timeFormat(period.length()));
    time_->setRange(QDateTime::fromSecsSinceEpoch(period.from),
                    QDateTime::fromSecsSinceEpoch(period.to));
    fitValueAxes(lines);
}

// Before the chart's first layout its plot has no width yet; the view's is near enough.
int TrendChartView::plotWidth() const {
    const int plot = static_cast<int>(chart()->plotArea().width());
    return std::max(1, plot > 1 ? plot : width());
}

void TrendChartView::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    emit resized();
}

int64_t TrendChartView::secondsAt(int x) const {
    const QRectF area = chart()->plotArea();
    const double left = chart()->mapToScene(area.topLeft()).x();
    const double share =
        area.width() > 0 ? (mapToScene(QPoint(x, 0)).x() - left) / area.width() : 0;
    return period_.from + static_cast<int64_t>(share * static_cast<double>(period_.length()));
}

void TrendChartView::placeCursor(int x) {
    const QRectF area = chart()->mapRectToScene(chart()->plotArea());
    const double sceneX = mapToScene(QPoint(x, 0)).x();
    cursor_->setVisible(sceneX >= area.left() && sceneX <= area.right());
    cursor_->setLine(sceneX, area.top(), sceneX, area.bottom());
}

void TrendChartView::wheelEvent(QWheelEvent* event) {
    const int notches = event->angleDelta().y() / 120;
    if (notches == 0) return;
    const qint64 anchor = secondsAt(static_cast<int>(event->position().x()));
    emit zoomRequested(std::pow(kZoomStep, notches), anchor);
    event->accept();
}

void TrendChartView::mousePressEvent(QMouseEvent* event) {
    dragging_ = event->button();
    pressedAt_ = event->pos();
    draggedTo_ = event->pos().x();
    if (dragging_ == Qt::RightButton) band_->setGeometry(QRect(pressedAt_, QSize()));
    band_->setVisible(dragging_ == Qt::RightButton);
    event->accept();
}

void TrendChartView::mouseMoveEvent(QMouseEvent* event) {
    const int x = event->pos().x();
    placeCursor(x);
    emit cursorMoved(secondsAt(x));
    if (dragging_ == Qt::LeftButton && x != draggedTo_) {
        // The period moves against the mouse: dragging right shows earlier times.
        emit panRequested(secondsAt(draggedTo_) - secondsAt(x));
        draggedTo_ = x;
    } else if (dragging_ == Qt::RightButton) {
        const QRectF area = chart()->plotArea();
        band_->setGeometry(QRect(QPoint(pressedAt_.x(), static_cast<int>(area.top())),
                                 QPoint(x, static_cast<int>(area.bottom())))
                               .normalized());
    }
}

void TrendChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (dragging_ == Qt::RightButton) {
        band_->hide();
        const int a = std::min(pressedAt_.x(), event->pos().x());
        const int b = std::max(pressedAt_.x(), event->pos().x());
        if (b - a >= kSmallestMark) emit periodMarked(secondsAt(a), secondsAt(b));
    }
    dragging_ = Qt::NoButton;
    event->accept();
}

void TrendChartView::keyPressEvent(QKeyEvent* event) {
    const qint64 step = std::max<int64_t>(1, period_.length() / kPanShare);
    const qint64 middle = period_.from + period_.length() / 2;
    switch (event->key()) {
    case Qt::Key_Left:
        emit panRequested(-step);
        break;
    case Qt::Key_Right:
        emit panRequested(step);
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        emit zoomRequested(kZoomStep, middle);
        break;
    case Qt::Key_Minus:
        emit zoomRequested(1.0 / kZoomStep, middle);
        break;
    case Qt::Key_Home:
        emit presentRequested();
        break;
    default:
        QChartView::keyPressEvent(event);
        return;
    }
    event->accept();
}

} // namespace iomira
