#include "ui/history/log_viewer_wiring.h"

#include "core/event_log.h"
#include "core/quorvis_data.h"
#include "monitor/shared_controllers.h"
#include "ui/history/log_viewer_window.h"
#include "ui/main/main_frame.h"
#include "ui/windows/controller_windows_wiring.h"

namespace iomira {

namespace {

// The first of the program's controllers with that name; -1 when none has it.
int controllerNamed(const ControllerTable& table, const QString& name) {
    int found = -1;
    table.forEach([&](const CQUORVISData& c) {
        if (found < 0 && c.DeviceComment == name) found = c.DeviceId;
    });
    return found;
}

// A row's "Trend" opens the trend window on the controller of that name.
void connectTrend(CLogViewerWindow* window, CMainFrame* frame, const ControllerTable* table) {
    QObject::connect(window, &CLogViewerWindow::trendRequested, frame,
                     [frame, table](const QString& controller, const QDateTime& time) {
                         const int deviceId = controllerNamed(*table, controller);
                         if (deviceId >= 0) frame->showTrend(deviceId, time);
                     });
}

} // namespace

void wireLogViewer(const WindowsWiring& w) {
    CMainFrame* frame = &w.frame;
    UserPrompts* prompts = &w.prompts;
    const ControllerTable* table = &w.controllers.table();
    const auto names = [table] {
        QStringList list;
        table->forEach([&list](const CQUORVISData& c) { list << c.DeviceComment; });
        return list;
    };
    CLogViewerWindow* window = nullptr;
    frame->showLogViewer = [frame, prompts, table, names, window]() mutable {
        if (!window) {
            window = new CLogViewerWindow({logFolder(), *prompts, names}, frame);
            if (frame->showTrend) connectTrend(window, frame, table);
        }
        window->show();
        window->raise();
        window->activateWindow();
    };
}

} // namespace iomira
