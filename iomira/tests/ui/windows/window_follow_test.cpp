// A controller window and the tree follow each other in the running program: focus selects
// the item, and renames, sound settings and started connections show in the window at once.

#include "app/context_menu_rules.h"
#include "core/sound.h"
#include "corvel/corvel.h"
#include "monitor/port_state.h"
#include "ui/common/child_frame.h"
#include "ui/dialogs/sound_notification_dialog.h"
#include "ui/main/main_frame.h"
#include "ui/tree/device_list_pane.h"
#include "ui/tree/view_tree.h"
#include "ui/windows/controller_windows.h"
#include "ui/windows/digital_view.h"
#include "windows_rig.h"

#include <QApplication>
#include <QMdiArea>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidgetItem>

#include <gtest/gtest.h>

namespace iomira {
namespace {

class WindowFollow : public ::testing::Test {
  protected:
    WindowFollow() : rig({{"a1", "TKA-31", 0}, {"a2", "TKA-31", 0}, {"a3", "TKA-21", 0}}, {"A"}) {}

    void SetUp() override {
        ASSERT_TRUE(rig.start());
        rig.app->mainFrame()->setClosingConfirmed(true);
        windows = rig.app->mainFrame()->findChild<ControllerWindows*>();
        ASSERT_NE(windows, nullptr);
        pane = rig.app->mainFrame()->pane();
        ASSERT_TRUE(rig.waitConnected("a1"));
    }
    CChildFrame* frame(const std::string& device) const {
        return windows->findWindow(rig.deviceId(device));
    }
    CQuorvis2View* view(const std::string& device) const {
        CChildFrame* f = frame(device);
        return f ? qobject_cast<CQuorvis2View*>(f->widget()) : nullptr;
    }
    QString currentName() const {
        QTreeWidgetItem* item = pane->tree()->currentItem();
        return item ? item->text(0) : QString();
    }
    // The status line the window should show for the controller's connection right now.
    QString expectedStatus(const std::string& device) const {
        const CQUORVISData& c = *rig.controller(device);
        return statusLine(get_tcp_connection_state(c.DeviceId), c.AutomaticConnection,
                          get_tcp_error_code(c.DeviceId))
            .text;
    }
    void runOn(const std::string& device, int command) {
        pane->selectController(rig.deviceId(device));
        pane->runCommand(command);
    }

    test::WindowsRig rig;
    ControllerWindows* windows = nullptr;
    CDeviceListPane* pane = nullptr;
};

TEST_F(WindowFollow, AFocusedWindowSelectsItsControllerInTheTree) {
    QMdiArea* area = rig.app->mainFrame()->mdiArea();
    for (const std::string device : {"a2", "a3", "a1"}) {
        area->setActiveSubWindow(frame(device));
        EXPECT_EQ(currentName(), QString::fromStdString(device));
    }
}

TEST_F(WindowFollow, RenamingInTheTreeRetitlesTheWindow) {
    CChildFrame* renamed = frame("a2");
    ASSERT_NE(renamed, nullptr);
    pane->commitEdit(ITEM_CONTROLLER, rig.deviceId("a2"), 0, QStringLiteral("Boiler"));
    EXPECT_EQ(renamed->windowTitle(), "Boiler");
    EXPECT_EQ(frame("a1")->windowTitle(), "a1");
}

// The dialog runs modally from the tree's command; the sound set in it shows as the input's
// speaker mark as soon as the dialog has closed, before any poll redraws the window.
TEST_F(WindowFollow, ClosingTheSoundDialogShowsTheSpeakerMarks) {
    ASSERT_NE(view("a1"), nullptr);
    EXPECT_NE(view("a1")->inputImage(0).mark, LampMark::Speaker);
    bool assigned = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<CSoundDlg*>(QApplication::activeModalWidget());
        if (!dialog) return;
        dialog->chooseSound = [] { return std::optional<int32_t>(kBuiltInSoundId); };
        dialog->inputList()->topLevelItem(0)->setCheckState(0, Qt::Checked);
        dialog->findChild<QPushButton*>("SetOnButton")->click();
        assigned = rig.controller("a1")->OnDiSoundId[0] == kBuiltInSoundId;
        // Nothing may redraw the window between the change and the end of the dialog.
        EXPECT_NE(view("a1")->inputImage(0).mark, LampMark::Speaker);
        dialog->close();
    });
    runOn("a1", CMD_SOUND_NOTIFICATION);
    ASSERT_TRUE(assigned);
    EXPECT_EQ(view("a1")->inputImage(0).mark, LampMark::Speaker);
}

// The status line is taken the moment the tree has started a connection, before Corvel
// reports how it went.
TEST_F(WindowFollow, AStartedConnectionShowsInTheStatusLine) {
    ASSERT_TRUE(rig.waitConnected("a2"));
    QStringList shown;
    QStringList expected;
    QObject::connect(pane, &CDeviceListPane::controllerConnectionStarted, windows,
                     [&](int deviceId) {
                         if (deviceId != rig.deviceId("a2")) return;
                         shown << view("a2")->statusText();
                         expected << expectedStatus("a2");
                     });
    runOn("a2", CMD_DISCONNECT);
    ASSERT_EQ(get_tcp_connection_state(rig.deviceId("a2")), TCP_CLOSED);
    // The drop below must meet the new connection, not the old one the simulator still holds.
    ASSERT_TRUE(rig.waitSimulatorConnections("a2", 0));
    const QString closed = view("a2")->statusText();

    runOn("a2", CMD_CONNECT); // the Connect command
    ASSERT_TRUE(rig.waitConnected("a2"));
    rig.sim.command("drop a2"); // the reconnection timer's tick
    // A drop may arrive as a reset, an error, which is retried only after five seconds; the
    // bound leaves room for a machine busy with other work.
    ASSERT_TRUE(test::pumpUntil([&] { return shown.size() == 2; }, 20000));
    EXPECT_EQ(shown, expected);
    for (const QString& text : shown)
        EXPECT_NE(text, closed);
}

} // namespace
} // namespace iomira
