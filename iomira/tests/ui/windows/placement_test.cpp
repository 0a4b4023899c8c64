// Where the controller windows and the notification pop-up appear: twelve windows without a
// place fill the area without covering each other, places outside the area come back into
// it, a window chosen in the tree comes into view, and the pop-up stays on the screen.

#include "common/test_support.h"
#include "core/device_family.h"
#include "core/global_settings.h"
#include "core/string_table.h"
#include "monitor/shared_controllers.h"
#include "ui/common/child_frame.h"
#include "ui/windows/controller_windows.h"
#include "ui/windows/notification_window.h"

#include <QApplication>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace iomira {
namespace {

constexpr int kGroup = 1;
constexpr int kOtherGroup = 2;

QString describe(const QRect& r) {
    return QStringLiteral("(%1, %2, %3 x %4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// An area of 1280 x 800 pixels and the windows of its controllers, without the program around
// them and without a network: none of the controllers is registered.
class Placement : public ::testing::Test {
  protected:
    Placement() : windows(area, *files.store, prompts) {
        setLanguage(LANG_ENGLISH);
        area.setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        area.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        area.resize(1280, 800);
        area.show();
        QApplication::processEvents();
        ViewServices services;
        services.prompts = &prompts;
        services.editRecord = [](CQUORVISData& c,
                                 const std::function<void(CQUORVISData&)>& change) { change(c); };
        windows.setControllers(shared, services);
    }

    int add(int rootId, const char* model) {
        auto c = std::make_unique<CQUORVISData>(recordForModel(QString::fromLatin1(model)));
        c->DeviceId = nextId++;
        c->RootID = rootId;
        c->Index = table.CountInGroup(rootId);
        c->DeviceComment =
            QStringLiteral("%1 no. %2").arg(QString::fromLatin1(model)).arg(c->DeviceId);
        const int id = c->DeviceId;
        table.insert(std::move(c));
        return id;
    }

    QRect visibleArea() const { return QRect(QPoint(0, 0), area.viewport()->size()); }

    std::vector<CChildFrame*> shown() const {
        std::vector<CChildFrame*> out;
        for (CChildFrame* frame : windows.windows())
            if (frame->isVisible()) out.push_back(frame);
        return out;
    }

    // Every shown window inside the visible area, and no two of them overlapping.
    void expectTiledInside(const char* when) const {
        const std::vector<CChildFrame*> frames = shown();
        for (size_t i = 0; i < frames.size(); ++i) {
            const QRect r = frames[i]->geometry();
            EXPECT_TRUE(visibleArea().contains(r))
                << when << ": " << frames[i]->windowTitle().toStdString() << " at "
                << describe(r).toStdString();
            for (size_t j = i + 1; j < frames.size(); ++j)
                EXPECT_FALSE(r.intersects(frames[j]->geometry()))
                    << when << ": " << frames[i]->windowTitle().toStdString() << " and "
                    << frames[j]->windowTitle().toStdString() << " overlap";
        }
    }

    test::TempStore files;
    test::RecordingPrompts prompts;
    ControllerTable table;
    SharedControllers shared{table};
    QMdiArea area;
    ControllerWindows windows;
    int nextId = 1;
};

TEST_F(Placement, TwelveWindowsWithoutAPlaceFillTheAreaWithoutOverlap) {
    // Windows of one size fill the grid row by row: three columns, four rows of TKA-33s.
    for (int i = 0; i < 12; ++i)
        add(kGroup, "TKA-33");
    windows.showGroup(kGroup);
    ASSERT_EQ(shown().size(), 12u);
    expectTiledInside("one size");
    const std::vector<CChildFrame*> frames = windows.windows();
    const QSize cell = frames[0]->size();
    ASSERT_LE(cell.width() * 3, 1280);
    ASSERT_LE(cell.height() * 4, 800);
    EXPECT_EQ(frames[0]->pos(), QPoint(0, 0));
    EXPECT_EQ(frames[1]->pos(), QPoint(cell.width(), 0)) << "beside the first, not below its title";
    EXPECT_EQ(frames[3]->pos(), QPoint(0, cell.height()));
    // The places are the windows' own from now on.
    EXPECT_EQ(table.find(frames[1]->deviceId())->LastPosX, frames[1]->x());
    EXPECT_EQ(table.find(frames[1]->deviceId())->LastPosY, frames[1]->y());
}

TEST_F(Placement, TwelveWindowsOfDifferentSizesPackWithoutOverlap) {
    const char* models[] = {"TKA-33",  "RLX-830", "RLX-840", "TKA-35",  "TKA-33", "RLX-830",
                            "RLX-840", "TKA-33",  "TKA-35",  "RLX-830", "TKA-33", "RLX-840"};
    for (const char* model : models)
        add(kGroup, model);
    windows.showGroup(kGroup);
    ASSERT_EQ(shown().size(), 12u);
    expectTiledInside("different sizes");
}

TEST_F(Placement, MoreWindowsThanTheAreaHoldsStayInsideItApart) {
    // One of every model and then some: more window than area.
    const char* models[] = {"TKA-35", "TKA-31", "RLX-850", "TKA-21", "RLX-810", "RLX-820",
                            "TKA-35", "TKA-31", "RLX-850", "TKA-21", "RLX-840", "TKA-33"};
    for (int round = 0; round < 2; ++round)
        for (const char* model : models)
            add(kGroup, model);
    windows.showGroup(kGroup);
    ASSERT_EQ(shown().size(), 24u);
    std::vector<QPoint> corners;
    for (CChildFrame* frame : shown()) {
        EXPECT_TRUE(visibleArea().contains(frame->geometry()))
            << describe(frame->geometry()).toStdString();
        corners.push_back(frame->pos());
    }
    std::sort(corners.begin(), corners.end(),
              [](QPoint a, QPoint b) { return std::pair(a.y(), a.x()) < std::pair(b.y(), b.x()); });
    const auto same = std::adjacent_find(corners.begin(), corners.end());
    EXPECT_EQ(same, corners.end())
        << "two windows at " << same->x() << ", " << same->y() << ": one title bar hides the other";
}

TEST_F(Placement, APlaceOutsideTheAreaOpensInView) {
    const int far = add(kGroup, "TKA-35");
    table.find(far)->LastPosX = 5000;
    table.find(far)->LastPosY = 5000;
    table.find(far)->LastPosCX = 300;
    table.find(far)->LastPosCY = 200;
    const int inside = add(kGroup, "TKA-33");
    table.find(inside)->LastPosX = 400;
    table.find(inside)->LastPosY = 120;
    table.find(inside)->LastPosCX = 300;
    table.find(inside)->LastPosCY = 200;
    windows.showGroup(kGroup);
    CChildFrame* farFrame = windows.findWindow(far);
    ASSERT_NE(farFrame, nullptr);
    EXPECT_TRUE(visibleArea().contains(farFrame->geometry()))
        << describe(farFrame->geometry()).toStdString();
    EXPECT_EQ(farFrame->geometry().bottomRight(), visibleArea().bottomRight())
        << "the nearest place inside is the lower right corner";
    EXPECT_EQ(windows.findWindow(inside)->pos(), QPoint(400, 120)) << "a place inside is kept";
}

TEST_F(Placement, SwitchingGroupsAndBackLeavesNoWindowOffTheArea) {
    for (int i = 0; i < 6; ++i)
        add(kGroup, i % 2 ? "TKA-33" : "TKA-35");
    for (int i = 0; i < 4; ++i) {
        const int id = add(kOtherGroup, "TKA-35");
        // Places from a larger screen.
        table.find(id)->LastPosX = 1200 + 300 * i;
        table.find(id)->LastPosY = 700;
        table.find(id)->LastPosCX = 300;
        table.find(id)->LastPosCY = 200;
    }
    windows.showGroup(kGroup);
    expectTiledInside("first group");
    windows.showGroup(kOtherGroup);
    for (CChildFrame* frame : shown())
        EXPECT_TRUE(visibleArea().contains(frame->geometry()))
            << "second group: " << describe(frame->geometry()).toStdString();
    windows.showGroup(kGroup);
    ASSERT_EQ(shown().size(), 6u);
    for (CChildFrame* frame : shown())
        EXPECT_TRUE(visibleArea().contains(frame->geometry()))
            << "back: " << describe(frame->geometry()).toStdString();
}

TEST_F(Placement, AWindowChosenOutsideTheVisiblePartComesIntoViewActive) {
    const int first = add(kGroup, "TKA-35");
    const int second = add(kGroup, "TKA-35");
    windows.showGroup(kGroup);
    CChildFrame* frame = windows.findWindow(second);
    ASSERT_NE(frame, nullptr);
    // The user dragged it far to the right; the area can only be scrolled to it.
    frame->move(2500, 1500);
    QApplication::processEvents();
    ASSERT_FALSE(visibleArea().intersects(frame->geometry()));
    windows.activateController(first);
    windows.activateController(second);
    EXPECT_EQ(area.activeSubWindow(), frame);
    EXPECT_TRUE(visibleArea().contains(frame->geometry()))
        << describe(frame->geometry()).toStdString();
}

// The pop-up on the laptop screen: its available area is the whole screen here.
class PopUpPlacement : public ::testing::Test {
  protected:
    PopUpPlacement() { setLanguage(LANG_ENGLISH); }

    QRect available() const { return QGuiApplication::primaryScreen()->availableGeometry(); }

    // The pop-up with its title bar, as it is while the mouse is over it.
    void expectOnScreen(CDlgMSG& popUp, const char* when) {
        popUp.AddNotification(QStringLiteral("Pump started"), 1);
        QApplication::processEvents();
        EXPECT_TRUE(available().contains(popUp.frameGeometry()))
            << when << ": " << describe(popUp.frameGeometry()).toStdString();
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(&popUp, &enter);
        QApplication::processEvents();
        EXPECT_TRUE(available().contains(popUp.frameGeometry()))
            << when << " with its title bar: " << describe(popUp.frameGeometry()).toStdString();
    }

    test::TempStore files;
    test::RecordingPrompts prompts;
    QWidget owner;
};

TEST_F(PopUpPlacement, TheComputedCornerPlaceLeavesRoomForTheTitleBar) {
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().height(), 900);
    CDlgMSG popUp(*files.store, prompts, &owner);
    expectOnScreen(popUp, "computed place");
    EXPECT_EQ(popUp.frameGeometry().right(), available().right()) << "still in the corner";
}

TEST_F(PopUpPlacement, StoredPlacesOffTheScreenComeBackOnIt) {
    for (const QPoint stored : {QPoint(5000, 5000), QPoint(1300, 880), QPoint(-700, 40)}) {
        setGlobal(*files.store, MSG_LastPosX, stored.x());
        setGlobal(*files.store, MSG_LastPosY, stored.y());
        setGlobal(*files.store, MSG_LastPosCX, 300);
        setGlobal(*files.store, MSG_LastPosCY, 250);
        CDlgMSG popUp(*files.store, prompts, &owner);
        const std::string when =
            "stored at " + std::to_string(stored.x()) + ", " + std::to_string(stored.y());
        expectOnScreen(popUp, when.c_str());
    }
    // A place inside the screen is kept as stored.
    setGlobal(*files.store, MSG_LastPosX, 200);
    setGlobal(*files.store, MSG_LastPosY, 150);
    CDlgMSG popUp(*files.store, prompts, &owner);
    EXPECT_EQ(popUp.pos(), QPoint(200, 150));
}

} // namespace
} // namespace iomira
