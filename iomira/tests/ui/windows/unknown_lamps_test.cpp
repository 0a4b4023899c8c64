// Lamps whose value is not known: a controller that stops answering or loses its link keeps
// the pictures its lamps showed, marked unknown, with the last value and its time in the
// tooltip; answers end it at once.

#include "core/quorvis_data.h"
#include "monitor/shared_controllers.h"
#include "ui/common/child_frame.h"
#include "ui/main/main_frame.h"
#include "ui/windows/controller_windows.h"
#include "ui/windows/digital_view.h"
#include "ui/windows/model_view.h"
#include "windows_rig.h"

#include <QToolButton>

#include <gtest/gtest.h>

namespace iomira {
namespace {

constexpr long kReadCoils = 1;

class UnknownLamps : public ::testing::Test {
  protected:
    UnknownLamps() : rig({{"io", "TKA-31", 0}, {"p850", "RLX-850", 0}}, {"Plant"}) {}

    void SetUp() override {
        ASSERT_TRUE(rig.start());
        ASSERT_TRUE(rig.waitConnected("io"));
        ASSERT_TRUE(rig.waitConnected("p850"));
        rig.app->sharedControllers().edit(rig.deviceId("io"),
                                          [](CQUORVISData& c) { c.UsePulseDo[1] = 1; });
        io = frameOf("io") ? qobject_cast<CQuorvis2View*>(frameOf("io")->widget()) : nullptr;
        p850 = frameOf("p850") ? qobject_cast<CModelView*>(frameOf("p850")->widget()) : nullptr;
        ASSERT_NE(io, nullptr);
        ASSERT_NE(p850, nullptr);
        ASSERT_TRUE(test::pumpUntil([&] { return rig.requests("io", kReadCoils) > 0; }));
        rig.sim.command("input io 5 1");
        rig.sim.command("input p850 2 1");
        ASSERT_TRUE(test::pumpUntil(
            [&] {
                return io->inputImage(5).color == LampColor::Yellow &&
                       p850->inputImage(2).color == LampColor::Yellow;
            },
            3000));
        io->redraw();
    }
    CChildFrame* frameOf(const std::string& device) {
        auto* windows = rig.app->mainFrame()->findChild<ControllerWindows*>();
        return windows ? windows->findWindow(rig.deviceId(device)) : nullptr;
    }

    test::WindowsRig rig;
    CQuorvis2View* io = nullptr;
    CModelView* p850 = nullptr;
};

TEST_F(UnknownLamps, SilenceMarksEveryLampUnknownAndAnAnswerEndsIt) {
    EXPECT_FALSE(io->inputImage(5).unknown);
    EXPECT_TRUE(io->inputButton(5)->toolTip().isEmpty());
    EXPECT_EQ(io->outputButton(1)->toolTip(), "DO1");

    rig.sim.command("silent io");
    rig.sim.command("silent p850");
    ASSERT_TRUE(test::pumpUntil(
        [&] { return io->inputImage(5).unknown && p850->inputImage(2).unknown; }, 6000));
    EXPECT_TRUE(io->statusText().startsWith("Not responding")) << io->statusText().toStdString();
    for (int port = 0; port < 8; ++port) {
        EXPECT_TRUE(io->inputImage(port).unknown) << port;
        EXPECT_TRUE(io->outputImage(port).unknown) << port;
    }
    // The pictures are the ones the values chose, not a reset to off.
    EXPECT_EQ(io->inputImage(5).color, LampColor::Yellow);
    EXPECT_EQ(io->inputImage(4).color, LampColor::Grey);
    EXPECT_EQ(p850->inputImage(2).color, LampColor::Yellow);
    const QString tip = io->inputButton(5)->toolTip();
    EXPECT_TRUE(tip.startsWith("Value unknown")) << tip.toStdString();
    EXPECT_TRUE(tip.contains("Last value ON, read at ")) << tip.toStdString();
    EXPECT_TRUE(io->inputButton(4)->toolTip().contains("Last value OFF, read at "));
    // The tooltip the output had comes first.
    const QString pulseTip = io->outputButton(1)->toolTip();
    EXPECT_TRUE(pulseTip.startsWith("DO1\nValue unknown")) << pulseTip.toStdString();
    EXPECT_TRUE(p850->inputButton(2)->toolTip().contains("Last value ON"));

    rig.sim.command("resume io");
    rig.sim.command("resume p850");
    ASSERT_TRUE(test::pumpUntil(
        [&] { return !io->inputImage(5).unknown && !p850->inputImage(2).unknown; }, 3000));
    EXPECT_EQ(io->statusText(), "Connected");
    EXPECT_TRUE(io->inputButton(5)->toolTip().isEmpty());
    EXPECT_EQ(io->outputButton(1)->toolTip(), "DO1");
}

TEST_F(UnknownLamps, ALostLinkKeepsTheLastValueInTheTooltipUntilTheNextAnswer) {
    rig.sim.command("drop io");
    rig.sim.command("drop p850");
    ASSERT_TRUE(test::pumpUntil(
        [&] { return io->inputImage(5).unknown && p850->inputImage(2).unknown; }, 3000));
    // The connection is gone, and so are Corvel's values; the tooltip still knows.
    EXPECT_TRUE(io->inputButton(5)->toolTip().contains("Last value ON, read at "));
    EXPECT_TRUE(p850->inputButton(2)->toolTip().contains("Last value ON, read at "));
    EXPECT_TRUE(io->outputImage(0).unknown);

    // The reconnection after five seconds brings the values back, and the lamps are known.
    ASSERT_TRUE(test::pumpUntil(
        [&] {
            return !io->inputImage(5).unknown && io->inputImage(5).color == LampColor::Yellow &&
                   !p850->inputImage(2).unknown;
        },
        12000));
    EXPECT_TRUE(io->inputButton(5)->toolTip().isEmpty());
}

} // namespace
} // namespace iomira
