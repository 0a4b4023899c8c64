#pragma once

#include "app/trend_session.h"

#include <QDateTime>
#include <QTimer>
#include <QWidget>

#include <functional>

class QDateTimeEdit;
class QLabel;
class QPushButton;

namespace iomira {

class SharedControllers;
class TrendChartView;
class TrendChooser;
class UserPrompts;

// The trend window: the channel chooser, the period (the last 10 minutes, hour or day, or a
// chosen stretch from the log files), the chart with its cursor reading, and export as CSV
// or PNG. A live period follows the present every second.
class CTrendWindow : public QWidget {
    Q_OBJECT
  public:
    CTrendWindow(SharedControllers& controllers, TrendRecorder& recorder,
                 TrendSession::HistoryReader history, UserPrompts& prompts,
                 QWidget* parent = nullptr);

    // Trends the controller's first channels (see firstTrendChannelsOf), around `at` when it is
    // valid (half an hour either side), else over the period shown; and brings the window forward.
    void showController(int deviceId, const QDateTime& at = {});
    // Shows the last `seconds` up to the present, following it.
    void showLast(int64_t seconds);
    void showPeriod(int64_t from, int64_t to);
    void redraw();
    bool exportCsv(const QString& path);
    bool exportPng(const QString& path);

    TrendSession& session() { return session_; }
    TrendChartView* chart() const { return chart_; }
    TrendChooser* chooser() const { return chooser_; }
    QString cursorText() const;
    QString noticeText() const;

    // Asks where to save; replaceable for tests. Empty when the operator cancelled.
    std::function<QString(const QString& title, const QString& filter)> chooseSavePath;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* buildBar();
    void connectChart();
    bool chooseChannel(const TrendChannel& channel);
    // Tells the operator the recorder takes no more channels; false.
    bool refused();
    void refillChooser();
    void readCursor(qint64 seconds);
    void applyChosenPeriod();
    void saveAs(int titleId, int filterId, bool (CTrendWindow::*save)(const QString&));
    bool writeFailed(const QString& path, const QString& reason);
    void updateTitle();

    SharedControllers& controllers_;
    UserPrompts& prompts_;
    TrendSession session_;
    TrendChooser* chooser_;
    TrendChartView* chart_;
    QDateTimeEdit* from_;
    QDateTimeEdit* to_;
    QLabel* cursor_;
    QLabel* notice_;
    QTimer follow_;
};

} // namespace iomira
