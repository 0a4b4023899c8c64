// Redrawing a trend of 8 channels holding a whole day at one sample a second: the time to thin
// the samples into lines and the time to draw the chart into a pixmap (goal: under 50 ms
// together), median and worst of several redraws, and the memory of one channel's ring.
#include "app/trend_session.h"
#include "core/controller_table.h"
#include "core/device_family.h"
#include "monitor/shared_controllers.h"
#include "monitor/trend_recorder.h"
#include "ui/trend/trend_chart_view.h"

#include <QApplication>
#include <QPixmap>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace iomira;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRedraws = 15;
constexpr int64_t kStart = 1'773'500'000;

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void print(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%-28s median %7.2f ms   worst %7.2f ms\n", what, times[times.size() / 2],
                times.back());
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int64_t now = kStart;
    ControllerTable table;
    SharedControllers controllers(table);
    TrendRecorder recorder([&now] { return now; });
    TrendSession session(controllers, recorder, {});
    std::vector<CQUORVISData*> tanks;
    for (int id = 1; id <= 2; ++id) {
        auto record = std::make_unique<CQUORVISData>(recordForModel("RLX-850"));
        record->DeviceId = id;
        record->DeviceComment = QStringLiteral("Tank %1").arg(id);
        tanks.push_back(record.get());
        table.insert(std::move(record));
        for (int ch = 0; ch < kAnalogChannels; ++ch)
            session.choose({id, TrendKind::Analog, ch});
    }
    const auto fillStart = Clock::now();
    for (int s = 0; s < 86400; ++s) {
        now = kStart + s;
        for (CQUORVISData* c : tanks)
            for (int ch = 0; ch < kAnalogChannels; ++ch)
                recorder.polledValue(*c, TrendKind::Analog, ch,
                                     2048 +
                                         static_cast<int>(1800 * std::sin(s / (600.0 + 97 * ch))));
    }
    std::printf("filled 8 channels x 86400 samples in %.1f ms\n", ms(Clock::now() - fillStart));
    session.setPeriod(lastPeriod(now, 86400));

    TrendChartView view;
    view.resize(1280, 720);
    view.show();
    app.processEvents();
    std::vector<double> thinning, drawing, total;
    size_t points = 0;
    for (int i = 0; i < kRedraws; ++i) {
        const auto a = Clock::now();
        const std::vector<TrendLine> lines = session.lines(view.plotWidth());
        const auto b = Clock::now();
        view.showLines(lines, session.period());
        const QPixmap shot = view.grab();
        const auto c = Clock::now();
        points = 0;
        for (const TrendLine& line : lines)
            points += static_cast<size_t>(line.points.size());
        if (shot.isNull()) return 1;
        // The first redraw also makes the series and lays the chart out.
        if (i == 0) {
            std::printf("first redraw, series made: %.2f ms\n", ms(c - a));
            continue;
        }
        thinning.push_back(ms(b - a));
        drawing.push_back(ms(c - b));
        total.push_back(ms(c - a));
    }
    std::printf("%d later redraws of %zu drawn points (plot %d px wide):\n", kRedraws - 1, points,
                view.plotWidth());
    print("decimate 8 x 86400", thinning);
    print("draw chart into pixmap", drawing);
    print("redraw in all (goal < 50)", total);
    std::printf("ring memory per channel: %zu bytes (%zu samples of %zu bytes)\n",
                kTrendRingCapacity * sizeof(TrendSample), kTrendRingCapacity, sizeof(TrendSample));
    return 0;
}
