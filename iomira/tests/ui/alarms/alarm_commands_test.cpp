// The program's commands open the sound and schedule dialogs on the application's tables.

#include "app/context_menu_rules.h"
#include "core/controller_keys.h"
#include "core/group_store.h"
#include "core/string_table.h"
#include "notify/notify_test_support.h"
#include "ui/dialogs/schedule_list_dialog.h"
#include "ui/dialogs/sound_file_setting_dialog.h"
#include "ui/dialogs/sound_notification_dialog.h"
#include "ui/main/main_frame.h"
#include "ui/main/quorvis2_app.h"
#include "ui/tree/device_list_pane.h"
#include "ui/tree/view_tree.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace iomira {
namespace {

constexpr int kPump = 5;

class AlarmCommands : public ::testing::Test {
  protected:
    AlarmCommands() {
        qputenv("IOMIRA_STORE", dir.filePath("store.sqlite").toUtf8());
        qputenv("IOMIRA_DOCUMENTS", dir.filePath("documents").toUtf8());
        StoreOpenError error;
        auto seed = SqliteStore::open(dir.filePath("store.sqlite"), &error);
        setGlobal(*seed, LANGUAGE, 2);
        saveGroup(*seed, CROOTData(0, "Plant", 0));
        CQUORVISData pump;
        pump.DeviceId = kPump;
        pump.DeviceComment = "Pump";
        pump.NumberOfPortInput = 8;
        pump.NumberOfPortOutput = 8;
        pump.AutomaticConnection = 0; // nothing goes on the network
        pump.setHostAddr("127.0.0.1");
        pump.HostPort = 502;
        saveController(*seed, pump);
        app.setPrompts(&prompts);
        EXPECT_TRUE(app.InitInstance());
        app.mainFrame()->setClosingConfirmed(true);
    }
    ~AlarmCommands() override {
        qunsetenv("IOMIRA_STORE");
        qunsetenv("IOMIRA_DOCUMENTS");
    }

    // Runs `command`, which opens a modal dialog; `inspect` sees the dialog, which is then closed.
    bool openedDialog(const std::function<void()>& command,
                      const std::function<void(QWidget*)>& inspect) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) return;
            seen = true;
            inspect(modal);
            modal->close();
        });
        command();
        return seen;
    }

    QTemporaryDir dir;
    test::ScriptedPrompts prompts;
    CQuorvis2App app;
};

TEST_F(AlarmCommands, TheTreesSoundItemsOpenTheSelectedControllersDialogAndTheLibrary) {
    CDeviceListPane* pane = app.mainFrame()->pane();
    pane->tree()->setCurrentItem(pane->findControllerItem(kPump));
    int soundItems = 0;
    for (const MenuEntry& e : pane->contextEntries()) {
        if (e.command != CMD_SOUND_NOTIFICATION && e.command != CMD_SOUND_FILE) continue;
        EXPECT_TRUE(e.enabled);
        ++soundItems;
    }
    EXPECT_EQ(soundItems, 2);

    EXPECT_TRUE(openedDialog([&] { pane->runCommand(CMD_SOUND_NOTIFICATION); },
                             [](QWidget* w) {
                                 auto* dlg = qobject_cast<CSoundDlg*>(w);
                                 ASSERT_NE(dlg, nullptr);
                                 EXPECT_EQ(dlg->windowTitle(), "Sound Notification");
                                 EXPECT_EQ(dlg->findChild<QLabel*>("ControllerName")->text(),
                                           "Pump");
                                 EXPECT_EQ(dlg->inputList()->topLevelItemCount(), 8);
                             }));
    EXPECT_TRUE(openedDialog([&] { pane->runCommand(CMD_SOUND_FILE); },
                             [](QWidget* w) {
                                 auto* dlg = qobject_cast<CSoundFileSetting*>(w);
                                 ASSERT_NE(dlg, nullptr);
                                 ASSERT_EQ(dlg->table()->rowCount(),
                                           1); // the built-in siren of a fresh installation
                                 EXPECT_EQ(dlg->table()->item(0, 0)->text(), "Siren.wav");
                             }));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(AlarmCommands, BothTimeSettingItemsOfTheAdvancedMenuOpenTheirKind) {
    auto* menu = app.mainFrame()->findChild<QMenu*>("AdvancedMenu");
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow(); // appends the notification kind's item
    auto action = [&](int command) -> QAction* {
        for (QAction* a : menu->actions()) {
            if (a->data().toInt() == command) return a;
        }
        return nullptr;
    };
    for (const auto& [command, firstChoice] :
         {std::pair{32848, "Always send an email"}, {32849, "Always display notifications"}}) {
        QAction* item = action(command);
        ASSERT_NE(item, nullptr) << command;
        EXPECT_TRUE(item->isEnabled());
        EXPECT_EQ(item->text(), "Time Setting");
        const QString expected = QString::fromUtf8(firstChoice);
        EXPECT_TRUE(openedDialog([&] { item->trigger(); },
                                 [&](QWidget* w) {
                                     auto* dlg = qobject_cast<CScheduleDlg*>(w);
                                     ASSERT_NE(dlg, nullptr);
                                     EXPECT_EQ(dlg->choice(0)->text(), expected);
                                     EXPECT_TRUE(dlg->choice(0)->isChecked());
                                 }))
            << command;
    }
}

} // namespace
} // namespace iomira
