#include "ui/history/log_viewer_wiring.h"

#include "core/event_log.h"
#include "core/quorvis_data.h"
#include "monitor/shared_controllers.h"
#include "ui/history/log_viewer_window.h"
#include "ui/main/main_frame.h"
#include "ui/windows/controller_windows_wiring.h"

namespace iomira {

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
    frame->showLogViewer = [frame, prompts, names, window]() mutable {
        if (!window) {
            window = new CLogViewerWindow({logFolder(), *prompts, names}, frame);
            QObject::connect(window, &CLogViewerWindow::trendRequested, frame,
                             [frame](const QString& controller, const QDateTime& time) {
                                 if (frame->showTrend) frame->showTrend(controller, time);
                             });
        }
        window->show();
        window->raise();
        window->activateWindow();
    };
}

} // namespace iomira
