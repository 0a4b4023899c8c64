// The RLX windows in the running program against the simulator: counters and their resets,
// analog channels, the RLX-840's temperature and sensor errors, coil writes from the RLX-850,
// renaming a channel, and the placeholder gone for every model.

#include "core/device_family.h"
#include "core/quorvis_data.h"
#include "corvel/corvel.h"
#include "monitor/shared_controllers.h"
#include "ui/common/child_frame.h"
#include "ui/common/in_place_edit.h"
#include "ui/main/main_frame.h"
#include "ui/windows/controller_windows.h"
#include "ui/windows/model_view.h"
#include "windows_rig.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace iomira {
namespace {

constexpr long kWriteCoil = 5;
constexpr long kCounterResetBase = 240;

class ModelWindows : public ::testing::Test {
  protected:
    ModelWindows()
        : rig({{"p850", "RLX-850", 0},
               {"p820", "RLX-820", 0},
               {"p840", "RLX-840", 0},
               {"p810", "RLX-810", 0}},
              {"RLX"}) {}

    void SetUp() override {
        ASSERT_TRUE(rig.start());
        for (const char* device : {"p850", "p820", "p840", "p810"})
            ASSERT_TRUE(rig.waitConnected(device)) << device;
    }
    CModelView* viewOf(const std::string& device) {
        auto* windows = rig.app->mainFrame()->findChild<ControllerWindows*>();
        CChildFrame* frame = windows ? windows->findWindow(rig.deviceId(device)) : nullptr;
        return frame ? qobject_cast<CModelView*>(frame->widget()) : nullptr;
    }
    void editRecord(const std::string& device, const std::function<void(CQUORVISData&)>& change) {
        rig.app->sharedControllers().edit(rig.deviceId(device), change);
    }
    // The coil writes the simulator logged for a device at an address.
    int coilWrites(const std::string& device, long address) {
        int count = 0;
        for (const std::string& line : rig.sim.log_lines()) {
            if (simtest::json_text(line, "device") == device &&
                simtest::json_number(line, "function") == kWriteCoil &&
                simtest::json_number(line, "address") == address)
                ++count;
        }
        return count;
    }

    test::WindowsRig rig;
};

TEST_F(ModelWindows, EveryRlxModelHasItsOwnWindow) {
    for (const char* device : {"p850", "p820", "p840", "p810"}) {
        CModelView* view = viewOf(device);
        ASSERT_NE(view, nullptr) << device;
        EXPECT_TRUE(test::pumpUntil([&] { return view->statusText() == "Connected"; }))
            << device << ": " << view->statusText().toStdString();
    }
    EXPECT_TRUE(viewOf("p850")->outputButton(0)->isVisibleTo(viewOf("p850")));
    EXPECT_FALSE(viewOf("p820")->outputButton(0)->isVisibleTo(viewOf("p820")));
    EXPECT_TRUE(viewOf("p820")->resetButton(3)->isVisibleTo(viewOf("p820")));
    EXPECT_FALSE(viewOf("p810")->inputButton(0)->isVisibleTo(viewOf("p810")));
    EXPECT_TRUE(viewOf("p840")->analogBar(0)->isVisibleTo(viewOf("p840")));
    EXPECT_FALSE(viewOf("p840")->analogBar(1)->isVisibleTo(viewOf("p840")));
}

TEST_F(ModelWindows, CountersFollowTheEdgesAndResetAfterTheQuestion) {
    CModelView* view = viewOf("p820");
    ASSERT_NE(view, nullptr);
    rig.sim.command("counter p820 1 100000");
    EXPECT_TRUE(test::pumpUntil([&] { return view->counterText(1) == "100,000 "; }))
        << view->counterText(1).toStdString();
    // Two rising edges on input 0 count twice.
    for (const char* value : {"1", "0", "1"})
        rig.sim.command(std::string("input p820 0 ") + value);
    EXPECT_TRUE(test::pumpUntil([&] { return view->counterText(0) == "2 "; }))
        << view->counterText(0).toStdString();

    rig.prompts.answer = false;
    const int questions = rig.prompts.questions;
    view->resetButton(1)->click();
    EXPECT_EQ(rig.prompts.questions, questions + 1);
    test::pumpFor(200);
    EXPECT_EQ(coilWrites("p820", kCounterResetBase + 1), 0) << "the answer was no";

    rig.prompts.answer = true;
    view->resetButton(1)->click();
    EXPECT_TRUE(test::pumpUntil([&] { return coilWrites("p820", kCounterResetBase + 1) == 1; }));
    EXPECT_TRUE(test::pumpUntil([&] { return view->counterText(1) == "0 "; }));

    // A counter switched off shows nothing and is not reset, without a question.
    editRecord("p820", [](CQUORVISData& c) { c.DiCounter[2] = 0; });
    view->redraw();
    EXPECT_EQ(view->counterText(2), "");
    const int asked = rig.prompts.questions;
    view->resetButton(2)->click();
    test::pumpFor(150);
    EXPECT_EQ(rig.prompts.questions, asked);
    EXPECT_EQ(coilWrites("p820", kCounterResetBase + 2), 0);
}

TEST_F(ModelWindows, AnalogChannelsShowScaledValuesInTheirBars) {
    CModelView* view = viewOf("p810");
    ASSERT_NE(view, nullptr);
    editRecord("p810", [](CQUORVISData& c) {
        c.AIMin[0] = "0";
        c.AIMax[0] = "10";
        c.AIUnit[0] = "V";
        c.AIMin[1] = "4";
        c.AIMax[1] = "20";
        c.AIUnit[1] = "mA";
    });
    rig.sim.command("analog p810 0 2048");
    rig.sim.command("analog p810 1 4095");
    EXPECT_TRUE(test::pumpUntil([&] { return view->analogText(0) == "5.00V "; }))
        << view->analogText(0).toStdString();
    EXPECT_TRUE(test::pumpUntil([&] { return view->analogText(1) == "20.00mA "; }));
    EXPECT_EQ(view->analogBar(0)->value(), 500);
    EXPECT_EQ(view->analogBar(1)->maximum(), 2000);

    // A channel switched off is hidden and left as it was.
    editRecord("p810", [](CQUORVISData& c) { c.AI[1] = 0; });
    rig.app->mainFrame()->findChild<ControllerWindows*>()->refreshWindow(rig.deviceId("p810"));
    rig.sim.command("analog p810 1 0");
    test::pumpFor(1300);
    EXPECT_EQ(view->analogText(1), "20.00mA ");
}

TEST_F(ModelWindows, TemperatureAndSensorErrorsOfTheRlx840) {
    CModelView* view = viewOf("p840");
    ASSERT_NE(view, nullptr);
    rig.sim.command("temp p840 -12.3");
    EXPECT_TRUE(test::pumpUntil([&] {
        return view->analogText(0) == QString::fromUtf8("-12.3\u2103 ");
    })) << view->analogText(0).toStdString();
    rig.sim.command("error p840 0 3");
    EXPECT_TRUE(test::pumpUntil([&] {
        return view->statusText() == "[E03] RTD Sensor Disconnected.";
    })) << view->statusText().toStdString();
    rig.sim.command("error p840 0 0");
    EXPECT_TRUE(test::pumpUntil([&] { return view->statusText() == "Connected"; }));
}

TEST_F(ModelWindows, AnRlx850OutputClickWritesTheCoilAfterTheQuestion) {
    CModelView* view = viewOf("p850");
    ASSERT_NE(view, nullptr);
    rig.prompts.answer = true;
    view->outputButton(2)->click();
    EXPECT_TRUE(test::pumpUntil([&] { return coilWrites("p850", 2) == 1; }));
    EXPECT_TRUE(test::pumpUntil([&] { return view->outputImage(2).color == LampColor::Green; }));

    editRecord("p850", [](CQUORVISData& c) { c.OutputPortControl = 1; });
    const auto shown = rig.prompts.shown.size();
    view->outputButton(2)->click();
    ASSERT_EQ(rig.prompts.shown.size(), shown + 1);
    EXPECT_EQ(rig.prompts.shown.back(), "The output ports are restricted to read.");
    test::pumpFor(150);
    EXPECT_EQ(coilWrites("p850", 2), 1);
}

TEST_F(ModelWindows, RenamingAnAnalogChannelStoresItsName) {
    CModelView* view = viewOf("p850");
    ASSERT_NE(view, nullptr);
    view->editName(CInPlaceEdit::AnalogChannel, 2);
    CInPlaceEdit* editor = CInPlaceEdit::shared();
    ASSERT_TRUE(editor->editing());
    editor->selectAll();
    QTest::keyClicks(editor, "Oil pressure");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(view->analogLabel(2)->text(), " Oil pressure");
    EXPECT_EQ(rig.stored("p850").AIName[2], "Oil pressure");
}

} // namespace
} // namespace iomira
