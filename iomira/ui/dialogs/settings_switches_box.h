#pragma once

#include "app/settings_dialog_kind.h"

#include <QGroupBox>

#include <map>

class QComboBox;

namespace iomira {

class CQUORVISData;

// The "Settings" group of the advanced-settings dialogs: one OFF/ON choice per switch the
// model has, each written into the edited record as it changes.
class SettingsSwitchesBox : public QGroupBox {
    Q_OBJECT
  public:
    SettingsSwitchesBox(SettingsDialogKind kind, CQUORVISData& edited, QWidget* parent);

    // The choice of a switch, or none when the model does not offer it.
    QComboBox* combo(SettingsSwitch which) const;

  private:
    std::map<SettingsSwitch, QComboBox*> combos_;
};

} // namespace iomira
