#pragma once

#include "app/trend_session.h"

#include <QChartView>

#include <map>

class QDateTimeAxis;
class QGraphicsLineItem;
class QLineSeries;
class QRubberBand;
class QValueAxis;

namespace iomira {

// The chart of a trend: a line per channel over a time axis, ports as steps on an axis of
// their own. It draws what it is given and turns the mouse and keys into requests: the wheel
// zooms around the mouse, dragging pans, dragging with the right button marks a period to
// zoom into, the arrow keys pan, + and - zoom, Home returns to the present.
class TrendChartView : public QChartView {
    Q_OBJECT
  public:
    explicit TrendChartView(QWidget* parent = nullptr);

    // Shows the lines over the period; a channel's series stays the same object while shown.
    void showLines(const std::vector<TrendLine>& lines, const TrendPeriod& period);
    int plotWidth() const;
    // The time under a horizontal position of the view, in seconds since the epoch.
    int64_t secondsAt(int x) const;
    QLineSeries* seriesOf(const TrendChannel& channel) const;
    QDateTimeAxis* timeAxis() const { return time_; }

  signals:
    void zoomRequested(double factor, qint64 anchor);
    void panRequested(qint64 seconds);
    void periodMarked(qint64 from, qint64 to);
    void presentRequested();
    void cursorMoved(qint64 seconds);
    void resized();

  protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QLineSeries* seriesFor(const TrendLine& line);
    void dropSeriesNotIn(const std::vector<TrendLine>& lines);
    void fitValueAxes(const std::vector<TrendLine>& lines);
    void placeCursor(int x);

    QDateTimeAxis* time_;
    QValueAxis* values_;
    QValueAxis* ports_;
    QGraphicsLineItem* cursor_;
    QRubberBand* band_;
    std::map<TrendChannel, QLineSeries*> series_;
    TrendPeriod period_;
    QPoint pressedAt_;
    int draggedTo_ = 0;
    Qt::MouseButton dragging_ = Qt::NoButton;
};

} // namespace iomira
