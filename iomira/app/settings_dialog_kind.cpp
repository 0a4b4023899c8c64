#include "app/settings_dialog_kind.h"

#include "core/quorvis_data.h"
#include "core/texts.h"

#include <array>

namespace iomira {

namespace {

using enum SettingsSwitch;

constexpr std::array kAllSwitches{AutomaticConnection, OutputBan, OutputPolling, InputPolling};
constexpr std::array kAutomaticOnly{AutomaticConnection};
constexpr std::array kRlx820Switches{AutomaticConnection, InputPolling};
constexpr std::array kRlx830Switches{AutomaticConnection, OutputBan, OutputPolling};

// One lookup for the editable and the read-only record.
template <class Record> auto& switchField(Record& record, SettingsSwitch which) {
    switch (which) {
    case AutomaticConnection:
        return record.AutomaticConnection;
    case OutputBan:
        return record.OutputPortControl;
    case OutputPolling:
        return record.Polling;
    case InputPolling:
        break;
    }
    return record.PollingInput;
}

} // namespace

SettingsDialogKind settingsDialogKind(const QString& model) {
    if (model == QLatin1String("RLX-810")) return SettingsDialogKind::Rlx810;
    if (model == QLatin1String("RLX-820")) return SettingsDialogKind::Rlx820;
    if (model == QLatin1String("RLX-830")) return SettingsDialogKind::Rlx830;
    if (model == QLatin1String("RLX-840")) return SettingsDialogKind::Rlx840;
    if (model == QLatin1String("RLX-850")) return SettingsDialogKind::Rlx850;
    return SettingsDialogKind::Generic;
}

std::span<const SettingsSwitch> settingsSwitches(SettingsDialogKind kind) {
    switch (kind) {
    case SettingsDialogKind::Rlx810:
    case SettingsDialogKind::Rlx840:
        return kAutomaticOnly;
    case SettingsDialogKind::Rlx820:
        return kRlx820Switches;
    case SettingsDialogKind::Rlx830:
        return kRlx830Switches;
    case SettingsDialogKind::Generic:
    case SettingsDialogKind::Rlx850:
        break;
    }
    return kAllSwitches;
}

int settingsSwitchCaption(SettingsSwitch which) {
    switch (which) {
    case AutomaticConnection:
        return TEXT_AUTO_CONNECT;
    case OutputBan:
        return TEXT_PROHIBIT_OUTPUT;
    case OutputPolling:
        return TEXT_POLL_OUTPUTS;
    case InputPolling:
        break;
    }
    return TEXT_POLL_INPUTS;
}

int& settingsSwitchField(CQUORVISData& record, SettingsSwitch which) {
    return switchField(record, which);
}

int settingsSwitchField(const CQUORVISData& record, SettingsSwitch which) {
    return switchField(record, which);
}

int analogGroupCount(SettingsDialogKind kind) {
    switch (kind) {
    case SettingsDialogKind::Rlx810:
    case SettingsDialogKind::Rlx850:
        return kAnalogChannels;
    case SettingsDialogKind::Rlx840:
        return 1;
    case SettingsDialogKind::Generic:
    case SettingsDialogKind::Rlx820:
    case SettingsDialogKind::Rlx830:
        break;
    }
    return 0;
}

bool analogGroupsHaveUnit(SettingsDialogKind kind) {
    return kind == SettingsDialogKind::Rlx810 || kind == SettingsDialogKind::Rlx850;
}

} // namespace iomira
