// The shown group's windows against the simulator: re-targeting, opening and hiding on a
// group switch, LastOpened in the store, and an item click bringing its controller forward.

#include "ui/common/child_frame.h"
#include "ui/main/main_frame.h"
#include "ui/tree/device_list_pane.h"
#include "ui/tree/view_tree.h"
#include "ui/windows/controller_windows.h"
#include "ui/windows/digital_view.h"
#include "ui/windows/notification_window.h"
#include "windows_rig.h"

#include <QMdiArea>
#include <QToolButton>
#include <QTreeWidgetItem>

#include <gtest/gtest.h>

namespace iomira {
namespace {

class GroupWindows : public ::testing::Test {
  protected:
    GroupWindows()
        : rig({{"a1", "TKA-31", 0},
               {"a2", "RLX-830", 0},
               {"a3", "TKA-21", 0},
               {"b1", "RLX-850", 1},
               {"b2", "TKA-33", 1}},
              {"A", "B"}) {}

    void SetUp() override {
        ASSERT_TRUE(rig.start());
        windows = rig.app->mainFrame()->findChild<ControllerWindows*>();
        ASSERT_NE(windows, nullptr);
        pane = rig.app->mainFrame()->pane();
    }
    // Device name shown by each visible window, in document order, and the hidden count.
    QStringList visible() const {
        QStringList names;
        for (CChildFrame* frame : windows->windows())
            if (frame->isVisible()) names << frame->controller().DeviceComment;
        return names;
    }
    int hidden() const {
        int count = 0;
        for (CChildFrame* frame : windows->windows())
            count += frame->isVisible() ? 0 : 1;
        return count;
    }

    test::WindowsRig rig;
    ControllerWindows* windows = nullptr;
    CDeviceListPane* pane = nullptr;
};

TEST_F(GroupWindows, SwitchingGroupsRetargetsOpensAndHides) {
    EXPECT_EQ(visible(), (QStringList{"a1", "a2", "a3"}));
    CChildFrame* first = windows->windows()[0];

    pane->showGroup(1);
    EXPECT_EQ(visible(), (QStringList{"b2", "b1"})) << "the first digital window now shows b2";
    EXPECT_EQ(windows->windows()[0], first);
    EXPECT_EQ(windows->windows().size(), 4u);
    EXPECT_EQ(hidden(), 2);
    EXPECT_EQ(rig.stored("a1").LastOpened, 0);
    EXPECT_EQ(rig.stored("b1").LastOpened, 1);
    EXPECT_EQ(rig.stored("b2").LastOpened, 1);
    EXPECT_EQ(windows->findWindow(rig.deviceId("b1"))->widget()->objectName(), "ModelView");
    // The re-targeted window follows its new controller's ports: a TKA-33 has one output.
    auto* view = qobject_cast<CQuorvis2View*>(first->widget());
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->outputButton(0)->isVisibleTo(view));
    EXPECT_FALSE(view->outputButton(1)->isVisibleTo(view));
    EXPECT_FALSE(view->inputButton(2)->isVisibleTo(view));

    pane->showGroup(0);
    EXPECT_EQ(visible(), (QStringList{"a1", "a2", "a3"}));
    EXPECT_EQ(windows->windows().size(), 4u) << "no window is made or destroyed";
    EXPECT_EQ(hidden(), 1);
    EXPECT_EQ(rig.stored("b1").LastOpened, 0);
    EXPECT_EQ(rig.stored("a3").LastOpened, 1);
    EXPECT_EQ(first->controller().DeviceComment, "a1");
    EXPECT_TRUE(view->outputButton(7)->isVisibleTo(view));
    EXPECT_TRUE(view->inputButton(7)->isVisibleTo(view));
}

TEST_F(GroupWindows, ClickingAnInformationLineShowsItsGroupAndActivatesTheWindow) {
    QTreeWidgetItem* item = pane->findControllerItem(rig.deviceId("b2"));
    ASSERT_NE(item, nullptr);
    item->setExpanded(true);
    ASSERT_GT(item->childCount(), 0);
    emit pane->tree()->itemPressedForGroup(item->child(0));
    EXPECT_EQ(pane->shownGroupId(), 1);
    CChildFrame* frame = windows->findWindow(rig.deviceId("b2"));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(rig.app->mainFrame()->mdiArea()->activeSubWindow(), frame);
}

TEST_F(GroupWindows, ClickingAControllerBringsItsWindowIntoViewWhenItWasScrolledAway) {
    QMdiArea* area = rig.app->mainFrame()->mdiArea();
    CChildFrame* frame = windows->findWindow(rig.deviceId("a3"));
    ASSERT_NE(frame, nullptr);
    frame->move(area->viewport()->width() + 900, area->viewport()->height() + 700);
    test::pumpFor(20);
    const QRect visible(QPoint(0, 0), area->viewport()->size());
    ASSERT_FALSE(visible.intersects(frame->geometry()));
    emit pane->tree()->itemPressedForGroup(pane->findControllerItem(rig.deviceId("a3")));
    EXPECT_EQ(area->activeSubWindow(), frame);
    EXPECT_TRUE(QRect(QPoint(0, 0), area->viewport()->size()).contains(frame->geometry()))
        << frame->x() << ", " << frame->y();
    EXPECT_EQ(rig.stored("a3").LastPosX, frame->x()) << "the new place is the window's own";
    // The notification window's button brings it forward the same way.
    frame->move(-2000, -2000);
    auto* notifications = pane->findChild<CDlgMSG*>();
    ASSERT_NE(notifications, nullptr);
    notifications->AddNotification("message", rig.deviceId("a3"));
    notifications->press(CDlgMSG::Controller);
    EXPECT_TRUE(QRect(QPoint(0, 0), area->viewport()->size()).contains(frame->geometry()))
        << frame->x() << ", " << frame->y();
}

TEST_F(GroupWindows, MinimizedControllerComesBackMinimized) {
    CChildFrame* frame = windows->findWindow(rig.deviceId("a2"));
    ASSERT_NE(frame, nullptr);
    frame->move(40, 30);
    frame->showMinimized();
    frame->move(5, 400);
    const CQUORVISData saved = rig.stored("a2");
    EXPECT_EQ(saved.Minimized, 1);
    EXPECT_EQ(saved.LastPosX, 40);
    EXPECT_EQ(saved.LastPosXMin, 5);
    EXPECT_EQ(saved.LastPosYMin, 400);

    // Another group takes the window; coming back, the stored state is shown again.
    pane->showGroup(1);
    test::pumpFor(50);
    pane->showGroup(0);
    CChildFrame* again = windows->findWindow(rig.deviceId("a2"));
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->isMinimized());
    EXPECT_TRUE(again->isVisible());
    EXPECT_EQ(rig.stored("a2").Minimized, 1);
}

TEST_F(GroupWindows, NotificationControllerButtonSelectsTheControllerAndItsWindow) {
    auto* notifications = pane->findChild<CDlgMSG*>();
    ASSERT_NE(notifications, nullptr);
    notifications->AddNotification("message", rig.deviceId("a3"));
    notifications->press(CDlgMSG::Controller);
    EXPECT_EQ(itemData(pane->tree()->currentItem()), rig.deviceId("a3"));
    EXPECT_EQ(rig.app->mainFrame()->mdiArea()->activeSubWindow(),
              windows->findWindow(rig.deviceId("a3")));
}

} // namespace
} // namespace iomira
