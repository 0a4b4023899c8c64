// The advanced settings' rules without a window: which dialog a model opens, its switches,
// the pulse list and its clamping, the analog fields and the RLX-810 check.

#include "common/test_support.h"

#include "app/analog_settings.h"
#include "app/pulse_settings.h"
#include "app/settings_dialog_kind.h"
#include "core/device_family.h"
#include "core/quorvis_data.h"
#include "core/string_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace iomira {
namespace {

using enum SettingsSwitch;

class SettingsRules : public ::testing::Test {
  protected:
    SettingsRules() { setLanguage(LANG_ENGLISH); }
};

CQUORVISData productRecord(const char* model) {
    CQUORVISData record = recordForModel(QString::fromLatin1(model));
    EXPECT_GE(record.DeviceType, 0) << model;
    return record;
}

TEST_F(SettingsRules, EachModelOpensItsDialogWithItsSwitches) {
    struct Case {
        const char* model;
        SettingsDialogKind kind;
        std::vector<SettingsSwitch> switches;
        int analogGroups;
        bool units;
    };
    const std::vector<Case> cases{
        {"TKA-31 / TKA-21",
         SettingsDialogKind::Generic,
         {AutomaticConnection, OutputBan, OutputPolling, InputPolling},
         0,
         false},
        {"TKA-35P",
         SettingsDialogKind::Generic,
         {AutomaticConnection, OutputBan, OutputPolling, InputPolling},
         0,
         false},
        {"TKB-11",
         SettingsDialogKind::Generic,
         {AutomaticConnection, OutputBan, OutputPolling, InputPolling},
         0,
         false},
        {"",
         SettingsDialogKind::Generic,
         {AutomaticConnection, OutputBan, OutputPolling, InputPolling},
         0,
         false},
        {"RLX-810", SettingsDialogKind::Rlx810, {AutomaticConnection}, 4, true},
        {"RLX-820", SettingsDialogKind::Rlx820, {AutomaticConnection, InputPolling}, 0, false},
        {"RLX-830",
         SettingsDialogKind::Rlx830,
         {AutomaticConnection, OutputBan, OutputPolling},
         0,
         false},
        {"RLX-840", SettingsDialogKind::Rlx840, {AutomaticConnection}, 1, false},
        {"RLX-850",
         SettingsDialogKind::Rlx850,
         {AutomaticConnection, OutputBan, OutputPolling, InputPolling},
         4,
         true},
    };
    for (const Case& c : cases) {
        const SettingsDialogKind kind = settingsDialogKind(QString::fromLatin1(c.model));
        EXPECT_EQ(kind, c.kind) << c.model;
        const auto shown = settingsSwitches(kind);
        EXPECT_EQ(std::vector<SettingsSwitch>(shown.begin(), shown.end()), c.switches) << c.model;
        EXPECT_EQ(analogGroupCount(kind), c.analogGroups) << c.model;
        EXPECT_EQ(analogGroupsHaveUnit(kind), c.units) << c.model;
    }
}

TEST_F(SettingsRules, TheRecordsModelTextChoosesTheDialog) {
    EXPECT_EQ(settingsDialogKind(modelText(productRecord("RLX-820"))), SettingsDialogKind::Rlx820);
    EXPECT_EQ(settingsDialogKind(modelText(productRecord("RLX-840"))), SettingsDialogKind::Rlx840);
    EXPECT_EQ(settingsDialogKind(modelText(productRecord("TKA-35"))), SettingsDialogKind::Generic);
}

TEST_F(SettingsRules, SwitchesNameTheirOwnRecordFields) {
    CQUORVISData record;
    settingsSwitchField(record, AutomaticConnection) = 0;
    settingsSwitchField(record, OutputBan) = 1;
    settingsSwitchField(record, OutputPolling) = 0;
    settingsSwitchField(record, InputPolling) = 0;
    EXPECT_EQ(record.AutomaticConnection, 0);
    EXPECT_EQ(record.OutputPortControl, 1);
    EXPECT_EQ(record.Polling, 0);
    EXPECT_EQ(record.PollingInput, 0);
    EXPECT_EQ(loadString(settingsSwitchCaption(OutputBan)), "Prohibit controlling output port");
    EXPECT_EQ(loadString(settingsSwitchCaption(InputPolling)), "Polling input ports");
}

TEST_F(SettingsRules, OnlyThePlainDigitalModelsHavePulseOutputs) {
    const std::vector<std::pair<const char*, int>> cases{
        {"TKA-31 / TKA-21", 8}, {"TKA-35", 4},  {"TKA-33", 1},  {"TKB-11", 1}, {"TKA-31P", 0},
        {"TKA-33P", 0},         {"TKA-35P", 0}, {"RLX-850", 0}, {"", 0},
    };
    for (const auto& [model, count] : cases)
        EXPECT_EQ(pulseOutputCount(QString::fromLatin1(model)), count) << model;
}

TEST_F(SettingsRules, OutputLinesShowLevelAndLengthOrDisable) {
    CQUORVISData record;
    record.UsePulseDo[1] = 1;
    record.SignalLevelDo[1] = 0;
    record.DurationDo[1] = 250;
    record.UsePulseDo[2] = 1;
    record.SignalLevelDo[2] = 255;
    record.DurationDo[2] = 10000;
    record.DurationDo[3] = 700; // a length without the flag is not shown
    EXPECT_EQ(pulseLineText(record, 0), "DO0-Disable");
    EXPECT_EQ(pulseLineText(record, 1), "DO1-LOW-250ms");
    EXPECT_EQ(pulseLineText(record, 2), "DO2-HIGH-10000ms");
    EXPECT_EQ(pulseLineText(record, 3), "DO3-Disable");
    EXPECT_EQ(shownPulseLength(record, 1), 250);
    EXPECT_EQ(shownPulseLength(record, 3), kUnpulsedLengthMs) << "a plain output offers 1000";
    setLanguage(LANG_KOREAN);
    EXPECT_EQ(pulseLineText(record, 0), "DO0-" + loadString(5066, LANG_KOREAN));
}

TEST_F(SettingsRules, TypedLengthsAreClampedToTheirRange) {
    const std::vector<std::pair<const char*, int>> cases{
        {"5", 40}, {"20000", 10000}, {"40", 40},     {"10000", 10000},       {"1000", 1000},
        {"", 40},  {"abc", 40},      {" 300 ", 300}, {"99999999999", 10000},
    };
    for (const auto& [typed, stored] : cases) {
        CQUORVISData record;
        applyPulse(record, 0, PulseLevel::Low, QString::fromLatin1(typed));
        EXPECT_EQ(record.DurationDo[0], stored) << '"' << typed << '"';
    }
}

TEST_F(SettingsRules, HighOnOutputThreeOfATka35) {
    CQUORVISData record = productRecord("TKA-35");
    ASSERT_EQ(pulseOutputCount(modelText(record)), 4);
    applyPulse(record, 3, PulseLevel::High, QString::number(shownPulseLength(record, 3)));
    EXPECT_EQ(pulseLineText(record, 3), "DO3-HIGH-1000ms");
    EXPECT_EQ(record.SignalLevelDo[3], 255);
    EXPECT_EQ(record.UsePulseDo[3], 1);
    EXPECT_EQ(record.UsePulseDo[2], 0) << "the other outputs stay as they were";
}

TEST_F(SettingsRules, LevelChoicesSetFlagAndLevel) {
    CQUORVISData record;
    applyPulse(record, 5, PulseLevel::High, "600");
    EXPECT_EQ(pulseLevel(record, 5), PulseLevel::High);
    applyPulse(record, 5, PulseLevel::Low, "600");
    EXPECT_EQ(record.SignalLevelDo[5], 0);
    EXPECT_EQ(pulseLevel(record, 5), PulseLevel::Low);
    applyPulse(record, 5, PulseLevel::Disable, "1000");
    EXPECT_EQ(record.UsePulseDo[5], 0);
    EXPECT_EQ(pulseLevel(record, 5), PulseLevel::Disable);
    EXPECT_EQ(record.DurationDo[5], 600) << "disabling keeps the last length";
}

TEST_F(SettingsRules, AnalogRangesTakeOnlyNumberCharacters) {
    for (const char* ok : {"", "0", "-40", "85.5", "1.2.3", "--"})
        EXPECT_TRUE(isAnalogNumberText(QString::fromLatin1(ok))) << ok;
    for (const char* bad : {"1e5", "+3", "5 ", "0x10", "4,5", "V"})
        EXPECT_FALSE(isAnalogNumberText(QString::fromLatin1(bad))) << bad;
}

TEST_F(SettingsRules, UnitListAddsAStoredUnitItLacks) {
    const QStringList standard{"℃", "℉", "%", "V", "mV", "A", "mA"};
    EXPECT_EQ(analogUnitChoices("V"), standard);
    EXPECT_EQ(analogUnitChoices(""), standard);
    EXPECT_EQ(analogUnitChoices("bar"), standard + QStringList{"bar"});
}

TEST_F(SettingsRules, AnalogTextsGoToTheirChannel) {
    CQUORVISData record;
    applyAnalogChannel(record, 2, {"Flow", "-1.5", "20", "mA"}, true);
    applyAnalogChannel(record, 0, {"Temp", "-40", "85", "ignored"}, false);
    EXPECT_EQ(record.AIName[2], "Flow");
    EXPECT_EQ(record.AIMin[2], "-1.5");
    EXPECT_EQ(record.AIMax[2], "20");
    EXPECT_EQ(record.AIUnit[2], "mA");
    EXPECT_EQ(record.AIName[0], "Temp");
    EXPECT_EQ(record.AIUnit[0], "V") << "a group without a unit field leaves the unit";
    EXPECT_EQ(record.AIName[1], "AI1");
    const AnalogChannelTexts back = analogChannelTexts(record, 2);
    EXPECT_EQ(back.name, "Flow");
    EXPECT_EQ(back.unit, "mA");
}

TEST_F(SettingsRules, Rlx810NeedsAShownAnalogInput) {
    CQUORVISData record = productRecord("RLX-810");
    EXPECT_TRUE(rlx810Problem(record).isEmpty());
    record.AI = {0, 0, 0, 0};
    EXPECT_EQ(rlx810Problem(record), "Please finish setting up analog input port. ");
    record.AI[3] = 1;
    EXPECT_TRUE(rlx810Problem(record).isEmpty());
}

} // namespace
} // namespace iomira
