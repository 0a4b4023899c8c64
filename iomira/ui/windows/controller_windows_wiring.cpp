#include "ui/windows/controller_windows_wiring.h"

#include "ui/common/child_frame.h"
#include "app/context_menu_rules.h"
#include "core/controller_keys.h"
#include "ui/windows/controller_windows.h"
#include "corvel/corvel.h"
#include "ui/tree/device_list_pane.h"
#include "ui/windows/digital_view.h"
#include "core/global_settings.h"
#include "ui/main/main_frame.h"
#include "ui/dialogs/manage_log_dialog.h"
#include "ui/windows/notification_window.h"
#include "monitor/shared_controllers.h"
#include "ui/dialogs/warning_settings_dialog.h"

#include <QMdiArea>

namespace iomira {

namespace {

bool commandEnabled(SharedControllers& controllers, int deviceId, int command) {
    TreeSelection selection;
    selection.controller = controllers.table().find(deviceId);
    if (!selection.controller) return false;
    for (const MenuEntry& entry :
         contextMenuEntries(selection, get_tcp_connection_state(deviceId))) {
        if (entry.command == command) return entry.enabled;
    }
    return false;
}

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
    services.treeCommandEnabled = [controllers](int deviceId, int command) {
        return commandEnabled(*controllers, deviceId, command);
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
            *controllers, frame->pane()->groups(), *prompts, save, [windows](int deviceId) {
                CChildFrame* child = windows->findWindow(deviceId);
                if (auto* view = child ? qobject_cast<CQuorvis2View*>(child->widget()) : nullptr)
                    view->redraw();
            }};
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

} // namespace

WiredWindows wireControllerWindows(const WindowsWiring& w) {
    CDeviceListPane* pane = w.frame.pane();
    auto* windows = new ControllerWindows(*w.frame.mdiArea(), w.store, w.prompts, &w.frame);
    windows->setControllers(w.controllers, viewServices(w, pane));
    pane->showGroupWindows = [windows](int rootId) { windows->showGroup(rootId); };
    pane->activateItemWindow = [windows](QTreeWidgetItem* item) {
        windows->activateItemController(item);
    };

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
    openDialogs(w, windows);
    return {windows, notifications};
}

} // namespace iomira
