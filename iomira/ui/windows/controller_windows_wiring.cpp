#include "ui/windows/controller_windows_wiring.h"

#include "app/context_menu_rules.h"
#include "app/controller_directory.h"
#include "app/controller_monitoring.h"
#include "core/controller_keys.h"
#include "core/event_log.h"
#include "core/global_settings.h"
#include "core/trend_history.h"
#include "corvel/corvel.h"
#include "monitor/shared_controllers.h"
#include "ui/common/child_frame.h"
#include "ui/dialogs/manage_log_dialog.h"
#include "ui/dialogs/mirror_set_dialog.h"
#include "ui/dialogs/warning_settings_dialog.h"
#include "ui/history/log_viewer_wiring.h"
#include "ui/main/main_frame.h"
#include "ui/tree/device_list_pane.h"
#include "ui/trend/trend_window.h"
#include "ui/windows/controller_windows.h"
#include "ui/windows/digital_view.h"
#include "ui/windows/notification_window.h"
#include "ui/windows/output_mirror_window.h"
#include "ui/windows/registration_wiring.h"

#include <QMdiArea>

namespace iomira {

namespace {

ViewServices viewServices(const WindowsWiring& w, CDeviceListPane* pane) {
    ViewServices services;
    services.prompts = &w.prompts;
    services.log = &w.log;
    Store* store = &w.store;
    SharedControllers* controllers = &w.controllers;
    services.editRecord = [store, controllers](CQUORVISData& c,
                                               const std::function<void(CQUORVISData&)>& change) {
        controllers->edit(c.DeviceId, change);
        saveController(*store, c);
    };
    services.treeCommand = [pane](int deviceId, int command) {
        pane->selectController(deviceId);
        pane->runCommand(command);
    };
    CMainFrame* frame = &w.frame;
    services.showTrend = [frame](int deviceId) {
        if (frame->showTrend) frame->showTrend(deviceId, {});
    };
    return services;
}

void openDialogs(const WindowsWiring& w, ControllerWindows* windows) {
    CMainFrame* frame = &w.frame;
    Store* store = &w.store;
    UserPrompts* prompts = &w.prompts;
    SharedControllers* controllers = &w.controllers;
    const auto save = [store](const CQUORVISData& c) { saveController(*store, c); };
    frame->showWarningMessages = [=] {
        CWarningMSGDlg::Context context{
            *controllers, frame->pane()->groups(), *prompts, save,
            [windows](int deviceId) { windows->refreshWindow(deviceId); }};
        CWarningMSGDlg(context, frame).exec();
    };
    auto setSwitch = w.setLogSwitch;
    frame->showManageLog = [=] {
        CManageLogDlg::Context context{
            *controllers,
            frame->pane()->groups(),
            *prompts,
            save,
            [store](const GlobalValue& v) { return getGlobal(*store, v); },
            setSwitch};
        CManageLogDlg(context, frame).exec();
    };
}

void wireOutputMirror(const WindowsWiring& w, ViewServices services) {
    CMainFrame* frame = &w.frame;
    UserPrompts* prompts = &w.prompts;
    // Made on first use; the main frame owns it from then on.
    COutputMirrorWindow* window = nullptr;
    frame->showOutputMirror = [frame, prompts, services, window]() mutable {
        if (!window) {
            ControllerDirectory& directory = frame->pane()->directory();
            window = new COutputMirrorWindow(directory, services, frame);
            window->editSet = [&directory, prompts, window](const QString& set) {
                CMirrorSetDialog dialog(directory, window->mirror(), *prompts, set, window);
                dialog.exec();
                return dialog.savedName();
            };
            frame->setOutputMirror(window);
        }
        window->show();
        window->raise();
        window->activateWindow();
    };
}

// One trend window for the program, made on first use and owned by the main frame.
void wireTrend(const WindowsWiring& w) {
    CMainFrame* frame = &w.frame;
    SharedControllers* controllers = &w.controllers;
    UserPrompts* prompts = &w.prompts;
    TrendRecorder* recorder = &frame->pane()->directory().monitoring().trends();
    CTrendWindow* window = nullptr;
    frame->showTrend = [=](int deviceId, const QDateTime& at) mutable {
        if (!window) {
            const auto history = [](const CQUORVISData& c, int64_t from, int64_t to) {
                return readTrendHistory(logFolder(), c.DeviceComment, c.DeviceId, from, to);
            };
            window = new CTrendWindow(*controllers, *recorder, history, *prompts, frame);
        }
        window->showController(deviceId, at);
    };
}

} // namespace

WiredWindows wireControllerWindows(const WindowsWiring& w) {
    CDeviceListPane* pane = w.frame.pane();
    auto* windows = new ControllerWindows(*w.frame.mdiArea(), w.store, w.prompts, &w.frame);
    windows->setControllers(w.controllers, viewServices(w, pane));
    pane->showGroupWindows = [windows](int rootId) { windows->showGroup(rootId); };
    pane->activateItemWindow = [windows](QTreeWidgetItem* item) {
        windows->activateItemController(item);
    };
    // A focused window selects its controller in the tree; the window follows every change
    // the tree makes to its controller and every connection the tree starts for it.
    QObject::connect(windows, &ControllerWindows::windowActivated, pane,
                     &CDeviceListPane::selectController);
    QObject::connect(pane, &CDeviceListPane::controllerChanged, windows,
                     &ControllerWindows::refreshWindow);
    QObject::connect(pane, &CDeviceListPane::controllerConnectionStarted, windows,
                     &ControllerWindows::refreshWindow);
    // A controller that stops answering, or answers again, changes its status line and lamps.
    QObject::connect(&pane->directory().monitoring(),
                     &ControllerMonitoring::controllerResponseChanged, windows,
                     &ControllerWindows::refreshWindow);

    auto* notifications = new CDlgMSG(w.store, w.prompts, pane);
    notifications->inputNotification = w.inputNotification;
    notifications->showController = [pane, windows](int deviceId) {
        pane->selectController(deviceId);
        windows->activateController(deviceId);
    };
    pane->dispatch().postInputNotification = [notifications](const CQUORVISData& c, int input,
                                                             int value) {
        notifications->PostInputNotification(c, input, value);
    };
    pane->links()->post = [notifications](const QString& text, int deviceId) {
        notifications->AddNotification(text, deviceId);
    };
    openDialogs(w, windows);
    wireRegistration(w, windows);
    wireOutputMirror(w, viewServices(w, pane));
    wireTrend(w);
    wireLogViewer(w);
    return {windows, notifications};
}

} // namespace iomira
