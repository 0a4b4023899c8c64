// Saves a picture of the trend window of an RLX-850 whose four analog channels change, polled
// by the whole program from the simulator in real time: iomira_trend_shots FILE.png [en|ko]
// [SECONDS]. Every two seconds the simulator is given new raw values on smooth curves; after
// SECONDS (600 unless told) the window shows the last ten minutes and is saved. Run it under
// Xvfb (or any display) to see the trend as a user does.

#include "core/global_settings.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "monitor/shared_controllers.h"
#include "ui/main/main_frame.h"
#include "ui/trend/trend_window.h"
#include "windows_rig.h"

#include <QApplication>
#include <QPixmap>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

using namespace iomira;

namespace {

constexpr int kStepMs = 2000;

// Raw values 0..4095 on curves of different periods, one a channel.
int rawAt(int channel, double seconds) {
    const double period = 140.0 + 95.0 * channel;
    const double wave = std::sin(2 * M_PI * seconds / period + channel);
    return static_cast<int>(std::lround(2048 + 1400 * wave));
}

void name(CQUORVISData& c) {
    const char* names[] = {"Level", "Pressure", "Flow", "Valve"};
    const char* units[] = {"cm", "bar", "m3/h", "%"};
    const char* max[] = {"250", "10", "60", "100"};
    for (int ch = 0; ch < kAnalogChannels; ++ch) {
        c.AIName[ch] = QString::fromLatin1(names[ch]);
        c.AIUnit[ch] = QString::fromLatin1(units[ch]);
        c.AIMin[ch] = QStringLiteral("0");
        c.AIMax[ch] = QString::fromLatin1(max[ch]);
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE.png [en|ko] [SECONDS]\n", argv[0]);
        return 2;
    }
    const bool korean = argc > 2 && std::string(argv[2]) == "ko";
    const int seconds = argc > 3 ? std::max(10, std::atoi(argv[3])) : 600;
    test::WindowsRig rig({{"tank", "RLX-850", 0}}, {"Plant"});
    setGlobal(*rig.seed, LANGUAGE, korean ? 1 : 2); // the setting's values for the two
    if (!rig.start() || !rig.waitConnected("tank")) return 1;
    const int id = rig.deviceId("tank");
    rig.app->sharedControllers().edit(id, name);
    rig.app->mainFrame()->showTrend(id, {});
    auto* trend = rig.app->mainFrame()->findChild<CTrendWindow*>();
    if (!trend) return 1;
    trend->resize(1240, 680);
    const auto start = std::chrono::steady_clock::now();
    for (double t = 0; t < seconds; t += kStepMs / 1000.0) {
        for (int ch = 0; ch < kAnalogChannels; ++ch)
            rig.sim.command("analog tank " + std::to_string(ch) + " " +
                            std::to_string(rawAt(ch, t)));
        const auto due = start + std::chrono::milliseconds(static_cast<int64_t>((t + 2) * 1000));
        test::pumpUntil([&] { return std::chrono::steady_clock::now() >= due; }, kStepMs + 1000);
    }
    trend->showLast(600);
    test::pumpFor(1500);
    if (!trend->grab().save(QString::fromLocal8Bit(argv[1]), "PNG")) return 1;
    std::printf("saved %s after %d s of polling\n", argv[1], seconds);
    return 0;
}
