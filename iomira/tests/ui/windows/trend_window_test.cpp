// The trend window in the running program against the simulator: the lines follow an
// RLX-850's changing analog value as it is polled, a moment asked for shows the hour around
// it, the mouse zooms and pans, the cursor reads the values, exports write the shown data,
// and the controller windows' menu opens the trend.

#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "core/texts.h"
#include "monitor/trend_scale.h"
#include "monitor/view_services.h"
#include "ui/main/main_frame.h"
#include "ui/trend/trend_chart_view.h"
#include "ui/trend/trend_chooser.h"
#include "ui/trend/trend_window.h"
#include "ui/windows/window_menu.h"
#include "windows_rig.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLineSeries>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <optional>
#include <set>

namespace iomira {
namespace {

class TrendWindows : public ::testing::Test {
  protected:
    TrendWindows() : rig({{"t850", "RLX-850", 0}}, {"Plant"}) {}

    void SetUp() override {
        setLanguage(LANG_ENGLISH);
        ASSERT_TRUE(rig.start());
        ASSERT_TRUE(rig.waitConnected("t850"));
        id = rig.deviceId("t850");
        ASSERT_TRUE(rig.app->mainFrame()->showTrend);
    }

    CTrendWindow* open(const QDateTime& at = {}) {
        rig.app->mainFrame()->showTrend(id, at);
        return rig.app->mainFrame()->findChild<CTrendWindow*>();
    }

    double shown(int raw) const {
        return trendScale(*rig.controller("t850"), TrendKind::Analog, 0).value(raw);
    }

    static std::optional<double> lastValue(QLineSeries* series) {
        if (!series || series->count() == 0) return std::nullopt;
        return series->at(series->count() - 1).y();
    }

    test::WindowsRig rig;
    int id = 0;
};

TEST_F(TrendWindows, TheLinesFollowThePolledAnalogValue) {
    CTrendWindow* trend = open();
    ASSERT_NE(trend, nullptr);
    EXPECT_TRUE(trend->isVisible());
    EXPECT_TRUE(trend->windowTitle().contains("t850"));
    QLineSeries* ai = trend->chart()->seriesOf({id, TrendKind::Analog, 0});
    ASSERT_NE(ai, nullptr);
    EXPECT_NE(trend->chooser()->itemOf({id, TrendKind::DigitalOutput, 3}), nullptr);
    EXPECT_EQ(trend->chooser()->itemOf({id, TrendKind::Analog, 2})->checkState(0), Qt::Checked);
    EXPECT_EQ(trend->chooser()->itemOf({id, TrendKind::DigitalInput, 0})->checkState(0),
              Qt::Unchecked);

    // A port checked in the chooser is recorded and drawn as steps from then on.
    trend->chooser()->itemOf({id, TrendKind::DigitalInput, 0})->setCheckState(0, Qt::Checked);
    QLineSeries* door = trend->chart()->seriesOf({id, TrendKind::DigitalInput, 0});
    ASSERT_NE(door, nullptr);
    rig.sim.command("input t850 0 1");
    EXPECT_TRUE(test::pumpUntil([&] { return lastValue(door) == 1.0; }, 6000));

    for (const int raw : {1000, 3000, 500}) {
        rig.sim.command("analog t850 0 " + std::to_string(raw));
        EXPECT_TRUE(test::pumpUntil([&] { return lastValue(ai) == shown(raw); }, 6000))
            << "raw " << raw << " last " << lastValue(ai).value_or(-1);
    }
    std::set<double> seen;
    for (int i = 0; i < ai->count(); ++i)
        seen.insert(ai->at(i).y());
    EXPECT_TRUE(seen.count(shown(1000)) && seen.count(shown(3000)) && seen.count(shown(500)));
    EXPECT_LE(ai->at(ai->count() - 1).x(),
              static_cast<double>(QDateTime::currentMSecsSinceEpoch()));
    EXPECT_TRUE(trend->session().period().live);

    // The cursor over the plot reads the newest value at the right edge.
    const QPoint right(trend->chart()->width() - 40, trend->chart()->height() / 2);
    QMouseEvent move(QEvent::MouseMove, right, trend->chart()->mapToGlobal(right), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(trend->chart()->viewport(), &move);
    const QString unit = rig.controller("t850")->AIUnit[0];
    EXPECT_TRUE(trend->cursorText().contains(QString::number(shown(500), 'f', 2) + unit))
        << trend->cursorText().toStdString();
}

TEST_F(TrendWindows, AMomentAskedForShowsTheHourAroundItAndTheMouseMovesThePeriod) {
    const QDateTime at = QDateTime::currentDateTime().addDays(-3);
    CTrendWindow* trend = open(at);
    ASSERT_NE(trend, nullptr);
    const int64_t t = at.toSecsSinceEpoch();
    EXPECT_EQ(trend->session().period(), (TrendPeriod{t - 1800, t + 1800, false}));

    TrendChartView* chart = trend->chart();
    const QPoint middle(chart->width() / 2, chart->height() / 2);
    QWheelEvent in(middle, chart->mapToGlobal(middle), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(chart->viewport(), &in);
    EXPECT_LT(trend->session().period().length(), 3600);
    const TrendPeriod zoomed = trend->session().period();
    QTest::keyClick(chart, Qt::Key_Right);
    EXPECT_GT(trend->session().period().from, zoomed.from);
    EXPECT_EQ(trend->session().period().length(), zoomed.length());
    QTest::keyClick(chart, Qt::Key_Home);
    EXPECT_TRUE(trend->session().period().live);
}

TEST_F(TrendWindows, ExportsWriteTheShownDataAndABadPlaceIsToldNotLost) {
    CTrendWindow* trend = open();
    ASSERT_NE(trend, nullptr);
    rig.sim.command("analog t850 1 2222");
    QLineSeries* ai = trend->chart()->seriesOf({id, TrendKind::Analog, 1});
    // The value set, not any earlier one, is drawn before the export.
    const TrendScale scale = trendScale(*rig.controller("t850"), TrendKind::Analog, 1);
    ASSERT_TRUE(test::pumpUntil([&] { return lastValue(ai) == scale.value(2222); }, 6000));

    const QString csvPath = rig.dir.filePath("trend.csv");
    trend->chooseSavePath = [&](const QString&, const QString& filter) {
        return filter.contains("csv") ? csvPath : rig.dir.filePath("trend.png");
    };
    for (QPushButton* b : trend->findChildren<QPushButton*>())
        if (b->text() == loadString(TEXT_TREND_EXPORT_CSV) ||
            b->text() == loadString(TEXT_TREND_EXPORT_PNG))
            b->click();
    QFile csv(csvPath);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QByteArray written = csv.readAll();
    EXPECT_TRUE(written.startsWith("Time,")) << written.left(80).toStdString();
    EXPECT_TRUE(written.contains(",2222") || written.contains(scale.text(2222).toUtf8()));
    const QImage png(rig.dir.filePath("trend.png"));
    EXPECT_EQ(png.size(), trend->chart()->size());

    const QString bad = rig.dir.filePath("missing/folder/trend.csv");
    EXPECT_FALSE(trend->exportCsv(bad));
    ASSERT_FALSE(rig.prompts.shown.isEmpty());
    EXPECT_TRUE(rig.prompts.shown.back().contains(bad)) << rig.prompts.shown.back().toStdString();
    EXPECT_TRUE(trend->isVisible()) << "the window and its data stay";
}

TEST_F(TrendWindows, TheControllerWindowsMenuOpensTheTrend) {
    int asked = 0;
    ViewServices services;
    services.showTrend = [&](int deviceId) { asked = deviceId; };
    QMenu menu;
    addControllerCommands(menu, *rig.controller("t850"), TCP_ESTABLISHED, services);
    QAction* trend = nullptr;
    for (QAction* action : menu.actions())
        if (action->text() == loadString(TEXT_TREND)) trend = action;
    ASSERT_NE(trend, nullptr);
    trend->trigger();
    EXPECT_TRUE(test::pumpUntil([&] { return asked == id; }));
}

} // namespace
} // namespace iomira
