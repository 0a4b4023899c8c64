// The digital window against the simulator: lamps that follow the inputs, coil writes and
// pulses on the wire, the checks that block a write, renaming, exceptions, and a changed
// input reaching the notification window.

#include "core/quorvis_data.h"
#include "corvel/corvel.h"
#include "monitor/shared_controllers.h"
#include "ui/common/child_frame.h"
#include "ui/common/in_place_edit.h"
#include "ui/main/main_frame.h"
#include "ui/tree/device_list_pane.h"
#include "ui/windows/controller_windows.h"
#include "ui/windows/digital_view.h"
#include "ui/windows/notification_window.h"
#include "windows_rig.h"

#include <QLabel>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace iomira {
namespace {

constexpr long kReadCoils = 1;
constexpr long kWriteCoil = 5;
constexpr long kPulse = 0x69;

class DigitalWindow : public ::testing::Test {
  protected:
    DigitalWindow() : rig({{"io", "TKA-31", 0}, {"rlx", "RLX-830", 0}}, {"Plant"}) {}

    void SetUp() override {
        ASSERT_TRUE(rig.start());
        ASSERT_TRUE(rig.waitConnected("io"));
        view = viewOf("io");
        ASSERT_NE(view, nullptr);
        // The first poll has been answered: the window shows the simulator's outputs.
        ASSERT_TRUE(test::pumpUntil([&] { return rig.requests("io", kReadCoils) > 0; }));
        test::pumpFor(100);
    }
    CQuorvis2View* viewOf(const std::string& device) {
        auto* windows = rig.app->mainFrame()->findChild<ControllerWindows*>();
        CChildFrame* frame = windows ? windows->findWindow(rig.deviceId(device)) : nullptr;
        return frame ? qobject_cast<CQuorvis2View*>(frame->widget()) : nullptr;
    }
    void editRecord(const std::string& device, const std::function<void(CQUORVISData&)>& change) {
        rig.app->sharedControllers().edit(rig.deviceId(device), change);
    }

    test::WindowsRig rig;
    CQuorvis2View* view = nullptr;
};

TEST_F(DigitalWindow, InputLampTurnsWithinOnePoll) {
    EXPECT_EQ(view->statusText(), "Connected");
    EXPECT_EQ(view->inputImage(5).color, LampColor::Grey);
    rig.sim.command("input io 5 1");
    EXPECT_TRUE(
        test::pumpUntil([&] { return view->inputImage(5).color == LampColor::Yellow; }, 2500));
    rig.sim.command("input io 5 0");
    EXPECT_TRUE(
        test::pumpUntil([&] { return view->inputImage(5).color == LampColor::Grey; }, 2500));
}

TEST_F(DigitalWindow, OutputClickSendsOneCoilWriteFollowedByARead) {
    const int readsBefore = rig.requests("io", kReadCoils);
    view->outputButton(2)->click();
    EXPECT_TRUE(
        test::pumpUntil([&] { return view->outputImage(2).color == LampColor::Green; }, 2500));
    EXPECT_EQ(rig.requests("io", kWriteCoil), 1);
    EXPECT_GT(rig.requests("io", kReadCoils), readsBefore);
    const std::vector<std::string> log = rig.sim.log_lines();
    size_t write = 0;
    for (size_t i = 0; i < log.size(); ++i)
        if (simtest::json_number(log[i], "function") == kWriteCoil) write = i;
    bool readAfter = false;
    for (size_t i = write + 1; i < log.size(); ++i)
        readAfter = readAfter || (simtest::json_text(log[i], "device") == "io" &&
                                  simtest::json_number(log[i], "function") == kReadCoils);
    EXPECT_TRUE(readAfter);

    view->outputButton(2)->click();
    EXPECT_TRUE(
        test::pumpUntil([&] { return view->outputImage(2).color == LampColor::Grey; }, 2500));
    EXPECT_EQ(rig.requests("io", kWriteCoil), 2);
}

TEST_F(DigitalWindow, APulseClickedTwiceWithinItsDurationSendsOnePulse) {
    editRecord("io", [](CQUORVISData& c) {
        c.UsePulseDo[1] = 1;
        c.DurationDo[1] = 800;
        c.SignalLevelDo[1] = 1;
    });
    view->redraw();
    EXPECT_EQ(view->outputImage(1).mark, LampMark::Pulse);
    EXPECT_EQ(view->outputButton(1)->toolTip(), "DO1");
    view->outputButton(1)->click();
    test::pumpFor(50);
    view->outputButton(1)->click();
    EXPECT_TRUE(test::pumpUntil([&] { return rig.requests("io", kPulse) >= 1; }));
    test::pumpFor(300);
    EXPECT_EQ(rig.requests("io", kPulse), 1);
    EXPECT_TRUE(view->pulses().pending());
    // After its length and the grace the outputs are read and the port can pulse again.
    EXPECT_TRUE(test::pumpUntil([&] { return !view->pulses().pending(); }, 4000));
    view->outputButton(1)->click();
    EXPECT_TRUE(test::pumpUntil([&] { return rig.requests("io", kPulse) == 2; }));
}

TEST_F(DigitalWindow, RestrictionAndAnUnansweredQuestionBlockTheWrite) {
    editRecord("io", [](CQUORVISData& c) { c.OutputPortControl = 1; });
    view->redraw();
    EXPECT_EQ(view->outputImage(0).mark, LampMark::Lock);
    view->outputButton(0)->click();
    EXPECT_EQ(rig.prompts.shown.last(), "The output ports are restricted to read.");
    EXPECT_EQ(rig.prompts.questions, 0);

    editRecord("io", [](CQUORVISData& c) {
        c.OutputPortControl = 0;
        c.UseWarningMsg = 1;
        c.WarningMsgType = 0;
        c.MsgAllOn = "Switch %s on?";
        c.DoComment[0] = "Horn";
    });
    view->redraw();
    EXPECT_EQ(view->outputImage(0).mark, LampMark::Warning);
    rig.prompts.answer = false;
    view->outputButton(0)->click();
    EXPECT_EQ(rig.prompts.shown.last(), "Switch Horn on?");
    test::pumpFor(300);
    EXPECT_EQ(rig.requests("io", kWriteCoil), 0);
    rig.prompts.answer = true;
    view->outputButton(0)->click();
    EXPECT_TRUE(test::pumpUntil([&] { return rig.requests("io", kWriteCoil) == 1; }));
}

TEST_F(DigitalWindow, RenamingAPortStoresItsComment) {
    view->editPortName(CInPlaceEdit::InputPort, 4);
    CInPlaceEdit* editor = CInPlaceEdit::shared();
    ASSERT_TRUE(editor->editing());
    EXPECT_EQ(editor->parentWidget(), view);
    editor->selectAll();
    QTest::keyClicks(editor, "Door contact");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(view->inputLabel(4)->text(), " Door contact");
    EXPECT_EQ(rig.stored("io").DiComment[4], "Door contact");

    view->editPortName(CInPlaceEdit::OutputPort, 0);
    QTest::keyClicks(editor, "Siren");
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_EQ(rig.stored("io").DoComment[0], rig.controller("io")->DoComment[0]);
    EXPECT_NE(view->outputLabel(0)->text(), " Siren");
}

TEST_F(DigitalWindow, InputClickReadsAndAnExceptionIsShownOnce) {
    const int before = rig.requests("io", 2);
    view->inputButton(0)->click();
    EXPECT_TRUE(test::pumpUntil([&] { return rig.requests("io", 2) > before; }));

    rig.sim.command("exception io 6");
    view->outputButton(3)->click();
    EXPECT_TRUE(test::pumpUntil([&] {
        return rig.prompts.shown.contains("[Error 06] Device is busy to make a pulse signal.");
    }));
    EXPECT_TRUE(test::pumpUntil([&] { return view->outputImage(3).mark == LampMark::Error; }))
        << "the exception answer to the read";
    rig.sim.command("exception io 0");
}

TEST_F(DigitalWindow, ChangedInputReachesTheNotificationWindow) {
    auto* notifications = rig.app->mainFrame()->pane()->findChild<CDlgMSG*>();
    ASSERT_NE(notifications, nullptr);
    // The first answer after connecting only fills the image.
    ASSERT_TRUE(test::pumpUntil([&] { return rig.controller("io")->InputsValid == 1; }));
    EXPECT_EQ(notifications->messages().count(), 0);
    rig.sim.command("input io 6 1");
    ASSERT_TRUE(test::pumpUntil([&] { return notifications->messages().count() == 1; }, 2500));
    EXPECT_TRUE(notifications->isVisible());
    EXPECT_TRUE(notifications->messages().currentText().startsWith("[I/O controller(io)]"));
    EXPECT_TRUE(notifications->messages().currentText().contains("changed to ON."));
    EXPECT_EQ(notifications->messages().currentDeviceId(), rig.deviceId("io"));
}

TEST_F(DigitalWindow, RlxOutputsSwitchAndShowNoViewModes) {
    ASSERT_TRUE(rig.waitConnected("rlx"));
    CQuorvis2View* rlx = viewOf("rlx");
    ASSERT_NE(rlx, nullptr);
    ASSERT_TRUE(test::pumpUntil([&] { return rig.requests("rlx") > 2; }));
    rlx->outputButton(1)->click();
    EXPECT_TRUE(
        test::pumpUntil([&] { return rlx->outputImage(1).color == LampColor::Green; }, 3000));
    int writes = 0; // the change-report switch at 1200 is Corvel's own write
    for (const std::string& line : rig.sim.log_lines())
        writes += simtest::json_text(line, "device") == "rlx" &&
                  simtest::json_number(line, "function") == kWriteCoil &&
                  simtest::json_number(line, "address") == 1;
    EXPECT_EQ(writes, 1);
    EXPECT_FALSE(rlx->inputButton(0)->isVisibleTo(rlx)) << "the RLX-830 has outputs only";
}

} // namespace
} // namespace iomira
