// The notification window: its buttons through adds and confirms, the controller button, the
// input switch and its placement in the store.

#include "core/global_settings.h"
#include "core/quorvis_data.h"
#include "core/sqlite_store.h"
#include "core/string_table.h"
#include "ui/windows/notification_window.h"
#include "windows_rig.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace iomira {
namespace {

class NotificationWindowTest : public ::testing::Test {
  protected:
    NotificationWindowTest() { store = SqliteStore::open(dir.filePath("s.sqlite"), nullptr); }
    QTemporaryDir dir;
    std::unique_ptr<SqliteStore> store;
    test::RecordingPrompts prompts;
};

TEST_F(NotificationWindowTest, ButtonsFollowTheListAndConfirmAllAsksFirst) {
    CDlgMSG window(*store, prompts, nullptr);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.size(), QSize(300, 250));
    window.AddNotification("first", 4);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.button(CDlgMSG::Next)->isEnabled());
    window.AddNotification("second", 5);
    EXPECT_TRUE(window.button(CDlgMSG::Next)->isEnabled());
    EXPECT_FALSE(window.button(CDlgMSG::Previous)->isEnabled());
    window.button(CDlgMSG::End)->click();
    EXPECT_TRUE(window.button(CDlgMSG::First)->isEnabled());

    std::vector<int> shownIds;
    window.showController = [&](int id) { shownIds.push_back(id); };
    window.button(CDlgMSG::Controller)->click();
    EXPECT_EQ(shownIds, std::vector<int>{5});

    prompts.answer = false;
    window.button(CDlgMSG::ConfirmAll)->click();
    EXPECT_EQ(window.messages().count(), 2) << "No keeps every message";
    prompts.answer = true;
    window.button(CDlgMSG::ConfirmAll)->click();
    EXPECT_EQ(window.messages().count(), 0);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(prompts.questions, 2);
}

TEST_F(NotificationWindowTest, ControllerButtonIgnoresIdsOfZeroOrLess) {
    CDlgMSG window(*store, prompts, nullptr);
    int calls = 0;
    window.showController = [&](int) { ++calls; };
    window.AddNotification("zero", 0);
    window.press(CDlgMSG::Controller);
    EXPECT_EQ(calls, 0);
    window.press(CDlgMSG::Confirm);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(NotificationWindowTest, InputMessagesNeedTheSwitch) {
    CDlgMSG window(*store, prompts, nullptr);
    CQUORVISData c;
    c.DeviceId = 12;
    int notify = 0;
    window.inputNotification = [&] { return notify; };
    window.PostInputNotification(c, 0, 1);
    EXPECT_EQ(window.messages().count(), 0);
    notify = 1;
    window.PostInputNotification(c, 0, 1);
    EXPECT_EQ(window.messages().count(), 1);
    EXPECT_EQ(window.messages().currentDeviceId(), 12);
}

TEST_F(NotificationWindowTest, PlacementIsStoredAndUsedAtTheNextStart) {
    {
        CDlgMSG window(*store, prompts, nullptr);
        window.show();
        window.move(120, 140);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(getGlobal(*store, MSG_LastPosX), 120);
    EXPECT_EQ(getGlobal(*store, MSG_LastPosY), 140);
    EXPECT_EQ(getGlobal(*store, MSG_LastPosCX), 300);
    setGlobal(*store, MSG_LastPosCX, 900);
    CDlgMSG again(*store, prompts, nullptr);
    EXPECT_EQ(again.pos(), QPoint(120, 140));
    EXPECT_EQ(again.size(), QSize(300, 250)) << "the stored size is not used";
}

} // namespace
} // namespace iomira
