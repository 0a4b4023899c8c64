#pragma once

#include <QString>

#include <span>

namespace iomira {

class CQUORVISData;

// The advanced-settings dialog a controller's model opens.
enum class SettingsDialogKind {
    Generic, // TKA and TKB models: pulse control and every switch
    Rlx810,  // four analog inputs
    Rlx820,
    Rlx830,
    Rlx840, // the temperature channel
    Rlx850, // four analog inputs and every switch
};

SettingsDialogKind settingsDialogKind(const QString& model);

// The OFF/ON choices of the dialogs, each one int field of the record.
enum class SettingsSwitch { AutomaticConnection, OutputBan, OutputPolling, InputPolling };

// The choices a dialog offers, in the order shown.
std::span<const SettingsSwitch> settingsSwitches(SettingsDialogKind kind);
int settingsSwitchCaption(SettingsSwitch which);
int& settingsSwitchField(CQUORVISData& record, SettingsSwitch which);
int settingsSwitchField(const CQUORVISData& record, SettingsSwitch which);

// How many analog groups the dialog shows, from channel 0 on, and whether they carry a unit.
int analogGroupCount(SettingsDialogKind kind);
bool analogGroupsHaveUnit(SettingsDialogKind kind);

} // namespace iomira
