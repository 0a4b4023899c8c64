// The advanced settings dialogs of every kind, driven through their controls: what the record
// holds after OK and after Cancel.

#include "common/test_support.h"

#include "core/device_family.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"
#include "ui/dialogs/analog_group_box.h"
#include "ui/dialogs/analog_settings_dialog.h"
#include "ui/dialogs/pulse_control_box.h"
#include "ui/dialogs/pulse_settings_dialog.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/dialogs/settings_switches_box.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace iomira {
namespace {

using enum SettingsSwitch;

class SettingsDialogs : public ::testing::Test {
  protected:
    SettingsDialogs() { setLanguage(LANG_ENGLISH); }

    std::unique_ptr<CSettingsDialog> open(CQUORVISData& record, const QString& model = {}) {
        auto dialog = makeSettingsDialog("Caption", record, model, prompts, nullptr);
        dialog->show();
        return dialog;
    }

    static CQUORVISData product(const char* model) {
        return recordForModel(QString::fromLatin1(model));
    }

    static void choose(QComboBox* combo, int index) {
        ASSERT_NE(combo, nullptr);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    static void type(QLineEdit* field, const QString& text) {
        field->clear();
        QTest::keyClicks(field, text);
    }

    test::RecordingPrompts prompts;
};

TEST_F(SettingsDialogs, EachModelGetsItsDialogKind) {
    const std::vector<std::pair<const char*, SettingsDialogKind>> cases{
        {"TKA-35", SettingsDialogKind::Generic}, {"RLX-810", SettingsDialogKind::Rlx810},
        {"RLX-820", SettingsDialogKind::Rlx820}, {"RLX-830", SettingsDialogKind::Rlx830},
        {"RLX-840", SettingsDialogKind::Rlx840}, {"RLX-850", SettingsDialogKind::Rlx850},
    };
    for (const auto& [model, kind] : cases) {
        CQUORVISData record = product(model);
        const auto dialog = open(record);
        EXPECT_EQ(dialog->kind(), kind) << model;
        EXPECT_EQ(dialog->windowTitle(), "Caption");
        EXPECT_EQ(dynamic_cast<CPulseSettingsDlg*>(dialog.get()) != nullptr,
                  kind == SettingsDialogKind::Generic)
            << model;
    }
}

TEST_F(SettingsDialogs, TypedLengthsAreClampedAndKeptOnOk) {
    CQUORVISData record = product("TKA-31 / TKA-21");
    const auto dialog = open(record);
    PulseControlBox* pulses = static_cast<CPulseSettingsDlg*>(dialog.get())->pulses();
    ASSERT_EQ(pulses->outputList()->count(), 8);
    pulses->outputList()->setCurrentRow(1);
    choose(pulses->levelChoice(), 1); // LOW
    type(pulses->lengthField(), "5");
    EXPECT_EQ(pulses->outputList()->item(1)->text(), "DO1-LOW-40ms");
    pulses->outputList()->setCurrentRow(2);
    choose(pulses->levelChoice(), 2); // HIGH
    type(pulses->lengthField(), "20000");
    EXPECT_EQ(pulses->outputList()->item(2)->text(), "DO2-HIGH-10000ms");
    EXPECT_EQ(record.UsePulseDo[1], 0) << "nothing reaches the record before OK";

    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(record.UsePulseDo[1], 1);
    EXPECT_EQ(record.SignalLevelDo[1], 0);
    EXPECT_EQ(record.DurationDo[1], 40);
    EXPECT_EQ(record.UsePulseDo[2], 1);
    EXPECT_EQ(record.SignalLevelDo[2], 255);
    EXPECT_EQ(record.DurationDo[2], 10000);
}

TEST_F(SettingsDialogs, HighOnOutputThreeOfATka35) {
    CQUORVISData record = product("TKA-35");
    const auto dialog = open(record);
    PulseControlBox* pulses = static_cast<CPulseSettingsDlg*>(dialog.get())->pulses();
    ASSERT_EQ(pulses->outputList()->count(), 4);
    pulses->outputList()->setCurrentRow(3);
    EXPECT_EQ(pulses->lengthField()->text(), "1000");
    EXPECT_FALSE(pulses->lengthField()->isEnabled()) << "a plain output's length is not editable";
    const qint64 plainPicture = pulses->picture()->pixmap().toImage().cacheKey();
    choose(pulses->levelChoice(), 2);
    EXPECT_EQ(pulses->outputList()->item(3)->text(), "DO3-HIGH-1000ms");
    EXPECT_TRUE(pulses->lengthField()->isEnabled());
    EXPECT_NE(pulses->picture()->pixmap().toImage().cacheKey(), plainPicture);
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    EXPECT_EQ(record.SignalLevelDo[3], 255);
    EXPECT_EQ(record.DurationDo[3], 1000);
}

TEST_F(SettingsDialogs, SelectingAnOutputShowsItsPulse) {
    CQUORVISData record = product("TKA-35");
    record.UsePulseDo[2] = 1;
    record.SignalLevelDo[2] = 0;
    record.DurationDo[2] = 320;
    const auto dialog = open(record);
    PulseControlBox* pulses = static_cast<CPulseSettingsDlg*>(dialog.get())->pulses();
    EXPECT_EQ(pulses->outputList()->item(2)->text(), "DO2-LOW-320ms");
    pulses->outputList()->setCurrentRow(2);
    EXPECT_EQ(pulses->levelChoice()->currentIndex(), 1);
    EXPECT_EQ(pulses->lengthField()->text(), "320");
    choose(pulses->levelChoice(), 0); // Disable
    EXPECT_EQ(pulses->outputList()->item(2)->text(), "DO2-Disable");
    EXPECT_EQ(pulses->lengthField()->text(), "1000");
    EXPECT_FALSE(pulses->lengthField()->isEnabled());
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    EXPECT_EQ(record.UsePulseDo[2], 0);
}

TEST_F(SettingsDialogs, PVersionsHaveNoPulseList) {
    CQUORVISData record = product("TKA-35P");
    const auto dialog = open(record, "TKA-35P");
    PulseControlBox* pulses = static_cast<CPulseSettingsDlg*>(dialog.get())->pulses();
    EXPECT_EQ(pulses->outputList()->count(), 0);
    EXPECT_FALSE(pulses->outputList()->isEnabled());
    EXPECT_FALSE(pulses->levelChoice()->isEnabled());
    EXPECT_FALSE(pulses->lengthField()->isEnabled());
}

TEST_F(SettingsDialogs, CancelAfterChangingEveryChoiceLeavesTheRecord) {
    for (const char* model :
         {"TKA-31 / TKA-21", "RLX-810", "RLX-820", "RLX-830", "RLX-840", "RLX-850"}) {
        CQUORVISData record = product(model);
        const CQUORVISData before = record;
        const auto dialog = open(record);
        for (SettingsSwitch which : settingsSwitches(dialog->kind())) {
            QComboBox* combo = dialog->switches()->combo(which);
            choose(combo, 1 - combo->currentIndex());
        }
        if (auto* pulses = dynamic_cast<CPulseSettingsDlg*>(dialog.get())) {
            choose(pulses->pulses()->levelChoice(), 2);
            type(pulses->pulses()->lengthField(), "77");
        }
        if (auto* analog = dynamic_cast<CAnalogSettingsDlg*>(dialog.get()))
            type(analog->group(0)->nameField(), "Changed");
        EXPECT_NE(dialog->edited(), before) << model << ": the controls edit the copy";
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
        EXPECT_EQ(record, before) << model;
    }
}

TEST_F(SettingsDialogs, SwitchesReachTheRecordOnOk) {
    CQUORVISData record = product("RLX-830");
    ASSERT_EQ(record.AutomaticConnection, 1);
    const auto dialog = open(record);
    choose(dialog->switches()->combo(AutomaticConnection), 0);
    choose(dialog->switches()->combo(OutputBan), 1);
    choose(dialog->switches()->combo(OutputPolling), 0);
    EXPECT_EQ(dialog->switches()->combo(InputPolling), nullptr);
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    EXPECT_EQ(record.AutomaticConnection, 0);
    EXPECT_EQ(record.OutputPortControl, 1);
    EXPECT_EQ(record.Polling, 0);
    EXPECT_EQ(record.PollingInput, 1);
}

TEST_F(SettingsDialogs, Rlx820ShowsNoOutputChoices) {
    CQUORVISData record = product("RLX-820");
    const auto dialog = open(record);
    EXPECT_EQ(dialog->switches()->combo(OutputBan), nullptr);
    EXPECT_EQ(dialog->switches()->combo(OutputPolling), nullptr);
    choose(dialog->switches()->combo(InputPolling), 0);
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    EXPECT_EQ(record.PollingInput, 0);
    EXPECT_EQ(dialog->findChildren<QComboBox*>().size(), 2);
}

TEST_F(SettingsDialogs, AnalogGroupsStoreTheirTextsOnOk) {
    CQUORVISData record = product("RLX-850");
    record.AIUnit[1] = "bar";
    const auto dialog = open(record);
    auto* analog = dynamic_cast<CAnalogSettingsDlg*>(dialog.get());
    ASSERT_NE(analog, nullptr);
    ASSERT_EQ(analog->groupCount(), 4);
    AnalogGroupBox* group = analog->group(1);
    EXPECT_EQ(group->unitField()->findText("bar"), 7) << "the stored unit joins the list";
    EXPECT_EQ(group->unitField()->currentText(), "bar");
    type(group->nameField(), "Pressure");
    type(group->minField(), "-1.5x");
    type(group->maxField(), "1e2");
    EXPECT_EQ(group->minField()->text(), "-1.5") << "letters are refused";
    EXPECT_EQ(group->maxField()->text(), "12");
    group->unitField()->setCurrentText("psi");
    analog->group(3)->unitField()->setCurrentIndex(0);
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    EXPECT_EQ(record.AIName[1], "Pressure");
    EXPECT_EQ(record.AIMin[1], "-1.5");
    EXPECT_EQ(record.AIMax[1], "12");
    EXPECT_EQ(record.AIUnit[1], "psi");
    EXPECT_EQ(record.AIUnit[3], "℃");
    EXPECT_EQ(record.AIName[0], "AI0");
}

TEST_F(SettingsDialogs, Rlx840HasOneTemperatureGroupWithoutUnit) {
    CQUORVISData record = product("RLX-840");
    const auto dialog = open(record);
    auto* analog = dynamic_cast<CAnalogSettingsDlg*>(dialog.get());
    ASSERT_NE(analog, nullptr);
    ASSERT_EQ(analog->groupCount(), 1);
    EXPECT_EQ(analog->group(0)->title(), "Temperature");
    EXPECT_EQ(analog->group(0)->unitField(), nullptr);
    EXPECT_EQ(analog->group(0)->minField()->text(), "-40");
    type(analog->group(0)->maxField(), "120");
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    EXPECT_EQ(record.AIMax[0], "120");
    EXPECT_EQ(record.AIUnit[0], "V");
}

TEST_F(SettingsDialogs, Rlx810WithoutAShownInputStaysOpen) {
    CQUORVISData record = product("RLX-810");
    record.AI = {0, 0, 0, 0};
    const CQUORVISData before = record;
    const auto dialog = open(record);
    auto* analog = dynamic_cast<CAnalogSettingsDlg*>(dialog.get());
    ASSERT_NE(analog, nullptr);
    type(analog->group(0)->nameField(), "Level");
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.shown, QStringList{"Please finish setting up analog input port. "});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(record, before);
}

} // namespace
} // namespace iomira
