// Saves a picture of the event viewer over the log the program writes while it polls three
// controllers of a simulator, filtered to one of them: `iomira_log_viewer_shots FILE.png [ko]`.
// Run it under Xvfb to see the window as an operator does (not run by ctest).

#include "common/event_pump.h"
#include "core/global_settings.h"
#include "ui/history/log_table_model.h"
#include "ui/history/log_viewer_window.h"
#include "ui/main/main_frame.h"
#include "ui/windows/windows_rig.h"

#include <QApplication>
#include <QComboBox>

#include <cstdio>
#include <string>

using namespace iomira;

namespace {

// A few inputs switched, so that the log holds port changes besides the polls.
void switchInputs(test::WindowsRig& rig) {
    for (const char* command :
         {"input pumphouse 1 1", "input pumphouse 3 1", "input pumphouse 1 0"}) {
        rig.sim.command(command);
        test::pumpFor(700);
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE.png [ko]\n", argv[0]);
        return 2;
    }
    test::WindowsRig rig(
        {{"pumphouse", "TKA-35", 0}, {"boiler", "RLX-850", 0}, {"gate", "TKA-31", 0}}, {"Plant"});
    setGlobal(*rig.seed, LANGUAGE, argc > 2 && std::string(argv[2]) == "ko" ? 1 : 2);
    if (!rig.start() || !rig.waitConnected("pumphouse")) return 1;
    test::pumpFor(3000);
    switchInputs(rig);
    test::pumpFor(3000);
    rig.app->mainFrame()->showLogViewer();
    auto* window = rig.app->mainFrame()->findChild<CLogViewerWindow*>();
    QComboBox* controllers = window->controllerPicker();
    controllers->setCurrentIndex(controllers->findText("pumphouse"));
    test::pumpUntil(
        [&] { return !window->model()->state().busy && window->model()->rowCount() > 0; });
    test::pumpFor(500);
    const bool saved = window->grab().save(QString::fromLocal8Bit(argv[1]));
    std::printf("%s\n", argv[1]);
    return saved ? 0 : 1;
}
