// The multiple-port control in the running program: opened from the Group menu, its set list
// from the records, ON through the window, the configuration dialog's checks and its save.

#include "core/quorvis_data.h"
#include "monitor/shared_controllers.h"
#include "ui/dialogs/mirror_set_dialog.h"
#include "ui/main/main_frame.h"
#include "ui/tree/device_list_pane.h"
#include "ui/windows/output_mirror_window.h"
#include "windows_rig.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace iomira {
namespace {

constexpr long kWriteCoil = 5;

class MirrorWindow : public ::testing::Test {
  protected:
    MirrorWindow() : rig({{"io", "TKA-31", 0}, {"press", "RLX-850", 0}}, {"Plant"}) {}
    void SetUp() override {
        ASSERT_TRUE(rig.start());
        ASSERT_TRUE(rig.waitConnected("io"));
        ASSERT_TRUE(rig.waitConnected("press"));
        rig.app->sharedControllers().edit(rig.deviceId("io"), [](CQUORVISData& c) {
            c.UseMControlDo[1] = "Lights";
            c.UseMControlDo[2] = "Lights;Night";
        });
        rig.app->sharedControllers().edit(rig.deviceId("press"),
                                          [](CQUORVISData& c) { c.UseMControlDo[0] = "Lights"; });
        rig.app->mainFrame()->showOutputMirror();
        window = rig.app->mainFrame()->findChild<COutputMirrorWindow*>();
        ASSERT_NE(window, nullptr);
    }

    test::WindowsRig rig;
    COutputMirrorWindow* window = nullptr;
};

TEST_F(MirrorWindow, OnSwitchesEveryMemberOfTheSelectedSet) {
    ASSERT_TRUE(window->isVisible());
    ASSERT_EQ(window->setList()->count(), 2);
    EXPECT_EQ(window->setList()->currentItem()->text(), "Lights");
    ASSERT_EQ(window->memberList()->topLevelItemCount(), 3);
    EXPECT_EQ(window->memberList()->topLevelItem(0)->text(1), "Plant");

    // The window's coil writes carry its own tag, "2"; the controllers' start-up sends other
    // coil writes meanwhile.
    const auto windowWrites = [&] {
        int count = 0;
        for (const std::string& line : rig.sim.log_lines())
            if (simtest::json_number(line, "function") == kWriteCoil &&
                (simtest::json_number(line, "transaction") >> 8) == OutputMirror::kCoilTag)
                ++count;
        return count;
    };
    window->findChild<QPushButton*>("On")->click();
    EXPECT_TRUE(test::pumpUntil([&] { return windowWrites() == 3; })) << windowWrites();
    EXPECT_TRUE(test::pumpUntil([&] { return window->logList()->topLevelItemCount() >= 3; }));
    EXPECT_TRUE(window->logList()->topLevelItem(0)->text(1).startsWith("I/O Controller - "));
}

TEST_F(MirrorWindow, TheDialogRefusesASeparatorAndSavesANewSet) {
    QString savedName;
    window->editSet = [&](const QString& set) {
        CMirrorSetDialog dialog(rig.app->mainFrame()->pane()->directory(), window->mirror(),
                                rig.prompts, set, window);
        dialog.description()->setText("Day;Night");
        dialog.controllerList()->selectAll();
        dialog.outputBox(0)->setChecked(true);
        dialog.addChecked();
        EXPECT_EQ(dialog.selection()->topLevelItemCount(), 2);
        EXPECT_FALSE(dialog.save());
        EXPECT_EQ(rig.prompts.shown.back(), "A set name cannot contain \";\".");
        dialog.description()->setText("Morning");
        EXPECT_TRUE(dialog.save());
        EXPECT_EQ(rig.prompts.shown.back(), "Saving has successfully finised.");
        return dialog.savedName();
    };
    window->findChild<QPushButton*>("Add")->click();
    EXPECT_EQ(window->setList()->currentItem()->text(), "Morning");
    EXPECT_EQ(window->memberList()->topLevelItemCount(), 2);
    EXPECT_EQ(rig.stored("io").UseMControlDo[0], "Morning");
    EXPECT_EQ(rig.stored("press").UseMControlDo[0], "Lights;Morning");
}

} // namespace
} // namespace iomira
