#include "ui/trend/trend_window.h"

#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "core/trend_channels.h"
#include "core/user_prompts.h"
#include "monitor/shared_controllers.h"
#include "monitor/trend_recorder.h"
#include "ui/trend/trend_chart_view.h"
#include "ui/trend/trend_chooser.h"

#include <QDateTimeEdit>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QSplitter>
#include <QVBoxLayout>

namespace iomira {

namespace {

constexpr int64_t kAroundSeconds = 1800; // either side of a moment asked for
const QString kEditFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

QPushButton* button(QWidget* parent, int textId, QLayout* layout) {
    auto* b = new QPushButton(loadString(textId), parent);
    b->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(b);
    return b;
}

QDateTimeEdit* timeEdit(QWidget* parent) {
    auto* edit = new QDateTimeEdit(parent);
    edit->setDisplayFormat(kEditFormat);
    edit->setCalendarPopup(true);
    return edit;
}

} // namespace

CTrendWindow::CTrendWindow(SharedControllers& controllers, TrendRecorder& recorder,
                           TrendSession::HistoryReader history, UserPrompts& prompts,
                           QWidget* parent)
    : QWidget(parent, Qt::Window), controllers_(controllers), prompts_(prompts),
      session_(controllers, recorder, std::move(history)), chooser_(new TrendChooser(this)),
      chart_(new TrendChartView(this)), from_(timeEdit(this)), to_(timeEdit(this)),
      cursor_(new QLabel(this)), notice_(new QLabel(this)) {
    chooser_->choose = [this](const TrendChannel& ch) { return chooseChannel(ch); };
    chooser_->drop = [this](const TrendChannel& ch) {
        session_.drop(ch);
        redraw();
    };
    chooseSavePath = [this](const QString& title, const QString& filter) {
        return QFileDialog::getSaveFileName(this, title, QString(), filter, nullptr,
                                            QFileDialog::DontUseNativeDialog);
    };
    auto* splitter = new QSplitter(this);
    splitter->addWidget(chooser_);
    splitter->addWidget(chart_);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildBar());
    layout->addWidget(splitter, 1);
    layout->addWidget(cursor_);
    layout->addWidget(notice_);
    connectChart();
    follow_.setInterval(1000);
    connect(&follow_, &QTimer::timeout, this, [this] {
        if (!session_.period().live) return;
        session_.follow();
        redraw();
    });
    follow_.start();
    resize(1000, 600);
    updateTitle();
}

QWidget* CTrendWindow::buildBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    connect(button(bar, TEXT_TREND_LAST_10_MINUTES, row), &QPushButton::clicked, this,
            [this] { showLast(600); });
    connect(button(bar, TEXT_TREND_LAST_HOUR, row), &QPushButton::clicked, this,
            [this] { showLast(3600); });
    connect(button(bar, TEXT_TREND_LAST_DAY, row), &QPushButton::clicked, this,
            [this] { showLast(86400); });
    row->addSpacing(12);
    row->addWidget(new QLabel(loadString(TEXT_TREND_FROM), bar));
    row->addWidget(from_);
    row->addWidget(new QLabel(loadString(TEXT_TREND_TO), bar));
    row->addWidget(to_);
    connect(button(bar, TEXT_TREND_SHOW_PERIOD, row), &QPushButton::clicked, this,
            &CTrendWindow::applyChosenPeriod);
    row->addStretch(1);
    connect(button(bar, TEXT_TREND_EXPORT_CSV, row), &QPushButton::clicked, this, [this] {
        saveAs(TEXT_TREND_EXPORT_CSV, TEXT_TREND_CSV_FILES, &CTrendWindow::exportCsv);
    });
    connect(button(bar, TEXT_TREND_EXPORT_PNG, row), &QPushButton::clicked, this, [this] {
        saveAs(TEXT_TREND_EXPORT_PNG, TEXT_TREND_PNG_FILES, &CTrendWindow::exportPng);
    });
    return bar;
}

void CTrendWindow::connectChart() {
    connect(chart_, &TrendChartView::zoomRequested, this, [this](double factor, qint64 anchor) {
        session_.setPeriod(zoomed(session_.period(), factor, anchor));
        redraw();
    });
    connect(chart_, &TrendChartView::panRequested, this, [this](qint64 seconds) {
        session_.setPeriod(panned(session_.period(), seconds));
        redraw();
    });
    connect(chart_, &TrendChartView::periodMarked, this,
            [this](qint64 from, qint64 to) { showPeriod(from, to); });
    connect(chart_, &TrendChartView::presentRequested, this,
            [this] { showLast(session_.period().length()); });
    connect(chart_, &TrendChartView::cursorMoved, this, &CTrendWindow::readCursor);
    // The lines are thinned for the plot's width, so a wider plot draws them anew.
    connect(chart_, &TrendChartView::resized, this, &CTrendWindow::redraw, Qt::QueuedConnection);
}

bool CTrendWindow::chooseChannel(const TrendChannel& channel) {
    if (!session_.choose(channel)) return refused();
    redraw();
    return true;
}

bool CTrendWindow::refused() {
    prompts_.warning(loadString(TEXT_TREND_CHANNEL_LIMIT).arg(kTrendMaxChannels));
    return false;
}

void CTrendWindow::refillChooser() {
    chooser_->fill(controllers_.table(),
                   [this](const TrendChannel& ch) { return session_.chosen(ch); });
}

void CTrendWindow::showController(int deviceId, const QDateTime& at) {
    const CQUORVISData* c = controllers_.table().find(deviceId);
    if (!c) return;
    for (const TrendChannel& channel : firstTrendChannelsOf(*c)) {
        if (!session_.choose(channel)) {
            refused();
            break;
        }
    }
    if (at.isValid()) {
        const int64_t t = at.toSecsSinceEpoch();
        session_.setPeriod(chosenPeriod(t - kAroundSeconds, t + kAroundSeconds));
    }
    refillChooser();
    show();
    raise();
    activateWindow();
    redraw();
}

void CTrendWindow::showLast(int64_t seconds) {
    session_.setPeriod(lastPeriod(session_.now(), seconds));
    redraw();
}

void CTrendWindow::showPeriod(int64_t from, int64_t to) {
    session_.setPeriod(chosenPeriod(from, to));
    redraw();
}

void CTrendWindow::applyChosenPeriod() {
    const int64_t from = from_->dateTime().toSecsSinceEpoch();
    const int64_t to = to_->dateTime().toSecsSinceEpoch();
    if (to <= from) {
        prompts_.error(loadString(TEXT_TREND_PERIOD_INVALID));
        return;
    }
    showPeriod(from, to);
}

void CTrendWindow::redraw() {
    const TrendPeriod& period = session_.period();
    chart_->showLines(session_.lines(chart_->plotWidth()), period);
    from_->setDateTime(QDateTime::fromSecsSinceEpoch(period.from));
    to_->setDateTime(QDateTime::fromSecsSinceEpoch(period.to));
    const int skipped = session_.skippedLines();
    notice_->setText(skipped > 0 ? loadString(TEXT_TREND_SKIPPED_LINES).arg(skipped) : QString());
    notice_->setVisible(skipped > 0);
    if (session_.channels().empty()) cursor_->setText(loadString(TEXT_TREND_NO_CHANNELS));
    updateTitle();
}

void CTrendWindow::readCursor(qint64 seconds) {
    if (session_.channels().empty()) return;
    QString text = QDateTime::fromSecsSinceEpoch(seconds).toString(kEditFormat);
    for (const TrendReading& reading : session_.readings(seconds))
        text +=
            QStringLiteral("    ") + loadString(TEXT_TREND_CURSOR).arg(reading.name, reading.value);
    cursor_->setText(text);
}

QString CTrendWindow::cursorText() const {
    return cursor_->text();
}

QString CTrendWindow::noticeText() const {
    return notice_->text();
}

void CTrendWindow::updateTitle() {
    QStringList names;
    for (const TrendChannel& channel : session_.channels()) {
        const CQUORVISData* c = controllers_.table().find(channel.deviceId);
        if (c && !names.contains(c->DeviceComment)) names << c->DeviceComment;
    }
    setWindowTitle(names.isEmpty()
                       ? loadString(TEXT_TREND)
                       : loadString(TEXT_TREND_TITLE).arg(names.join(QStringLiteral(", "))));
}

void CTrendWindow::saveAs(int titleId, int filterId, bool (CTrendWindow::*save)(const QString&)) {
    const QString path =
        chooseSavePath ? chooseSavePath(loadString(titleId), loadString(filterId)) : QString();
    if (!path.isEmpty()) (this->*save)(path);
}

bool CTrendWindow::writeFailed(const QString& path, const QString& reason) {
    prompts_.error(loadString(TEXT_TREND_SAVE_FAILED).arg(path, reason));
    return false;
}

bool CTrendWindow::exportCsv(const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return writeFailed(path, file.errorString());
    file.write(session_.csv());
    if (!file.commit()) return writeFailed(path, file.errorString());
    return true;
}

bool CTrendWindow::exportPng(const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return writeFailed(path, file.errorString());
    if (!chart_->grab().save(&file, "PNG") || !file.commit())
        return writeFailed(path, file.errorString());
    return true;
}

void CTrendWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refillChooser();
    redraw();
}

} // namespace iomira
