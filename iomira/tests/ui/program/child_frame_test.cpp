// A controller window's frame: the user cannot close it, the program can, and every move or
// minimise lands in the controller's record through the saver.

#include "common/monitor_files.h"

#include "core/quorvis_data.h"
#include "ui/common/child_frame.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMdiArea>

#include <gtest/gtest.h>

namespace iomira {
namespace {

class ChildFrame : public ::testing::Test {
  protected:
    ChildFrame() {
        record.DeviceId = 42;
        record.DeviceComment = "Pump";
        area.resize(800, 600);
        frame = new CChildFrame(record, [this](const CQUORVISData& r) { saved.push_back(r); });
        frame->setWidget(new QLabel("view"));
        area.addSubWindow(frame);
        area.show();
        frame->show();
    }
    // The record and the saved copies outlive the area, which deletes the frame.
    CQUORVISData record;
    std::vector<CQUORVISData> saved;
    QMdiArea area;
    CChildFrame* frame;
};

TEST_F(ChildFrame, HasNoCloseButtonAndIgnoresCloseRequests) {
    EXPECT_FALSE(frame->windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(frame->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(frame->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(frame->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(area.subWindowList().size(), 1);
    EXPECT_EQ(frame->windowTitle(), "Pump");
    frame->closeByProgram();
    QCoreApplication::processEvents();
    EXPECT_TRUE(area.subWindowList().isEmpty());
}

TEST_F(ChildFrame, PlacementIsSavedOnEveryMove) {
    saved.clear();
    frame->setGeometry(30, 40, 250, 180);
    QCoreApplication::processEvents();
    ASSERT_FALSE(saved.empty());
    EXPECT_EQ(record.LastPosX, 30);
    EXPECT_EQ(record.LastPosY, 40);
    EXPECT_EQ(record.LastPosCX, 250);
    EXPECT_EQ(record.LastPosCY, 180);
    EXPECT_EQ(saved.back().LastPosX, 30);
}

TEST_F(ChildFrame, MinimisingIsRecordedAndUsesTheStoredPlace) {
    record.LastPosXMin = 10;
    record.LastPosYMin = 500;
    record.LastPosCXMin = 160;
    record.LastPosCYMin = 30;
    frame->setMinimizedByUser(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(record.Minimized, 1);
    EXPECT_EQ(frame->pos(), QPoint(10, 500));
    EXPECT_EQ(saved.back().Minimized, 1);
    frame->setMinimizedByUser(false);
    QCoreApplication::processEvents();
    EXPECT_EQ(record.Minimized, 0);
    EXPECT_EQ(saved.back().Minimized, 0);
}

} // namespace
} // namespace iomira
