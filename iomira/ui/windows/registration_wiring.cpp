#include "ui/windows/registration_wiring.h"

#include "app/controller_directory.h"
#include "app/controller_management.h"
#include "core/global_settings.h"
#include "core/root_data.h"
#include "monitor/shared_controllers.h"
#include "ui/dialogs/add_controller_dialog.h"
#include "ui/dialogs/connection_test_dialog.h"
#include "ui/dialogs/management_dialog.h"
#include "ui/dialogs/modify_controller_dialog.h"
#include "ui/main/main_frame.h"
#include "ui/tree/device_list_pane.h"
#include "ui/windows/controller_windows.h"
#include "ui/windows/controller_windows_wiring.h"

namespace iomira {

namespace {

// The shown group, or the first group when none is shown.
int targetGroup(CDeviceListPane& pane) {
    if (pane.groupShown()) return pane.shownGroupId();
    const CROOTData* first = pane.groups().GroupAt(0);
    return first ? first->RootID : -1;
}

void addControllers(const WindowsWiring& w) {
    CDeviceListPane& pane = *w.frame.pane();
    ControllerDirectory& directory = pane.directory();
    const auto language = static_cast<uint16_t>(getGlobal(w.store, LANGUAGE));
    CAddIODevices dialog(w.prompts, directory.groups(), w.controllers.table(), targetGroup(pane),
                         language, &w.frame);
    dialog.connectionTest = [](QWidget* parent, const std::vector<CQUORVISData>& records) {
        runConnectionTest(parent, records);
    };
    if (dialog.exec() != QDialog::Accepted) return;
    const int last = directory.addNewControllers(dialog.accepted());
    pane.showGroup(dialog.targetGroup());
    if (last >= 0) pane.selectController(last);
}

void modifyController(const WindowsWiring& w, int deviceId) {
    ControllerDirectory& directory = w.frame.pane()->directory();
    const CQUORVISData* c = directory.find(deviceId);
    if (!c) return;
    CModifyDevices1Dlg dialog(w.prompts, directory.groups(), *c, &w.frame);
    if (dialog.exec() != QDialog::Accepted) return;
    directory.modifyController(deviceId, dialog.edited(), dialog.portsChanged());
}

void manageControllers(const WindowsWiring& w) {
    CDeviceListPane* pane = w.frame.pane();
    ControllerManagement management(pane->directory());
    CManagementDlg dialog(management, &w.frame);
    dialog.showGroup = [pane](int rootId) { pane->showGroup(rootId); };
    dialog.exec();
}

} // namespace

void wireRegistration(const WindowsWiring& wiring, ControllerWindows* windows) {
    CDeviceListPane* pane = wiring.frame.pane();
    // The commands keep a copy: the wiring itself lives only while the program starts.
    auto add = [w = wiring] { addControllers(w); };
    auto modify = [w = wiring](int deviceId) { modifyController(w, deviceId); };
    pane->addControllerCommand = add;
    pane->modifyControllerCommand = modify;
    wiring.frame.addControllers = add;
    wiring.frame.manageControllers = [w = wiring] { manageControllers(w); };
    QObject::connect(&pane->directory(), &ControllerDirectory::controllerPortsChanged, windows,
                     &ControllerWindows::reopenWindow);
}

} // namespace iomira
